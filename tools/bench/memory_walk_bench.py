#!/usr/bin/env python3
"""Memory as a user walks through every view, against its own store simulator
on an Xvfb display of its own: the real parvelle.exe started, an order made
(the payment page with its QR code), the order paid (the paid view), the
order history opened, and Back to the store front. After each step, once the
screen has settled, the Wine process's anonymous memory (RssAnon) over that
of floor_window.exe, a minimal Win32 program showing a window of the same
size under the same Wine.

    tools/bench/memory_walk_bench.py [--build-dir DIR] [--dpi N]

DIR: a release build with the benchmark tools (default build/bench).
Prints a table and `RESULT walk_<view>_mib=...` (memory over the floor, MiB)
for the views start, order, paid, history and back.
"""

import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

MOBILE = "13800138000"
# Main window client points at 100 %: the mobile number, 立即激活, 我的订单, and
# the history's Back (the page lies below the 24-pixel title strip).
MOBILE_EDIT = (650, 459)
ACTIVATE = (390, 530)
MY_ORDERS = (688, 12)
BACK = (97, 24 + 36)
VIEWS = [("start", "store front after start"), ("order", "payment page, QR code"),
         ("paid", "paid view"), ("history", "order history"), ("back", "store front again")]


def anon_kib(pid):
    """RssAnon of process `pid` in KiB (0 once it is gone)."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("RssAnon:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def settled_kib(pid, samples=3, pause=0.3):
    """RssAnon once it stopped moving (the last of a few equal readings, or
    the smallest of them): what a view keeps, not what its paint had in
    hand."""
    readings = [anon_kib(pid)]
    for _ in range(samples * 4):
        time.sleep(pause)
        readings.append(anon_kib(pid))
        if len(readings) >= samples and len(set(readings[-samples:])) == 1:
            break
    return min(readings[-samples:])


def floor_kib(e2e, build, dpi):
    """RssAnon of floor_window.exe with its window shown."""
    exe = os.path.join(build, "tools", "bench", "floor_window.exe")
    proc = subprocess.Popen(["wine", exe], env=e2e.wine_env(), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        shown = harness.wait_until(lambda: e2e.xdotool("search", "--onlyvisible", "--pid",
                                                       proc.pid).split(), 60)
        if not shown:
            raise RuntimeError("floor_window.exe shows no window")
        return settled_kib(proc.pid)
    finally:
        proc.kill()
        proc.wait()


def walk(e2e, sim, dpi):
    """RssAnon in KiB after each view of VIEWS."""
    def dev(v):
        return -((-(2 * v * dpi - 96)) // 192)

    def click(point):
        app.move_to(dev(point[0]), dev(point[1]))
        time.sleep(0.1)  # Wine sees the pointer arrive before the press
        e2e.xdotool("click", 1)

    def after(mark, name, timeout=20):
        if not harness.wait_until(lambda: [e for e in sim.log(mark) if e["name"] == name],
                                  timeout, 0.1):
            raise RuntimeError("no %s request" % name)

    def settle():
        e2e.xdotool("mousemove", 0, 0)
        app.wait_still(15)
        time.sleep(2.5)  # Wine's stall after a pop-up shows or hides
        app.wait_still(15)
        return settled_kib(app.proc.pid)

    sim.admin("faults/clear")
    sim.admin("auto_pay", seconds=0)
    app = e2e.App(sim, "Parvelle memory walk")
    try:
        mark = sim.mark()
        if not app.start_shown(60):
            raise RuntimeError("the store front never appeared")
        after(mark, "statisticsTap")
        figures = {"start": settle()}

        mark = sim.mark()
        click(MOBILE_EDIT)
        e2e.xdotool("type", "--delay", "20", MOBILE)
        click(ACTIVATE)
        after(mark, "createOrder")
        figures["order"] = settle()

        order_no = sim.admin("orders", limit=1)["orders"][0]["order_no"]
        sim.admin("pay", order_no=order_no)
        mark = sim.mark()
        after(mark, "orderDetail")
        figures["paid"] = settle()

        mark = sim.mark()
        click(MY_ORDERS)
        after(mark, "orderList")
        figures["history"] = settle()

        click(BACK)
        figures["back"] = settle()
        return figures
    finally:
        app.cleanup()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(harness.ROOT, "build", "bench"))
    parser.add_argument("--dpi", type=int, default=96)
    opts = parser.parse_args()
    build = os.path.abspath(opts.build_dir)
    harness.configure_bench(build)
    # The benchmarks' own prefix unless one is chosen, as for the others.
    own = None if os.environ.get("PARVELLE_WINEPREFIX") else "bench"
    with harness.e2e_session(build, own, ["parvelle", "floor_window", "win_probe"],
                             "memory-walk-bench-", dpi=opts.dpi if opts.dpi != 96 else None,
                             screen="2048x1536x24") as (e2e, sim, _):
        floor = floor_kib(e2e, build, opts.dpi)
        figures = walk(e2e, sim, opts.dpi)
    print("build: %s, %d dpi" % (build, opts.dpi))
    print("minimal Win32 window: %8.1f MiB anonymous" % (floor / 1024.0))
    print("%-28s %10s %12s" % ("view", "anonymous", "over floor"))
    over = {}
    for key, label in VIEWS:
        over[key] = (figures[key] - floor) / 1024.0
        print("%-28s %6.1f MiB %+8.1f MiB" % (label, figures[key] / 1024.0, over[key]))
    print(harness.result_line(walk_floor_mib=floor / 1024.0,
                              **{"walk_%s_mib" % k: v for k, v in over.items()}))


if __name__ == "__main__":
    main()
