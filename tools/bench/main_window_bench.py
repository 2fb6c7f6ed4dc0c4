#!/usr/bin/env python3
"""Main window benchmark against its own store simulator, on a display (the
current one, or an Xvfb display it starts):

  1. process start -> window visible: parvelle.exe started under Wine until
     its window is mapped on the X display, with a warm picture cache (one
     untimed run fills it first); a cold-cache run is shown for contrast;
     and the floor: floor_window.exe, a minimal Win32 program showing a
     window of the same size, timed the same way;
  2. the store front's repaints: store_front_repaint.exe.

    tools/bench/main_window_bench.py [--build-dir DIR] [--runs N] [--repaints N] [--dpi N]

DIR: a release build with the benchmark tools (default build/bench, see --help).
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402


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


def main():
    parser = harness.bench_options(__doc__, 300)
    parser.add_argument("--runs", type=int, default=10)
    opts = parser.parse_args()
    with harness.Bench(opts.build_dir, ["parvelle", "store_front_repaint", "floor_window"],
                       "main-window-bench-", opts.dpi) as bench:
        exe = os.path.join(bench.app_dir, "parvelle.exe")
        shutil.copy(os.path.join(bench.build_dir, "app", "parvelle.exe"), exe)
        cold = time_to_window(exe, bench.env)  # fills the picture cache
        warm = [time_to_window(exe, bench.env) for _ in range(opts.runs)]
        floor_exe = bench.tool("floor_window")
        time_to_window(floor_exe, bench.env)  # the loader's caches, as for the warm runs
        floor = [time_to_window(floor_exe, bench.env) for _ in range(opts.runs)]
        print("build: %s" % bench.build_dir)
        print("process start -> window visible, cold picture cache: %7.1f ms (1 run)"
              % (cold * 1000))
        print("process start -> window visible, warm picture cache: median %7.1f ms, "
              "min %7.1f, max %7.1f (%d runs)"
              % (harness.median(warm) * 1000, min(warm) * 1000, max(warm) * 1000, len(warm)))
        print("process start -> window visible, minimal Win32 window: median %7.1f ms, "
              "min %7.1f, max %7.1f (%d runs)"
              % (harness.median(floor) * 1000, min(floor) * 1000, max(floor) * 1000, len(floor)))
        print(harness.result_line(window_cold_ms=cold * 1000,
                                  window_warm_ms=harness.median(warm) * 1000,
                                  window_floor_ms=harness.median(floor) * 1000))
        sys.stdout.write(bench.run_tool("store_front_repaint", opts.repaints))


if __name__ == "__main__":
    main()
