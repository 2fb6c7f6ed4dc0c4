#!/usr/bin/env python3
"""Payment pages benchmark against its own store simulator, on a display (the
current one, or an Xvfb display it starts): pay_pages_repaint.exe opens each
payment page of the real main window with an order (so the QR file exists),
times the repaint of each view (the purchase view with the QR file, with the
placeholder, with a 10,000-character detail text; the paid view) and the QR
file's read alone, and prints GDI objects, handles, committed memory and heap
in use before and after 3,000 repaints.

    tools/bench/pay_pages_bench.py [--build-dir DIR] [--repaints N]

DIR (default build/bench) is configured as a release build with the
benchmark tools when it does not exist yet; only pay_pages_repaint is built.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from main_window_bench import ROOT, configure, run, start_xvfb, write_server_ini  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--repaints", type=int, default=3000)
    opts = parser.parse_args()
    build_dir = os.path.abspath(opts.build_dir)

    configure(build_dir)
    run(["ninja", "-C", build_dir, "-j2", "pay_pages_repaint"], stdout=subprocess.DEVNULL)
    env = dict(os.environ)
    env["WINEPREFIX"] = run([os.path.join(ROOT, "scripts", "wine-prefix.sh")],
                            capture_output=True, text=True).stdout.strip().splitlines()[-1]
    env["WINEDEBUG"] = "-all"

    xvfb = None
    if not env.get("DISPLAY") or subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                                capture_output=True).returncode != 0:
        xvfb, env["DISPLAY"] = start_xvfb()
    work = tempfile.mkdtemp(prefix="pay-pages-bench-")
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
        write_server_ini(app_dir, sim)

        exe = os.path.join(build_dir, "tools", "bench", "pay_pages_repaint.exe")
        print("build: %s" % build_dir)
        out = run(["wine", exe, "Z:" + app_dir.replace("/", "\\"), str(opts.repaints)], env=env,
                  cwd=work, capture_output=True, text=True).stdout
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
