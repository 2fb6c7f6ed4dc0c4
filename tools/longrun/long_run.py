#!/usr/bin/env python3
"""The real program for a long time against a store that fails every second
answer: orders are created and abandoned, the history is opened and paged,
views repaint under the pointer; what the program holds is printed each
minute and must stay flat.

    python3 tools/longrun/long_run.py [--minutes 30] [--build-dir DIR]

It runs the test build of the program (parvelle_test_inputs.exe: the shipped
application plus a thread that reports heap bytes, handles, GDI objects and
committed memory, see tests/e2e/stats_reporter.h) on an Xvfb display, in a Wine
prefix and against a store simulator of its own."""

import argparse
import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

ROOT = harness.ROOT
PAGE_Y = 24
# Every second answer of each request fails, one way per minute in turn.
FAULT_KINDS = [
    {"kind": "drop"},
    {"kind": "not_json"},
    {"kind": "status", "status": 500, "body": "oops"},
    {"kind": "truncated"},
    {"kind": "hang", "max_ms": 4000},
    {"kind": "body", "body": '{"status_code":1000,"data":[1,{"x":null}],"Data":"\\u0000"}'},
    {"kind": "redirect", "hops": 3},
]
REQUESTS = ["createOrder", "orderDetail", "orderList", "picture", "getProductList",
            "getGroupConfig", "statisticsTap"]


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--minutes", type=float, default=30)
    p.add_argument("--build-dir", default=os.path.join(ROOT, "build", "debug"))
    p.add_argument("--period", type=int, default=60, help="seconds between figures")
    return p.parse_args()


def read_stats(path):
    rows = []
    if os.path.exists(path):
        for line in open(path):
            m = re.match(r"(\d+) heap=(\d+) handles=(\d+) gdi=(-?\d+) committed=(\d+)", line)
            if m:
                rows.append(tuple(int(v) for v in m.groups()))
    return rows


def rss_kib(pid):
    try:
        for line in open("/proc/%d/status" % pid):
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def exercise(args, e2e, sim, stats_file):
    """Cycles through the program's screens until the time is up, printing
    what it holds each period, then its growth after the warm-up."""
    app = None
    try:
        winpath = harness.wine_path(stats_file)
        app = e2e.App(sim, "Parvelle long run", exe=e2e.TEST_INPUTS_EXE,
                      env={"PARVELLE_TEST_STATS": winpath,
                           "PARVELLE_TEST_STATS_SECONDS": str(args.period)})
        # Under load Wine sometimes ends a first start at once, before any
        # request; it is tried again.
        if not app.start_shown(90):
            raise RuntimeError("the store front never appeared (exit code %r; requests %s)"
                               % (app.proc.poll(), [e["name"] for e in sim.log()]))
        time.sleep(2)

        def page_click(x, y, pause=0.6):
            app.click(x, PAGE_Y + y)
            time.sleep(pause)

        def set_faults(minute):
            sim.admin("faults/clear")
            fault = FAULT_KINDS[minute % len(FAULT_KINDS)]
            for request in REQUESTS:
                sim.admin("fault", request=request, every=2, **fault)
            return fault["kind"]

        start = time.monotonic()
        end = start + args.minutes * 60
        minute = -1
        cycles = 0
        # New connections count because each TLS handshake checked against a
        # private CA costs a little memory inside the TLS stack.
        print("%6s %-9s %12s %8s %6s %14s %10s %7s %9s %6s" % (
            "min", "faults", "heap KiB", "handles", "GDI", "committed KiB", "RSS KiB", "cycles",
            "requests", "conns"), flush=True)
        printed = 0
        while time.monotonic() < end:
            now_minute = int((time.monotonic() - start) // 60)
            if now_minute != minute:
                minute = now_minute
                kind = set_faults(minute)
            if app.proc.poll() is not None:
                raise RuntimeError("the program ended after %d cycles" % cycles)
            try:
                app.origin()
            except RuntimeError:
                # The window X knew went away (Wine may map a window anew):
                # find the visible one again.
                if not app.wait_window(30):
                    raise RuntimeError("the program's window is gone after %d cycles" % cycles)
            # The store front: a mobile number and the action button open the
            # payment page, which orders at once; then both pay choices.
            app.click(650, 459)
            e2e.xdotool("key", "ctrl+a", "BackSpace")
            e2e.xdotool("type", "--delay", "10", "13800138000")
            app.click(390, 530)
            time.sleep(1.0)
            page_click(620, 475)  # Alipay: a new order
            page_click(620, 511)  # WeChat Pay: another
            page_click(530, 458)  # the QR square: another
            for x, y in ((785, 500), (700, 300), (785, 500), (300, 300)):
                app.move_to(x, PAGE_Y + y)  # hover in and out of the shop tab
                time.sleep(0.1)
            # The history: its first page, a row's details, then back.
            app.click(680, 10)
            time.sleep(1.2)
            page_click(648, 141, 1.2)  # View details on the first row
            app.click(680, 10)
            time.sleep(1.2)
            page_click(97, 36, 1.0)  # Back to the store front
            cycles += 1
            rows = read_stats(stats_file)
            while printed < len(rows):
                secs, heap, handles, gdi, committed = rows[printed]
                log = sim.log()
                print("%6.1f %-9s %12.1f %8d %6d %14.1f %10d %7d %9d %6d" % (
                    secs / 60.0, kind, heap / 1024, handles, gdi, committed / 1024,
                    rss_kib(app.proc.pid), cycles, len(log), len({e["conn"] for e in log})),
                    flush=True)
                printed += 1
        rows = read_stats(stats_file)
        if len(rows) >= 3:
            base, last = rows[1], rows[-1]  # after the first period's warm-up
            print("growth after warm-up: heap %+.1f KiB, handles %+d, GDI %+d, committed %+.1f KiB"
                  " over %.1f min, %d cycles" % ((last[1] - base[1]) / 1024, last[2] - base[2],
                                                  last[3] - base[3], (last[4] - base[4]) / 1024,
                                                  (last[0] - base[0]) / 60.0, cycles))
    finally:
        if app:
            app.cleanup()


def main():
    args = parse_args()
    build = os.path.abspath(args.build_dir)
    with harness.e2e_session(build, "longrun", ["parvelle_test_inputs", "win_probe"],
                             "longrun-") as (e2e, sim, state):
        exercise(args, e2e, sim, os.path.join(state, "stats.txt"))


if __name__ == "__main__":
    main()
