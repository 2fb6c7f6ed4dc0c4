"""End to end: the real parvelle.exe started from a folder others can write to
(a downloads folder), with files planted there and beside the exe: a probe
named explorer.exe in both, hard links named like the answer copies in the
current directory, and a QR file replaced under the program. The payment page
keeps showing its own order's QR code whatever the QR file holds. Opening the
paid order's links, written in explorer's own syntax, hands each whole link
to the browser through Windows' own explorer, never the planted one; the
history's answer copies replace the planted links and leave the files they
point to alone.

Wine's explorer passes a link on to winebrowser, which runs the first of its
browsers it finds on the Unix PATH: a stand-in `xdg-open` records it."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import BUILD_DIR, wait_until, wine_env  # noqa: E402
from pay_pages_test import MY_ORDERS, NEWEST_ORDER_DETAILS, PageFlow  # noqa: E402

PROBE = os.path.join(BUILD_DIR, "tests", "e2e", "shell_probe.exe")
WIN_PROBE = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
QR_WRITER = os.path.join(BUILD_DIR, "tests", "store", "qr_write_tool.exe")
OTHER_PAYEE = "https://payee.invalid/pay/someone-else"
PROBE_MARKER = "explorer-probe.txt"  # what the probe leaves beside itself
OPEN_LINK = (532, 228)  # Open on the paid view's two rows
OPEN_HELP = (532, 277)
PRECIOUS = b"precious, not to be overwritten"
# Explorer's syntax: items split at commas, "/root,PATH" and "/select,PATH".
HOSTILE_TAIL = "?a=1,b=2,/root,C:\\windows\\system32\\cmd.exe"


class PlantedFilesTest(PageFlow):
    pay_type = 1
    title = "Parvelle planted e2e"
    QR = (460, 386, 144, 144)

    @classmethod
    def setUpClass(cls):
        cls.downloads = tempfile.mkdtemp(prefix="parvelle-downloads-")
        cls.browser = tempfile.mkdtemp(prefix="parvelle-browser-")
        cls.browsed_file = os.path.join(cls.browser, "browsed.txt")
        stand_in = os.path.join(cls.browser, "xdg-open")
        with open(stand_in, "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$@\" >> '%s'\n" % cls.browsed_file)
        os.chmod(stand_in, 0o755)
        cls.cwd = cls.downloads
        cls.env = {"PATH": cls.browser + os.pathsep + os.environ.get("PATH", "")}

        shutil.copy(PROBE, os.path.join(cls.downloads, "explorer.exe"))
        for name in ("b.txt", "c.txt"):
            target = os.path.join(cls.downloads, "target-of-" + name)
            with open(target, "wb") as f:
                f.write(PRECIOUS)
            os.link(target, os.path.join(cls.downloads, name))
        super().setUpClass()

    @classmethod
    def plant(cls, app):
        shutil.copy(PROBE, os.path.join(app.dir, "explorer.exe"))
        # The start-up catalogue gives the first package a hostile help link.
        cls.help_link = cls.sim.url + "/help/101" + HOSTILE_TAIL
        query = urllib.parse.urlencode({"mac": "0a:00:27:00:15:01", "type": 1, "channel": "x"})
        with urllib.request.urlopen(cls.sim.url + "/api/ps/getProductList?" + query,
                                    context=cls.sim._ctx, timeout=20) as r:
            catalogue = json.loads(r.read().decode())
        for product in catalogue["data"]:
            for package in product["version"]:
                if package["id"] == 101:
                    package["help_link_url"] = cls.help_link
        cls.sim.admin("faults/clear")
        cls.sim.admin("fault", request="getProductList", kind="body", count=1,
                      body=json.dumps(catalogue, ensure_ascii=False))

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.downloads, ignore_errors=True)
        shutil.rmtree(cls.browser, ignore_errors=True)

    def probe_reports(self):
        reports = []
        for folder in (self.downloads, self.app.dir):
            path = os.path.join(folder, PROBE_MARKER)
            if os.path.exists(path):
                with open(path, "rb") as f:
                    reports.append((folder, f.read().decode("utf-8", "replace")))
        return reports

    def win_probe(self, *args):
        out = subprocess.run(["wine", WIN_PROBE] + list(args), env=wine_env(), capture_output=True,
                             stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
        return [json.loads(line) for line in out.splitlines() if line.startswith("{")]

    def plant_qr_file(self, make):
        """tmp.bin beside the program replaced by what `make(path)` writes."""
        path = os.path.join(self.app.dir, "tmp.bin")
        self.assertTrue(os.path.exists(path), "no QR file where the program keeps it")
        os.remove(path)
        make(path)
        self.assertTrue(os.path.exists(path))

    def repaint_page(self):
        """The payment page composed anew: hidden, it lets go of its frame;
        shown again, it composes all of it."""
        self.assertEqual([{"reshow": 1}], self.win_probe("reshow", str(self.page_hwnd(0))))
        self.round_trip()
        self.assertTrue(self.app.wait_still())

    def browsed(self):
        try:
            with open(self.browsed_file) as f:
                return f.read().splitlines()
        except OSError:
            return []

    def test_planted_files_are_neither_started_nor_written_through(self):
        mark = self.sim.mark()
        self.activate()
        self.wait_created(mark)
        self.assertTrue(wait_until(lambda: self.pages()[0] == 1, 15, 0.2), "page not shown")
        order = self.newest_order()
        mine = self.sim.url + "/pay/" + order
        self.wait_qr(self.QR, mine)

        # Someone who can write the program's folder replaces the QR file:
        # with another payee's valid code, then with a picture that is no
        # bitmap. The page still shows this order's code.
        def other_code(path):
            text = path + ".txt"
            with open(text, "w") as f:
                f.write(OTHER_PAYEE)
            subprocess.run(["wine", QR_WRITER, "Z:" + text.replace("/", "\\"),
                            "Z:" + path.replace("/", "\\")], env=wine_env(), check=True,
                           stdin=subprocess.DEVNULL, timeout=60)
            os.remove(text)

        def metafile(path):
            self.assertEqual([{"emf": 1}], self.win_probe("emf", "Z:" + path.replace("/", "\\")))

        for make in (other_code, metafile):
            self.plant_qr_file(make)
            self.repaint_page()
            self.assertEqual(mine, self.qr_text(self.QR), make.__name__)

        # The paid answer's download link is hostile too (the narrow hand-off).
        download = self.sim.url + "/download/" + order + HOSTILE_TAIL
        paid = {"status_code": 1000, "data": {"order_no": order, "status": 1, "code": "C1",
                                              "link_file_name": "x.zip", "link_url": download}}
        self.sim.admin("fault", request="orderDetail", match="order_no=" + order, kind="body",
                       count=1, body=json.dumps(paid))
        self.assertTrue(wait_until(self.shows_paid_view, 15, 0.3), "no paid view")

        for at, link in ((OPEN_LINK, download), (OPEN_HELP, self.help_link)):
            # winebrowser writes a backslash as %5C.
            whole = link.replace("\\", "%5C")
            self.click(*at)
            wait_until(lambda: self.probe_reports() or whole in self.browsed(), 20, 0.2)
            self.assertEqual([], self.probe_reports(), "a planted explorer.exe was started")
            self.assertIn(whole, self.browsed(), "the browser did not get the whole link")
        time.sleep(1.0)
        self.assertEqual([], self.probe_reports())
        self.assertEqual(2, len(self.browsed()), self.browsed())

        # The history copies its answer to b.txt, the order's details to
        # c.txt: both replace the planted links.
        self.sim.admin("pay", order_no=order)
        self.click_client(*MY_ORDERS)
        self.assertTrue(wait_until(lambda: self.pages() == [0, 1, 0], 15, 0.2), "no history")
        self.assertTrue(self.app.wait_still())
        self.click_client(*NEWEST_ORDER_DETAILS)
        self.assertTrue(wait_until(lambda: self.pages() == [1, 0, 0], 15, 0.2), "no paid page")
        for name, holds in (("b.txt", b'"total"'), ("c.txt", order.encode())):
            with open(os.path.join(self.downloads, "target-of-" + name), "rb") as f:
                self.assertEqual(PRECIOUS, f.read(), "written through the planted " + name)
            with open(os.path.join(self.downloads, name), "rb") as f:
                self.assertIn(holds, f.read(), name)
        self.assertEqual(sorted(["b.txt", "c.txt", "explorer.exe", "target-of-b.txt",
                                 "target-of-c.txt"]), sorted(os.listdir(self.downloads)))


if __name__ == "__main__":
    unittest.main(verbosity=2)
