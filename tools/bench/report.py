#!/usr/bin/env python3
"""Every performance figure of the program in one run, side by side:

    python3 tools/bench/report.py [--quick]

Runs the start-up benchmark (latency floor, one connection per request, cold
and warm, 5 and 20 packages), the main window's (start to visible window,
store-front repaint), the payment pages' and the history's (repaint of every
view, memory and handles over 10,000 repaints) and the orders' (creation end
to end, stop latency of the payment watch, growth over 1,000 orders), prints
each one's own table, then a summary of ratios: machines here are noisy, and
a ratio to the floor or to a budget says more than a time alone. --quick
runs fewer repetitions, for a look rather than figures."""

import argparse
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
REPAINT_BUDGET_MS = 8.0
POLL_PAUSE_MS = 2000.0


def run(title, command):
    print("\n== %s\n$ %s" % (title, " ".join(command)), flush=True)
    started = time.monotonic()
    proc = subprocess.run(command, cwd=ROOT, capture_output=True, text=True)
    out = proc.stdout
    sys.stdout.write(out)
    if proc.returncode != 0:
        sys.stdout.write(proc.stderr[-2000:])
        print("(%s ended with %d)" % (title, proc.returncode))
    print("(%.0f s)" % (time.monotonic() - started), flush=True)
    return out


def numbers(line):
    return [float(x) for x in re.findall(r"-?\d+(?:\.\d+)?", line)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true")
    args = parser.parse_args()
    q = args.quick
    repaints = "1000" if q else "10000"
    outputs = {
        "startup": run("Start-up sequence", [os.path.join(HERE, "startup_bench.sh"),
                                             "--runs", "2" if q else "5"]),
        "main": run("Main window", [sys.executable, os.path.join(HERE, "main_window_bench.py"),
                                    "--runs", "3" if q else "10"]),
        "pay": run("Payment pages", [sys.executable, os.path.join(HERE, "pay_pages_bench.py"),
                                     "--repaints", repaints]),
        "history": run("Order history", [sys.executable, os.path.join(HERE, "history_bench.py"),
                                         "--repaints", repaints, "--fetches", "200"]),
        "orders": run("Orders", [os.path.join(HERE, "order_bench.sh"), "--runs",
                                 "5" if q else "20", "--orders", "200" if q else "1000",
                                 "--idle-seconds", "5" if q else "20"]),
    }

    print("\n== Summary (ratios)")
    rows = []
    # Start-up: wall time against the floor, and one connection per request
    # against shared connections.
    starts = {}
    for line in outputs["startup"].splitlines():
        m = re.match(r"\s*(\d+)\s+(cold|warm)\s+(on|off)\s+(.*)", line)
        if m:
            values = numbers(m.group(4))
            if len(values) >= 5:
                starts[(int(m.group(1)), m.group(2), m.group(3))] = (values[0], values[4])
    for (packages, cache, sharing), (wall, floor) in sorted(starts.items()):
        ratio = wall / floor if floor else float("nan")
        extra = ""
        if sharing == "on" and (packages, cache, "off") in starts:
            extra = "; one connection per request takes %.1fx as long" % (
                starts[(packages, cache, "off")][0] / wall)
        if sharing == "on":
            rows.append("start-up, %d packages, %s cache: %.0f ms = %.2fx the latency floor%s" % (
                packages, cache, wall, ratio, extra))
    # Repaints against the 8 ms budget.
    for key in ("main", "pay", "history"):
        for line in outputs[key].splitlines():
            if " median " in line and " ms" in line:
                what = line.split(" median ")[0].strip()
                value = numbers(line.split(" median ")[1])[0]
                if "repaint" in what or "view" in what or "table" in what or "page" in what:
                    rows.append("%s: %.2f ms = %.2fx the %.0f ms repaint budget" % (
                        what, value, value / REPAINT_BUDGET_MS, REPAINT_BUDGET_MS))
                else:
                    rows.append("%s: %.2f ms" % (what, value))
    # Orders: the stop against the poll pause, creation by part.
    for line in outputs["orders"].splitlines():
        if line.startswith("StopOrderPolling, transfer hanging"):
            v = numbers(line)
            rows.append("stop with a transfer hanging: returns in %.3f ms (%.5fx the 2 s poll "
                        "pause); thread gone in %.0f ms" % (v[0], v[0] / POLL_PAUSE_MS, v[2]))
        elif line.startswith("CreateOrder end to end"):
            v = numbers(line)
            if len(v) >= 4 and v[0] > 0:
                rows.append("order creation %.2f ms: request %.0f%%, QR encoding %.0f%%, BMP file "
                            "%.0f%%" % (v[0], 100 * v[1] / v[0], 100 * v[2] / v[0],
                                        100 * v[3] / v[0]))
        elif "orders (" in line or line.startswith("Watch CPU"):
            rows.append(line.strip())
    # Growth over the long repaint runs: every "before"/"after" pair.
    for key in ("pay", "history"):
        lines = [l for l in outputs[key].splitlines() if " GDI " in l and " handles " in l]
        if len(lines) >= 2:
            first, last = numbers(lines[0].split(" GDI ")[1]), numbers(lines[-1].split(" GDI ")[1])
            rows.append("%s, %s repaints: GDI %+d, handles %+d, committed %+.1f KiB, heap %+.1f "
                        "KiB" % (key, repaints, last[0] - first[0], last[1] - first[1],
                                 last[2] - first[2], last[3] - first[3]))
    for row in rows:
        print("  " + row)


if __name__ == "__main__":
    main()
