#!/usr/bin/env python3
"""Main window benchmark against its own store simulator, on a display (the
current one, or an Xvfb display it starts):

  1. process start -> window visible: parvelle.exe started under Wine until
     its window is mapped on the X display, with a warm picture cache (one
     untimed run fills it first); a cold-cache run is shown for contrast;
  2. one full repaint of the store front: store_front_repaint.exe.

    tools/bench/main_window_bench.py [--build-dir DIR] [--runs N] [--repaints N]

DIR (default build/bench) is configured as a release build with the
benchmark tools when it does not exist yet; only parvelle and
store_front_repaint are built.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def run(args, **kw):
    return subprocess.run(args, check=True, **kw)


def configure(build_dir):
    if os.path.exists(os.path.join(build_dir, "build.ninja")):
        return
    prefix = run([os.path.join(ROOT, "scripts", "build-deps.sh")], capture_output=True,
                 text=True).stdout.strip().splitlines()[-1]
    run(["cmake", "--preset", "release", "-B", build_dir, "-DPARVELLE_TESTS=ON",
         "-DPARVELLE_DEPS_PREFIX=" + prefix], cwd=ROOT, stdout=subprocess.DEVNULL)


def start_xvfb():
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(write_fd,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        display = ":" + f.readline().strip()
    return proc, display


def window_visible(pid):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True).stdout
    return bool(out.split())


def time_to_window(exe, env, attempts=10):
    """Seconds from Popen to the window being mapped. A start that ends at
    once lost the single-instance mutex to a predecessor the wineserver has
    not reaped yet (or to another copy in the prefix): it is retried."""
    for _ in range(attempts):
        seconds = start_once(exe, env)
        if seconds is not None:
            return seconds
        time.sleep(0.5)
    raise RuntimeError("parvelle.exe ends without a window: start-up fails, or another "
                       "instance runs in this Wine prefix")


def start_once(exe, env, timeout=60):
    """Seconds from Popen to the window being mapped (polled every 5 ms);
    None when the process ended without a window."""
    t0 = time.monotonic()
    proc = subprocess.Popen(["wine", exe], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - t0 < timeout:
            if window_visible(proc.pid):
                return time.monotonic() - t0
            if proc.poll() is not None:
                return None
            time.sleep(0.005)
        raise RuntimeError("no window within %d s" % timeout)
    finally:
        proc.kill()
        proc.wait()
        time.sleep(0.3)  # the wineserver releases the single-instance mutex


def write_server_ini(app_dir, sim):
    ini = ("[server]\r\ndomain=localhost:%d\r\ntype=1\r\ntitle=Parvelle bench\r\npay_type=1\r\n"
           "ca_file=%s\r\n" % (sim["port"], sim["ca_file_win"]))
    with open(os.path.join(app_dir, "server.ini"), "wb") as f:
        f.write(b"\xff\xfe" + ini.encode("utf-16-le"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--repaints", type=int, default=300)
    opts = parser.parse_args()
    build_dir = os.path.abspath(opts.build_dir)

    configure(build_dir)
    run(["ninja", "-C", build_dir, "-j2", "parvelle", "store_front_repaint"],
        stdout=subprocess.DEVNULL)
    env = dict(os.environ)
    env["WINEPREFIX"] = run([os.path.join(ROOT, "scripts", "wine-prefix.sh")],
                            capture_output=True, text=True).stdout.strip().splitlines()[-1]
    env["WINEDEBUG"] = "-all"

    xvfb = None
    if not env.get("DISPLAY") or subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                                capture_output=True).returncode != 0:
        xvfb, env["DISPLAY"] = start_xvfb()
    os.environ["DISPLAY"] = env["DISPLAY"]
    work = tempfile.mkdtemp(prefix="main-window-bench-")
    state = os.path.join(work, "sim")
    simctl = os.path.join(ROOT, "tools", "store_sim", "simctl.py")
    try:
        subprocess.run(["wineserver", "-p30"], env=env, capture_output=True)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=env, capture_output=True)
        run([sys.executable, simctl, "start", "--state-dir", state], stdout=subprocess.DEVNULL)
        with open(os.path.join(state, "sim.json")) as f:
            sim = json.load(f)

        app_dir = os.path.join(work, "app")
        os.makedirs(app_dir)
        exe = os.path.join(app_dir, "parvelle.exe")
        shutil.copy(os.path.join(build_dir, "app", "parvelle.exe"), exe)
        write_server_ini(app_dir, sim)

        cold = time_to_window(exe, env)  # fills the picture cache
        warm = [time_to_window(exe, env) for _ in range(opts.runs)]
        print("build: %s" % build_dir)
        print("process start -> window visible, cold picture cache: %7.1f ms (1 run)"
              % (cold * 1000))
        print("process start -> window visible, warm picture cache: median %7.1f ms, "
              "min %7.1f, max %7.1f (%d runs)"
              % (statistics.median(warm) * 1000, min(warm) * 1000, max(warm) * 1000, len(warm)))

        repaint = os.path.join(build_dir, "tools", "bench", "store_front_repaint.exe")
        out = run(["wine", repaint, "Z:" + app_dir.replace("/", "\\"), str(opts.repaints)],
                  env=env, capture_output=True, text=True).stdout
        sys.stdout.write(out)
    finally:
        subprocess.run([sys.executable, simctl, "stop", "--state-dir", state],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)
        if xvfb:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    main()
