"""What the developer tools share: a Wine prefix, an Xvfb display and a store
simulator of their own, the real program's test bed (tests/e2e) set up
around them, the figures' statistics, and waiting for a condition (which the
tests' support imports too). Imported by the benchmarks, the screenshots,
the long run, the hostile-answers harness and the simulator's tests:

    sys.path.insert(0, os.path.join(ROOT, "tools", "support"))
    import harness
"""

import argparse
import contextlib
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIMCTL = [sys.executable, os.path.join(ROOT, "tools", "store_sim", "simctl.py")]


def wait_until(predicate, timeout=5.0, step=0.05):
    """predicate() until it returns something true, which is returned, or None
    once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(step)


def run(args, **kw):
    return subprocess.run(args, check=True, **kw)


def cache_dir():
    return os.environ.get("PARVELLE_CACHE") or os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "parvelle")


def wine_prefix(name=None, dpi=None):
    """The prepared Wine prefix: PARVELLE_WINEPREFIX (or the project's), or
    with `name` one of the tool's own beside it. The program runs once per
    Wine session, so a tool that starts it while tests run in the project's
    prefix needs its own. With `dpi`, the prefix of that display scale beside
    it (wine-prefix.sh --dpi)."""
    env = dict(os.environ)
    if name:
        env["PARVELLE_WINEPREFIX"] = os.path.join(cache_dir(), "wineprefix-" + name)
    args = [os.path.join(ROOT, "scripts", "wine-prefix.sh")]
    if dpi:
        args += ["--dpi", str(dpi)]
    return run(args, capture_output=True, text=True, env=env).stdout.split()[-1]


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def start_xvfb(screen="1280x1024x24"):
    """An Xvfb server on a free display, which becomes this process's DISPLAY;
    the returned process carries it as `.display`."""
    read, write = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", screen,
                             "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        proc.display = ":" + f.readline().strip()
    os.environ["DISPLAY"] = proc.display
    return proc


def stop(proc):
    if proc is not None and proc.poll() is None:
        proc.terminate()
        proc.wait()


def display_works():
    return bool(os.environ.get("DISPLAY")) and subprocess.run(
        ["xdotool", "getdisplaygeometry"], capture_output=True).returncode == 0


def start_wine(env):
    """Wine's server kept a while after the last program, and its desktop
    process started now, on this display, not by the first timed start."""
    # Output goes nowhere: a wineserver started here outlives the call and
    # would hold a pipe of ours open.
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-p30"], env=env, **quiet)
    subprocess.run(["wine", "cmd", "/c", "exit"], env=env, **quiet)


@contextlib.contextmanager
def simulator(state, fresh=False):
    """A store simulator with its state in `state`; yields its sim.json."""
    run(SIMCTL + ["start", "--state-dir", state] + (["--fresh"] if fresh else []),
        stdout=subprocess.DEVNULL)
    try:
        with open(os.path.join(state, "sim.json")) as f:
            yield json.load(f)
    finally:
        subprocess.run(SIMCTL + ["stop", "--state-dir", state], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


def write_server_ini(app_dir, sim, title="Parvelle bench"):
    ini = ("[server]\r\ndomain=localhost:%d\r\ntype=1\r\ntitle=%s\r\npay_type=1\r\n"
           "ca_file=%s\r\n" % (sim["port"], title, sim["ca_file_win"]))
    # UTF-16 with BOM: the title is read as wide text.
    with open(os.path.join(app_dir, "server.ini"), "wb") as f:
        f.write(b"\xff\xfe" + ini.encode("utf-16-le"))


@contextlib.contextmanager
def e2e_session(build, prefix_name, targets, temp_prefix, dpi=None, screen="1280x1024x24"):
    """The real program's test bed, all of its own: the `targets` built in
    `build`, a Wine prefix named `prefix_name` (at display scale `dpi` when
    given), a simulator, an Xvfb display of `screen`, and the current
    directory in the simulator's state directory (the program writes copies
    of answers, b.txt and c.txt, there). Yields the tests' e2e_support module,
    its Sim and the state directory."""
    prefix = wine_prefix(prefix_name, dpi)
    run(["ninja", "-C", build] + list(targets), stdout=subprocess.DEVNULL)
    state = tempfile.mkdtemp(prefix=temp_prefix)
    os.environ.update(PARVELLE_BUILD_DIR=build, PARVELLE_SOURCE_DIR=ROOT, PARVELLE_SIM_DIR=state,
                      PARVELLE_WINEPREFIX=prefix, WINEPREFIX=prefix, WINEDEBUG="-all")
    xvfb = None
    try:
        with simulator(state):
            xvfb = start_xvfb(screen)
            os.chdir(state)
            sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
            import e2e_support as e2e
            e2e.WINEPREFIX = prefix  # a second session in one process has its own
            # Wine's desktop process starts here, on this display. Output
            # goes nowhere: a wineserver started here outlives the call and
            # would hold a pipe of ours open.
            quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-p5"], env=e2e.wine_env(), **quiet)
            subprocess.run(["wine", "cmd", "/c", "exit"], env=e2e.wine_env(), **quiet)
            yield e2e, e2e.Sim(state), state
    finally:
        os.chdir(ROOT)
        shutil.rmtree(state, ignore_errors=True)
        stop(xvfb)


def configure_bench(build_dir):
    """A release build directory with the benchmark tools, once."""
    if os.path.exists(os.path.join(build_dir, "build.ninja")):
        return
    prefix = run([os.path.join(ROOT, "scripts", "build-deps.sh")], capture_output=True,
                 text=True).stdout.strip().splitlines()[-1]
    run(["cmake", "--preset", "release", "-B", build_dir, "-DPARVELLE_TESTS=ON",
         "-DPARVELLE_DEPS_PREFIX=" + prefix], cwd=ROOT, stdout=subprocess.DEVNULL)


def bench_options(doc, repaints):
    """The command line every repaint benchmark shares; `doc` is its
    docstring."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "bench"),
                        help="a release build with the benchmark tools, configured when it does "
                        "not exist yet; only the benchmark's targets are built (default "
                        "build/bench)")
    parser.add_argument("--repaints", type=int, default=repaints)
    parser.add_argument("--dpi", type=int, default=None,
                        help="run in the Wine prefix of this display scale (192: 200 %%; "
                        "default: the benchmarks' own prefix, 96)")
    return parser


class Bench:
    """One benchmark's set-up: its targets built in a release build directory,
    Wine (the current display, or an Xvfb one of its own), a simulator, and
    a work directory with an application directory whose server.ini points
    at it; with `dpi`, in the Wine prefix of that display scale. Attributes:
    build_dir, env, work, app_dir, sim."""

    def __init__(self, build_dir, targets, temp_prefix, dpi=None):
        self.build_dir = os.path.abspath(build_dir)
        self.targets = targets
        self.temp_prefix = temp_prefix
        self.dpi = dpi
        self.stack = contextlib.ExitStack()

    def __enter__(self):
        configure_bench(self.build_dir)
        run(["ninja", "-C", self.build_dir, "-j2"] + self.targets, stdout=subprocess.DEVNULL)
        # The benchmarks' own prefix unless one is chosen: a benchmark started
        # while the tests run must not share their Wine session.
        own = None if os.environ.get("PARVELLE_WINEPREFIX") else "bench"
        self.env = dict(os.environ, WINEPREFIX=wine_prefix(own, self.dpi), WINEDEBUG="-all")
        try:
            if not display_works():
                # Room for the window at 200 % (1600 x 1200).
                self.stack.callback(stop, start_xvfb("2560x1600x24"))
            self.env["DISPLAY"] = os.environ["DISPLAY"]
            self.work = tempfile.mkdtemp(prefix=self.temp_prefix)
            self.stack.callback(shutil.rmtree, self.work, ignore_errors=True)
            start_wine(self.env)
            self.sim = self.stack.enter_context(simulator(os.path.join(self.work, "sim")))
            self.app_dir = os.path.join(self.work, "app")
            os.makedirs(self.app_dir)
            write_server_ini(self.app_dir, self.sim)
        except BaseException:
            self.stack.close()
            raise
        return self

    def __exit__(self, *exc):
        self.stack.close()

    def tool(self, name):
        return os.path.join(self.build_dir, "tools", "bench", name + ".exe")

    def run_tool(self, name, *args):
        """Runs a benchmark program from the work directory with the
        application directory as its first argument; what it printed."""
        return run(["wine", self.tool(name), wine_path(self.app_dir)] + [str(a) for a in args],
                   env=self.env, cwd=self.work, capture_output=True, text=True).stdout


def median(values):
    return statistics.median(values) if values else float("nan")


def result_line(**figures):
    """The one machine-readable line a benchmark prints for the report
    (tools/bench/report.py): RESULT key=value ...; a figure that could not be
    measured is left out, so it shows as missing, never as 0."""
    return "RESULT " + " ".join("%s=%.6g" % (k, v) for k, v in figures.items()
                                if v is not None and v == v)
