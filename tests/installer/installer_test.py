"""The Windows installer end to end, under Wine in a fresh prefix of its own.

A vendor's installer copied to parvelle_ch07.msi installs the program, its
shortcut, its entry in Apps and Features and the record the client takes its
channel from, and leaves the program's folder the permissions Windows gives
it (no permission table). The installed client, started as the shortcut
starts it, reports ch07 and buys a package; it writes nothing in the
program's folder, but config.ini, its picture cache, the QR picture and the
history's answer copy in the user's own folder. A newer version upgrades in
place and keeps them; removal leaves nothing behind, the user's folder
included. Signing (a PFX file, or a key on a PKCS#11 token) replaces an
unsigned package, verifies against its certificate and no longer does once a
byte changes; a failed signing leaves no package.

Wine applies no Windows permissions: the program's folder made read-only on
the Linux side, while the client runs, stands in for the users' read-only
access (the client sees it in the folder's security descriptor; the tests
run as root, whom the mode does not stop, so a client that wrote there
anyway would be caught).

The packages come from scripts/package.sh on the release build
(PARVELLE_BUILD_DIR/release, the release_exe fixture).
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

ROOT = os.environ["PARVELLE_SOURCE_DIR"]
RELEASE_DIR = os.path.join(os.environ["PARVELLE_BUILD_DIR"], "release")
sys.path.insert(0, os.path.join(ROOT, "tools", "support"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
from e2e_support import Sim, wait_until  # noqa: E402

PACKAGE = os.path.join(ROOT, "scripts", "package.sh")
RECORDS = r"HKLM\SOFTWARE\Caphyon\Advanced Installer\LZMA"
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
APP_DIR_WIN = r"C:\Program Files\Parvelle"
MOBILE = "13800138000"
MY_ORDERS = (688, 12)  # the title strip's button, client coordinates


def package(out, *args, env=None):
    """Runs package.sh on the release build; the paths it printed."""
    return subprocess.run([PACKAGE, "--build-dir", RELEASE_DIR, "--out", out] + list(args),
                          check=True, capture_output=True, text=True, env=env).stdout.split()


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    return re.search(r"^%s\t(.*?)\r?$" % name, table, re.M).group(1)


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def read_shortcut(path):
    """Target, working folder and arguments of a .lnk file."""
    data = read_file(path)
    flags = struct.unpack_from("<I", data, 20)[0]
    pos = 0x4C
    if flags & 0x1:  # target ID list
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x2:  # link info, with the target's local path in ANSI
        size, _, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, pos)
        if info_flags & 0x1:
            text = lambda at: data[pos + at:data.index(b"\0", pos + at)].decode("latin-1")
            target = text(base) + text(suffix)
        pos += size
    strings = {}
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "args"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            raw = data[pos + 2:pos + 2 + count * (2 if flags & 0x80 else 1)]
            # Wine counts the terminating NUL.
            strings[name] = raw.decode("utf-16-le" if flags & 0x80 else "latin-1").rstrip("\0")
            pos += 2 + len(raw)
    return target, strings.get("workdir"), strings.get("args")


def read_ini(path):
    """{section: {key: value}} of an INI file the profile API wrote."""
    raw = read_file(path)
    text = raw[2:].decode("utf-16-le") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")
    sections, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            key, _, value = line.partition("=")
            current[key] = value
    return sections


def read_folder(path):
    return {name: read_file(os.path.join(path, name)) for name in os.listdir(path)}


class InstallerTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="parvelle-installer-")
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self.timings = []
        self.mark = time.monotonic()

    def timed(self, what):
        now = time.monotonic()
        self.timings.append("%s %.1f s" % (what, now - self.mark))
        print(self.timings[-1], flush=True)
        self.mark = now

    # --- Wine in a prefix of the test's own ------------------------------------

    def start_wine(self):
        self.prefix = os.path.join(self.work, "prefix")
        xvfb = harness.start_xvfb()
        self.addCleanup(harness.stop, xvfb)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=xvfb.display)
        # Output never goes to a pipe: Wine's helpers would keep it open.
        self.quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, env=self.env)
        self.addCleanup(subprocess.run, ["wineserver", "-k"], **self.quiet)
        subprocess.run(["wineserver", "-p30"], **self.quiet)
        subprocess.run(["wine", "wineboot", "-i"], timeout=300, **self.quiet)
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.app_dir = os.path.join(self.drive_c, "Program Files", "Parvelle")

    def wine(self, *args, timeout=180):
        return subprocess.run(["wine"] + list(args), timeout=timeout, **self.quiet).returncode

    def msiexec(self, *args):
        log = os.path.join(self.work, "msiexec-%d.log" % len(self.timings))
        code = self.wine("msiexec", *args, "/qn", "/l*v", harness.wine_path(log))
        self.assertEqual(0, code, "msiexec %s failed, log %s" % (" ".join(args), log))

    def reg(self, key):
        """`reg query KEY /s` as text, or None when the key is missing."""
        out = os.path.join(self.work, "reg.txt")
        with open(out, "wb") as f:
            code = subprocess.run(["wine", "reg", "query", key, "/s"], stdin=subprocess.DEVNULL,
                                  stdout=f, stderr=subprocess.DEVNULL, env=self.env).returncode
        return read_file(out).decode("utf-8", "replace").replace("\r\n", "\n") if code == 0 else None

    def shortcuts(self):
        found = []
        for top, _, files in os.walk(self.drive_c):
            found += [os.path.join(top, f) for f in files if f.lower() == "parvelle.lnk"]
        return found

    def user_dir(self):
        """The user's own folder of the client, %LOCALAPPDATA%\\Parvelle."""
        users = os.path.join(self.drive_c, "users")
        for name in os.listdir(users):
            path = os.path.join(users, name, "AppData", "Local", "Parvelle")
            if os.path.isdir(path):
                return path
        return None

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                              capture_output=True, text=True).stdout

    def window(self, title):
        """The client's visible window once it stays in place: (id, x, y)."""
        last = None
        for _ in range(300):
            wids = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split()
            if wids:
                at = re.search(r"Position: (-?\d+),(-?\d+)",
                               self.xdotool("getwindowgeometry", wids[0]))
                here = (int(wids[0]), int(at.group(1)), int(at.group(2))) if at else None
                if here and here == last:
                    return here
                last = here
            time.sleep(0.1)
        return None

    def buy(self, store, title):
        """Orders a package with the keyboard and opens the order history
        with the mouse, as a user would."""
        wid, x, y = self.window(title) or self.fail("no window")
        for _ in range(3):
            # Without a window manager the window may not hold the input focus.
            self.xdotool("windowfocus", "--sync", wid)
            self.xdotool("key", "ctrl+a", "BackSpace")
            self.xdotool("type", "--delay", "40", MOBILE)
            self.xdotool("key", "Tab")
            time.sleep(0.3)
            self.xdotool("key", "space")
            created = wait_until(lambda: [e for e in store.log() if e["name"] == "createOrder"], 10)
            if created:
                break
        self.assertTrue(created, "no order was created")
        self.assertIn("mobile=" + MOBILE, created[0]["query"])
        self.xdotool("mousemove", x + MY_ORDERS[0], y + MY_ORDERS[1])
        self.xdotool("click", 1)
        self.assertTrue(wait_until(lambda: any(e["name"] == "orderList" for e in store.log()),
                                   30), "the history was not fetched")

    def check_installed(self, msi, copy, vendor_ini):
        """Product `msi`, installed from `copy`: its files, record, entry in
        Apps and Features and shortcut. What the shortcut starts."""
        code, version = msi_property(msi, "ProductCode"), msi_property(msi, "ProductVersion")
        exe = os.path.join(self.app_dir, "parvelle.exe")
        self.assertTrue(wait_until(lambda: os.path.exists(exe), 30), "no exe installed")
        self.assertEqual({"parvelle.exe", "server.ini", "README.txt"}, set(os.listdir(self.app_dir)))
        self.assertEqual(read_file(os.path.join(RELEASE_DIR, "app", "parvelle.exe")),
                         read_file(exe))
        self.assertEqual(read_file(vendor_ini),
                         read_file(os.path.join(self.app_dir, "server.ini")))
        # The record: the path of the copy, in the 64-bit view only, under
        # this product alone.
        records = self.reg(RECORDS) or ""
        self.assertEqual([code, code + "\\" + version],
                         re.findall(r"^HKEY_LOCAL_MACHINE\\.*\\LZMA\\(.+)$", records, re.M))
        self.assertRegex(records, r"AI_ExePath\s+REG_SZ\s+%s\s" % re.escape(
            harness.wine_path(copy)))
        self.assertIsNone(self.reg(r"HKLM\SOFTWARE\Wow6432Node\Caphyon"))
        entry = self.reg(UNINSTALL + "\\" + code)
        self.assertIsNotNone(entry, "not in Apps and Features")
        for name, value in (("DisplayName", "Parvelle"), ("Publisher", "Parvelle"),
                            ("DisplayVersion", version)):
            self.assertRegex(entry, r"%s\s+REG_SZ\s+%s\s" % (name, re.escape(value)))
        icon = re.search(r"ProductIcon\s+REG_SZ\s+C:\\(.*%s.*)" % re.escape(code),
                         self.reg(r"HKLM\Software\Classes\Installer\Products") or "")
        self.assertTrue(icon, "no icon in Apps and Features")
        self.assertEqual(read_file(os.path.join(ROOT, "resources", "app.ico")),
                         read_file(os.path.join(self.drive_c, *icon.group(1).strip().split("\\"))))
        links = self.shortcuts()
        self.assertEqual(1, len(links), links)
        target, workdir, args = read_shortcut(links[0])
        self.assertEqual(APP_DIR_WIN + r"\parvelle.exe", target)
        self.assertEqual(APP_DIR_WIN, workdir.rstrip("\\"))
        self.assertEqual(code, args)
        return target, args

    # --- the tests --------------------------------------------------------------

    def test_install_upgrade_remove(self):
        work = self.work
        sim_state = os.path.join(work, "sim")
        sim = self.enterContext(harness.simulator(sim_state, fresh=True))
        vendor_ini = os.path.join(work, "server.ini")
        ini = ("[server]\r\ndomain=localhost:%d\r\ntype=1\r\ntitle=Parvelle installed\r\n"
               "pay_type=1\r\nca_file=%s\r\n" % (sim["port"], sim["ca_file_win"]))
        with open(vendor_ini, "wb") as f:
            f.write(b"\xff\xfe" + ini.encode("utf-16-le"))

        # Two versions of the vendor's installer, each copied per channel.
        first = package(os.path.join(work, "v1"), "--server-ini", vendor_ini)[-1]
        version = re.search(r"parvelle-(\d+\.\d+\.\d+)\.(\d+)-x64\.msi$", first)
        newer = "%s.%d" % (version.group(1), int(version.group(2)) + 1)
        second = package(os.path.join(work, "v2"), "--server-ini", vendor_ini,
                         "--version", newer)[-1]
        os.makedirs(os.path.join(work, "downloads"))
        copies = [os.path.join(work, "downloads", name)
                  for name in ("parvelle_ch07.msi", "parvelle-new_ch07.msi")]
        shutil.copy(first, copies[0])
        shutil.copy(second, copies[1])
        codes = [msi_property(first, "ProductCode"), msi_property(second, "ProductCode")]
        self.assertNotEqual(codes[0], codes[1])
        self.timed("packaging")
        self.start_wine()
        self.timed("fresh prefix")

        self.msiexec("/i", harness.wine_path(copies[0]))
        self.timed("install")
        target, args = self.check_installed(first, copies[0], vendor_ini)

        # The permissions Windows gives a folder under Program Files: no
        # table in the package changes them.
        tables = subprocess.run(["msiinfo", "tables", first], check=True, capture_output=True,
                                text=True).stdout.split()
        self.assertNotIn("LockPermissions", tables)
        self.assertNotIn("MsiLockPermissionsEx", tables)
        installed = read_folder(self.app_dir)
        os.chmod(self.app_dir, 0o555)

        # Started as the shortcut starts it: the channel goes out with the
        # first request. The user buys, then opens the history.
        client = subprocess.Popen(["wine", target, args], cwd=self.app_dir, **self.quiet)
        self.addCleanup(lambda: client.poll() is None and client.kill())
        store = Sim(sim_state)
        log = wait_until(store.log, 60)
        self.assertTrue(log, "the installed client sent no request")
        self.assertEqual("getProductList", log[0]["name"])
        self.assertIn("channel=ch07", log[0]["query"])
        self.buy(store, "Parvelle installed")
        user_dir = self.user_dir()
        self.assertTrue(user_dir, "no folder of the user's own")
        # config.ini keeps the product code and channel; the picture cache,
        # the QR picture and the history's answer (its current folder is the
        # program's) are there too.
        config = os.path.join(user_dir, "config.ini")
        expected = {"para": {"product_code": codes[0], codes[0]: "ch07"}}
        self.assertEqual(expected, read_ini(config))
        wanted = {"config.ini", "pdt_1.bin", "1_101.bin", "tmp.bin", "b.txt"}
        self.assertTrue(wait_until(lambda: wanted <= set(os.listdir(user_dir)), 30),
                        "in the user's folder: %r" % os.listdir(user_dir))
        self.assertEqual(b"BM", read_file(os.path.join(user_dir, "tmp.bin"))[:2])
        self.assertIn(b'"total"', read_file(os.path.join(user_dir, "b.txt")))
        subprocess.run(["wineserver", "-k"], **self.quiet)
        client.wait(30)
        self.assertEqual(installed, read_folder(self.app_dir), "the program's folder changed")
        written = read_folder(user_dir)
        self.assertFalse([n for n in written if n.endswith(".tmp")], written.keys())
        os.chmod(self.app_dir, 0o755)
        self.timed("client run")

        # The newer version replaces the older one in place; the user's
        # folder stays as it was.
        self.msiexec("/i", harness.wine_path(copies[1]))
        self.timed("upgrade")
        self.check_installed(second, copies[1], vendor_ini)
        self.assertIsNone(self.reg(UNINSTALL + "\\" + codes[0]), "the older one is still listed")
        self.assertEqual(written, read_folder(user_dir))

        # Removal leaves no file, shortcut, record or entry; neither what
        # older versions wrote beside the exe, nor the user's folder.
        for name in ("config.ini", "b.txt", "c.txt", "tmp.bin", "1_1.bin", "1_1.bin.part"):
            with open(os.path.join(self.app_dir, name), "w") as f:
                f.write("{}")
        self.msiexec("/x", codes[1])
        self.timed("removal")
        self.assertTrue(wait_until(lambda: not os.path.exists(self.app_dir), 30),
                        "left behind: %r" % (os.path.exists(self.app_dir)
                                             and os.listdir(self.app_dir)))
        self.assertFalse(os.path.exists(user_dir), "left behind: %r" % (
            os.path.exists(user_dir) and os.listdir(user_dir)))
        self.assertEqual([], self.shortcuts())
        records = self.reg(RECORDS)
        self.assertFalse(records and "{" in records, records)
        for code in codes:
            self.assertIsNone(self.reg(UNINSTALL + "\\" + code))
        print("timings:", ", ".join(self.timings))

    def test_signed_package(self):
        # A throwaway code-signing certificate, in a PFX with a password and
        # in one without; and one from a throwaway authority, in a PFX that
        # leaves the authority out, so that its signatures cannot verify.
        key, cert = self.certificate("signer")
        pfx, open_pfx, orphan_pfx = (os.path.join(self.work, n)
                                     for n in ("cert.pfx", "open.pfx", "orphan.pfx"))
        self.pfx(pfx, key, cert, "test-secret")
        self.pfx(open_pfx, key, cert, "")
        authority_key, authority = self.certificate("authority", "-addext",
                                                    "basicConstraints=critical,CA:true")
        orphan_key, orphan = self.certificate("orphan", ca=(authority_key, authority))
        self.pfx(orphan_pfx, orphan_key, orphan, "")
        out = os.path.join(self.work, "signed")
        exe = os.path.join(out, "parvelle.exe")
        without_password = {k: v for k, v in os.environ.items() if k != "PARVELLE_SIGN_PASSWORD"}

        def verifies(path):
            return subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path],
                                  capture_output=True).returncode == 0

        # Built and looked at unsigned first, as vendors do, then signed over.
        unsigned = package(out)
        zip_path, msi = package(out, "--sign", pfx,
                                env=dict(os.environ, PARVELLE_SIGN_PASSWORD="test-secret"))
        self.assertEqual(unsigned, [zip_path, msi])
        self.assertTrue(verifies(exe))
        self.assertTrue(verifies(msi))
        # The exe was signed before it was packaged.
        with zipfile.ZipFile(zip_path) as z:
            self.assertEqual(read_file(exe), z.read("parvelle.exe"))
        extracted = os.path.join(self.work, "extracted")
        subprocess.run(["msiextract", "-C", extracted, msi], check=True, capture_output=True)
        self.assertEqual(read_file(exe), read_file(os.path.join(extracted, "Parvelle",
                                                                "parvelle.exe")))
        # A PFX without a password, over the signed package.
        self.assertEqual([zip_path, msi], package(out, "--sign", open_pfx, env=without_password))
        self.assertTrue(verifies(exe))
        self.assertTrue(verifies(msi))
        # One byte changed in the middle (code in the exe, the packed files in
        # the installer) and neither verifies.
        for path in (exe, msi):
            data = bytearray(read_file(path))
            data[len(data) // 2] ^= 1
            with open(path, "wb") as f:
                f.write(data)
            self.assertFalse(verifies(path), path)
        # A wrong password, and signatures that do not verify against the
        # signing certificate: a loud failure, and no package left under the
        # signed names (neither this one's nor the one before).
        for args, env in ((["--sign", pfx], dict(os.environ, PARVELLE_SIGN_PASSWORD="wrong")),
                          (["--sign", orphan_pfx], without_password)):
            package(out, env=without_password)
            failed = subprocess.run([PACKAGE, "--build-dir", RELEASE_DIR, "--out", out] + args,
                                    capture_output=True, text=True, env=env)
            self.assertNotEqual(0, failed.returncode, args)
            self.assertIn("signing failed", failed.stderr)
            self.assertEqual([], [p for p in (exe, zip_path, msi) if os.path.exists(p)], args)

    def test_pkcs11_signed_package(self):
        # A SoftHSM token made here, a key generated on it that never leaves
        # it, and a self-signed code-signing certificate for that key.
        module = "/usr/lib/softhsm/libsofthsm2.so"
        tokens = os.path.join(self.work, "tokens")
        os.mkdir(tokens)
        conf = os.path.join(self.work, "softhsm2.conf")
        with open(conf, "w") as f:
            f.write("directories.tokendir = %s\nobjectstore.backend = file\n" % tokens)
        env = dict(os.environ, SOFTHSM2_CONF=conf, PKCS11_MODULE_PATH=module)
        run = lambda *args: subprocess.run(args, check=True, capture_output=True, text=True,
                                           env=env).stdout
        run("softhsm2-util", "--init-token", "--free", "--label", "parvelle", "--pin", "4711",
            "--so-pin", "8080")
        token = ("pkcs11-tool", "--module", module, "--token-label", "parvelle", "--login",
                 "--pin", "4711")
        run(*token, "--keypairgen", "--key-type", "EC:prime256v1", "--id", "01",
            "--label", "signer")
        self.assertIn("never extractable", run(*token, "--list-objects", "--type", "privkey"))
        key = "pkcs11:token=parvelle;object=signer;type=private"
        cert = os.path.join(self.work, "token-cert.pem")
        run("openssl", "req", "-new", "-x509", "-engine", "pkcs11", "-keyform", "engine",
            "-key", key + ";pin-value=4711", "-out", cert, "-days", "2",
            "-subj", "/CN=Parvelle token signer", "-addext", "extendedKeyUsage=codeSigning",
            "-addext", "keyUsage=digitalSignature")

        out = os.path.join(self.work, "signed")
        _, msi = package(out, "--sign-pkcs11", module, "--key", key, "--cert", cert,
                         env=dict(env, PARVELLE_SIGN_PIN="4711"))
        for path in (os.path.join(out, "parvelle.exe"), msi):
            verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path],
                                    capture_output=True, text=True)
            self.assertEqual(0, verify.returncode, path + verify.stdout + verify.stderr)

    def certificate(self, name, *extra, ca=None):
        """A throwaway code-signing certificate (self-signed unless the
        authority's (key, certificate) is given): its key and its files."""
        key, cert = (os.path.join(self.work, name + ext) for ext in (".key", ".pem"))
        usage = ["-addext", "extendedKeyUsage=codeSigning", "-addext", "keyUsage=digitalSignature"]
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", key, "-out", cert,
                        "-subj", "/CN=Parvelle test " + name, "-days", "2"]
                       + (list(extra) or usage) + (["-CA", ca[1], "-CAkey", ca[0]] if ca else []),
                       check=True, capture_output=True)
        return key, cert

    def pfx(self, path, key, cert, password):
        subprocess.run(["openssl", "pkcs12", "-export", "-out", path, "-inkey", key, "-in", cert,
                        "-passout", "pass:" + password], check=True, capture_output=True)

if __name__ == "__main__":
    unittest.main(verbosity=2)
