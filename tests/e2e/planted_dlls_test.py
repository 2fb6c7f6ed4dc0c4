"""End to end: the real parvelle.exe takes the DLLs it uses from System32 only.

A probe DLL (dll_probe.dll, which leaves a marker when loaded) is planted
beside the exe under the name of each DLL the exe uses that is not one of
Windows' known DLLs. By default Wine loads its own builtin DLL even when the
application's folder holds a copy, which would hide the fault; told to prefer
native DLLs for those names (WINEDLLOVERRIDES name=n,b), it takes the
application folder's copy first, as Windows does for DLLs outside its known
list. The program must start, show its window, and never load a probe.

And a system DLL that cannot be loaded (Wine told to refuse it) ends the
program in the defined way, before any window: a message naming the DLL, then
exit code ERROR_MOD_NOT_FOUND."""

import os
import shutil
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "build"))
from check_imports import KNOWN_DLLS, PeImage  # noqa: E402
from e2e_support import BUILD_DIR, App, Sim, probe, wait_until, xdotool  # noqa: E402

PROBE = os.path.join(BUILD_DIR, "tests", "e2e", "dll_probe.dll")
ERROR_MOD_NOT_FOUND = 126


def overrides(rule):
    earlier = os.environ.get("WINEDLLOVERRIDES")
    return {"WINEDLLOVERRIDES": rule + (";" + earlier if earlier else "")}


class PlantedDllsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()

    def setUp(self):
        self.app = None

    def tearDown(self):
        if self.app:
            self.app.cleanup()

    def start(self, rule):
        self.app = App(self.sim, "Parvelle planted DLLs", env=overrides(rule))
        with open(self.app.exe, "rb") as f:
            image = PeImage(f.read())
        return [d for d in image.imported_dlls() + image.delay_loaded_dlls()
                if d.lower() not in KNOWN_DLLS]

    def test_planted_dlls_are_never_loaded(self):
        names = self.start("")
        self.app.env = overrides(",".join(os.path.splitext(n)[0] for n in names) + "=n,b")
        self.assertGreaterEqual(len(names), 5, names)
        for name in names:
            shutil.copy(PROBE, os.path.join(self.app.dir, name))
        wid = self.app.start_shown()
        loaded = sorted(f[:-len(".loaded")] for f in os.listdir(self.app.dir)
                        if f.endswith(".loaded"))
        self.assertEqual([], loaded, "planted DLLs loaded from the exe's folder")
        self.assertIsNotNone(wid, "the program did not start")

    def test_a_missing_system_dll_ends_the_program_with_a_message(self):
        self.start("oleacc=")
        self.app.start()

        def box():
            for w in probe():
                texts = [c["text"] for c in w["children"]]
                if w["class"] == "#32770" and w["visible"] and any("OLEACC.dll" in t for t in texts):
                    return w
            return None
        found = wait_until(box, 30, 0.2)
        self.assertIsNotNone(found, "no message naming OLEACC.dll")
        ok = [c for c in found["children"] if c["class"] == "Button" and c["visible"]][0]["rect"]

        def press_ok():
            # Until the box has taken the click (it may not be on the X
            # screen yet when Windows already lists it).
            xdotool("mousemove", (ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
            xdotool("click", 1)
            return self.app.wait_exit(1) is not None
        self.assertTrue(wait_until(press_ok, 30), "the program did not end")
        self.assertEqual(ERROR_MOD_NOT_FOUND, self.app.proc.returncode)


if __name__ == "__main__":
    unittest.main(verbosity=2)
