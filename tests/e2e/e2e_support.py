"""Harness of the end-to-end tests: the real parvelle.exe under Wine on the
test display (DISPLAY, an Xvfb server from scripts/test.sh), driven with
xdotool, seen through screenshots and win_probe.exe, against the store
simulator of the test run (PARVELLE_SIM_DIR/sim.json)."""

import json
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "support"))
from harness import wait_until  # noqa: E402,F401  (the tests take it from here)

BUILD_DIR = os.environ.get("PARVELLE_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("PARVELLE_SOURCE_DIR", "")
SIM_DIR = os.environ.get("PARVELLE_SIM_DIR", "")
WINEPREFIX = os.environ.get("PARVELLE_WINEPREFIX", "")


def wine_env(extra=None):
    env = dict(os.environ)
    env["WINEPREFIX"] = WINEPREFIX
    env["WINEDEBUG"] = "-all"
    env.pop("PARVELLE_TEST_ADAPTERS", None)
    if extra:
        env.update(extra)
    return env


# --- the store simulator ------------------------------------------------------

class Sim:
    def __init__(self, sim_dir=SIM_DIR):
        with open(os.path.join(sim_dir, "sim.json")) as f:
            self.info = json.load(f)
        self.port = self.info["port"]
        self.url = self.info["url"]
        self.ca_file_win = self.info["ca_file_win"]
        self._ctx = ssl.create_default_context(cafile=self.info["ca_file"])

    def admin(self, action, **params):
        body = json.dumps(params).encode()
        req = urllib.request.Request(self.url + "/admin/" + action, data=body,
                                     headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(req, context=self._ctx, timeout=20) as r:
            answer = json.loads(r.read().decode())
        if not answer.get("ok"):
            raise RuntimeError("simulator refused %s: %r" % (action, answer))
        return answer

    def log(self, since=0):
        return self.admin("log", since=since)["entries"]

    def mark(self):
        entries = self.log()
        return max((e["seq"] for e in entries), default=0)

    def names_since(self, mark):
        return [e["name"] for e in self.log(mark)]


# --- screen and input ---------------------------------------------------------

class Shot:
    """A screenshot of the whole screen as RGB bytes."""

    def __init__(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        self.width, self.height, self.rgb = parse_ppm(data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def region(self, x, y, w, h):
        """Rows of RGB tuples."""
        return [[self.pixel(x + i, y + j) for i in range(w)] for j in range(h)]


def parse_ppm(data):
    # P6 header: magic, width, height, maxval, each separated by whitespace.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    assert fields[0] == b"P6" and int(fields[3]) == 255, fields
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height * 3]


def picture_rgb(path, crop=None, background="white"):
    """An image file flattened onto `background`, optionally cropped
    (w, h, x, y), as (width, height, rgb bytes)."""
    args = ["convert", path]
    if crop:
        args += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
    args += ["-background", background, "-flatten", "-depth", "8", "ppm:-"]
    return parse_ppm(subprocess.run(args, check=True, capture_output=True).stdout)


def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True,
                          text=True).stdout


def distance(a, b):
    return max(abs(p - q) for p, q in zip(a, b))


# --- the program --------------------------------------------------------------

SHIPPED_EXE = os.path.join("app", "parvelle.exe")
# The program with start-up inputs from the environment (PARVELLE_TEST_ADAPTERS).
TEST_INPUTS_EXE = os.path.join("tests", "e2e", "parvelle_test_inputs.exe")


class App:
    """One parvelle.exe (or a test build of it, `exe` relative to the build
    directory) copied into a fresh directory with its own server.ini, started
    in the current directory `cwd` (the test's own when None)."""

    def __init__(self, sim, title, store_type=1, pay_type=1, env=None, exe=SHIPPED_EXE,
                 cwd=None):
        self.dir = tempfile.mkdtemp(prefix="parvelle-e2e-")
        self.exe = os.path.join(self.dir, os.path.basename(exe))
        shutil.copy(os.path.join(BUILD_DIR, exe), self.exe)
        self.title = title
        ini = ("[server]\r\ndomain=localhost:%d\r\ntype=%d\r\ntitle=%s\r\npay_type=%d\r\n"
               "ca_file=%s\r\n" % (sim.port, store_type, title, pay_type, sim.ca_file_win))
        # UTF-16 with BOM: the title is read as wide text.
        with open(os.path.join(self.dir, "server.ini"), "wb") as f:
            f.write(b"\xff\xfe" + ini.encode("utf-16-le"))
        self.env = env
        self.cwd = cwd
        self.proc = None
        self.wid = None

    def start(self, second_instance=False):
        """Starts the program once no earlier copy holds the single-instance
        marker (unless this start is meant to meet one)."""
        if not second_instance:
            wait_for_no_instance()
        self.proc = subprocess.Popen(["wine", self.exe], env=wine_env(self.env), cwd=self.cwd,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        return self

    def start_shown(self, timeout=60, attempts=3):
        """Starts the program and waits for its window; a start that ends at
        once without one (Wine under load, or another copy in the same Wine
        prefix, a colleague's test run, still closing or holding the
        single-instance marker) is tried again. The window id, or None."""
        for _ in range(attempts):
            try:
                self.start()
            except RuntimeError:  # the marker stayed held
                continue
            wid = self.wait_window(timeout)
            if wid or self.proc.poll() is None:
                return wid
        return None

    def show_store_front(self, timeout=60):
        """start_shown for a test's set-up: the program with its window, its
        first paint and posted updates over; when no window appears, the
        program is cleaned up and the test set-up fails."""
        if not self.start_shown(timeout):
            self.cleanup()
            raise AssertionError("the store front never appeared (exit code %r)"
                                 % (self.proc.poll() if self.proc else None))
        self.wait_still()
        return self

    def visible_windows(self):
        out = xdotool("search", "--onlyvisible", "--pid", self.proc.pid)
        return [int(w) for w in out.split()]

    def wait_window(self, timeout=30):
        """The visible window, once it stays where it is; None when none
        appeared or the program ended first."""
        ended = []

        def found():
            if self.proc.poll() is not None:
                ended.append(True)
                return True
            wids = self.visible_windows()
            return wids[0] if wids else None
        wid = wait_until(found, timeout)
        if ended or not wid:
            return None
        self.wid = wid
        # Input aimed at the window needs its final place on the screen.
        last = None
        for _ in range(40):
            here = self.origin()
            if here == last:
                break
            last = here
            time.sleep(0.05)
        return self.wid

    def wait_exit(self, timeout=30, watch_windows=False):
        """Exit code, or None on timeout. With watch_windows, also whether a
        window of the process was ever visible meanwhile."""
        seen = False
        deadline = time.monotonic() + timeout
        while self.proc.poll() is None and time.monotonic() < deadline:
            if watch_windows and self.visible_windows():
                seen = True
            time.sleep(0.05)
        code = self.proc.poll()
        return (code, seen) if watch_windows else code

    def origin(self):
        """Screen position of the client area (the window has no frame)."""
        out = xdotool("getwindowgeometry", self.wid)
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("Position:"):
                x, y = line.split()[1].split(",")
                return int(x), int(y)
        raise RuntimeError("no geometry: %r" % out)

    def client_pixels(self, width=800, height=600):
        """The client area's pixels in one screenshot, as bytes."""
        shot = Shot()
        ox, oy = self.origin()
        left, right = max(ox, 0), min(ox + width, shot.width)
        rows = range(max(oy, 0), min(oy + height, shot.height))
        return b"".join(shot.rgb[(y * shot.width + left) * 3:(y * shot.width + right) * 3]
                        for y in rows)

    def wait_still(self, timeout=10):
        """Waits until two screenshots in a row show the window alike: its
        slides, paints and posted updates are over. Whether they were."""
        last = []

        def still():
            now = self.client_pixels()
            same = bool(last) and now == last[-1]
            last[:] = [now]
            return same
        return bool(wait_until(still, timeout))

    def move_to(self, x, y):
        ox, oy = self.origin()
        xdotool("mousemove", ox + x, oy + y)

    def click(self, x, y):
        self.move_to(x, y)
        xdotool("click", 1)

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def cleanup(self):
        self.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


def wine_desktop_display():
    """DISPLAY of the Wine desktop process (explorer.exe) of our prefix, or
    None when none runs. Wine's own window-move loop tracks the pointer only
    when that process shares the test's X display."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"explorer.exe" not in f.read():
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                env = dict(item.split(b"=", 1) for item in f.read().split(b"\0") if b"=" in item)
        except OSError:
            continue
        if os.path.realpath(env.get(b"WINEPREFIX", b"").decode()) == os.path.realpath(WINEPREFIX):
            return env.get(b"DISPLAY", b"").decode()
    return None


def instance_marker_held():
    """Whether a running copy of the program holds its single-instance
    marker in this Wine prefix (win_probe.exe marker)."""
    exe = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
    out = subprocess.run(["wine", exe, "marker"], env=wine_env(), capture_output=True,
                         stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    return '"marker":1' in out


def wait_for_no_instance(timeout=30):
    """The program runs once per Wine session: a copy started while another
    holds the marker ends at once, without a window. An earlier run's program
    may still hold it for seconds: without a window manager (Xvfb) Wine waits
    2 s for one when a window closes, before the process can end."""
    if wait_until(lambda: not instance_marker_held(), timeout, 0.2) is None:
        raise RuntimeError("another parvelle.exe in Wine prefix %s still holds the "
                           "single-instance marker after %d s" % (WINEPREFIX, timeout))


def round_trip(hwnd):
    """Returns once the thread of window `hwnd` has handled what was queued for
    it before (the input sent so far included) and what that handling posted:
    WM_NULL round trips through its queue (win_probe.exe sync). For a test
    that must show that an input did nothing, instead of a pause."""
    exe = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
    out = subprocess.run(["wine", exe, "sync", str(hwnd)], env=wine_env(), capture_output=True,
                         stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    if '"sync":1' not in out:
        raise RuntimeError("window %s did not answer a round trip: %r" % (hwnd, out))


def probe():
    """The session's top-level windows (win_probe.exe), as dicts. Its output
    goes through a file: a pipe would stay open as long as any Wine helper
    that this start brings up (the desktop, when no program showed a window
    yet) and inherits it."""
    exe = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
    with tempfile.TemporaryFile() as f:
        subprocess.run(["wine", exe], env=wine_env(), stdout=f, stderr=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL)
        f.seek(0)
        out = f.read().decode("utf-8", "replace")
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]


def main_dialog(title):
    for w in probe():
        if w["class"] == "#32770" and w["title"] == title and w["visible"]:
            return w
    return None


class MainWindowQueries:
    """What the running program's main window shows, for test cases that set
    `self.title` to its title."""

    def dialog(self):
        d = wait_until(lambda: main_dialog(self.title), 10, 0.2)
        self.assertIsNotNone(d, "main window not found by its title")
        return d

    def round_trip(self):
        """What the main window's thread had queued has been handled
        (round_trip)."""
        round_trip(self.dialog()["hwnd"])

    def pages(self):
        """Visibility of pagePay1, pageHistory, pagePay2 (creation order)."""
        return [p["visible"] for p in self.dialog()["children"] if p["class"] == "#32770"]


def patch_mean(get, x, y, size=8):
    """The mean colour of the size x size square at (x, y) of `get(x, y)`."""
    total = [0, 0, 0]
    for j in range(size):
        for i in range(size):
            p = get(x + i, y + j)
            for c in range(3):
                total[c] += p[c]
    return tuple(t / (size * size) for t in total)


def child(window, control_id):
    for c in window["children"]:
        if c["id"] == control_id and c["parent"] == window["hwnd"]:
            return c
    return None
