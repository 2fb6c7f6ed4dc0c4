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
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
REPAINT_BUDGET_MS = 8.0
POLL_PAUSE_MS = 2000.0
# Past this a benchmark is taken to hang.
BENCH_TIMEOUT_S = 40 * 60


def run(title, command, timeout=BENCH_TIMEOUT_S):
    """What the benchmark printed; one that runs past `timeout` is
    interrupted (so its clean-up runs) and its figures show as missing."""
    print("\n== %s\n$ %s" % (title, " ".join(command)), flush=True)
    started = time.monotonic()
    proc = subprocess.Popen(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            text=True)
    try:
        out, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.send_signal(signal.SIGINT)
        try:
            out, err = proc.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            out, err = "", ""
        err += "\n(%s ran past %d s and was stopped)\n" % (title, timeout)
    sys.stdout.write(out)
    if proc.returncode != 0:
        sys.stdout.write(err[-2000:])
        print("(%s ended with %d)" % (title, proc.returncode))
    print("(%.0f s)" % (time.monotonic() - started), flush=True)
    return out


def results(out):
    """The figures of every RESULT line a benchmark printed."""
    figures = {}
    for line in out.splitlines():
        if line.startswith("RESULT"):
            for field in line.split()[1:]:
                key, _, value = field.partition("=")
                try:
                    figures[key] = float(value)
                except ValueError:
                    pass
    return figures


class Figures:
    """Formats figures and their ratios; a figure a benchmark did not print
    shows as missing, and so does every ratio built on it."""

    def __init__(self, figures):
        self.figures = figures

    def get(self, key):
        return self.figures.get(key)

    def ms(self, key, digits=1):
        v = self.get(key)
        return "missing" if v is None else "%.*f ms" % (digits, v)

    def ratio(self, top, bottom, digits=2):
        a = self.get(top) if isinstance(top, str) else top
        b = self.get(bottom) if isinstance(bottom, str) else bottom
        return "missing" if a is None or b is None or b == 0 else "%.*fx" % (digits, a / b)

    def count(self, key, fmt="%+d"):
        v = self.get(key)
        return "missing" if v is None else fmt % v


# Every window and view the repaint benchmarks time, in the order printed.
REPAINTS = [
    ("store_front_erase_ms", "store front, erase handler (frame + blit)"),
    ("store_front_redraw_ms", "store front, full redraw with child windows"),
    ("pay1_qr_ms", "payment page 1, purchase view, QR file"),
    ("pay1_placeholder_ms", "payment page 1, purchase view, placeholder"),
    ("pay1_long_details_ms", "payment page 1, purchase view, 10,000-char details"),
    ("pay1_paid_ms", "payment page 1, paid view"),
    ("pay2_qr_ms", "payment page 2, purchase view, QR file"),
    ("pay2_placeholder_ms", "payment page 2, purchase view, placeholder"),
    ("pay2_long_details_ms", "payment page 2, purchase view, 10,000-char details"),
    ("pay2_paid_ms", "payment page 2, paid view"),
    ("history_table_ms", "order history, table (12 rows)"),
    ("history_page_ms", "order history, page (pager, total line)"),
]


def summary(f):
    rows = []
    rows.append("Start-up sequence (%s extra per new connection; floor: the requests at the "
                "calibrated connection times)" % f.ms("startup_latency_ms", 0))
    rows.append("  %-24s %12s %9s %15s %9s %14s" % (
        "", "shared", "x floor", "per request", "x floor", "per req/shared"))
    for packages in (5, 20):
        for cache in ("cold", "warm"):
            on = "startup_p%d_%s_on" % (packages, cache)
            off = "startup_p%d_%s_off" % (packages, cache)
            rows.append("  %-24s %12s %9s %15s %9s %14s" % (
                "%d packages, %s cache" % (packages, cache), f.ms(on + "_ms"),
                f.ratio(on + "_ms", on + "_floor_ms"), f.ms(off + "_ms"),
                f.ratio(off + "_ms", off + "_floor_ms"), f.ratio(off + "_ms", on + "_ms")))
    rows.append("Start to visible window: warm picture cache %s, cold %s (cold %s warm)" % (
        f.ms("window_warm_ms"), f.ms("window_cold_ms"),
        f.ratio("window_cold_ms", "window_warm_ms")))
    rows.append("Median repaint (x the %.0f ms repaint budget)" % REPAINT_BUDGET_MS)
    for key, label in REPAINTS:
        rows.append("  %-52s %10s %9s" % (label, f.ms(key, 3), f.ratio(key, REPAINT_BUDGET_MS)))
    rows.append("  %-52s %10s %9s" % ("(QR file read and decode alone)", f.ms("qr_read_ms", 3),
                                      f.ratio("qr_read_ms", REPAINT_BUDGET_MS)))
    rows.append("Order creation end to end: %s; request %s, QR encoding %s, BMP file %s of it" % (
        f.ms("create_ms", 2), f.ratio("create_request_ms", "create_ms"),
        f.ratio("create_encode_ms", "create_ms", 4), f.ratio("create_bmp_ms", "create_ms")))
    rows.append("Stop of the payment watch, transfer hanging: returns in %s (%s the %.0f s poll "
                "pause), thread gone in %s (%s)" % (
                    f.ms("stop_hanging_return_ms", 3),
                    f.ratio("stop_hanging_return_ms", POLL_PAUSE_MS, 5), POLL_PAUSE_MS / 1000,
                    f.ms("stop_hanging_gone_ms"), f.ratio("stop_hanging_gone_ms", POLL_PAUSE_MS)))
    rows.append("Stop of the payment watch in its pause: thread gone in %s (%s the poll pause)" % (
        f.ms("stop_pause_gone_ms"), f.ratio("stop_pause_gone_ms", POLL_PAUSE_MS, 4)))
    cpu = f.get("watch_cpu_ms_per_min")
    rows.append("Watch CPU while waiting: %s per minute (%s of one core)" % (
        f.ms("watch_cpu_ms_per_min"), "missing" if cpu is None else "%.4f%%" % (cpu / 600.0)))
    rows.append("Growth (GDI objects, handles, committed memory, heap in use; heap per item)")
    for key, what in (("pay_repaints", "payment pages, %s repaints"),
                      ("history_repaints", "order history, %s repaints"),
                      ("history_fetches", "order history, %s page fetches"),
                      ("orders", "%s orders created and abandoned")):
        n = f.get(key)
        heap = f.get(key + "_heap_kib")
        per = "missing" if n is None or heap is None else "%+.1f B" % (heap * 1024 / n)
        rows.append("  %-40s GDI %7s  handles %7s  committed %12s  heap %12s  (%s each)" % (
            what % ("%d" % n if n is not None else "?"), f.count(key + "_gdi"),
            f.count(key + "_handles"), f.count(key + "_committed_kib", "%+.1f KiB"),
            f.count(key + "_heap_kib", "%+.1f KiB"), per))
    return rows


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

    figures = {}
    for out in outputs.values():
        figures.update(results(out))
    print("\n== Summary (ratios)")
    for row in summary(Figures(figures)):
        print(row)


if __name__ == "__main__":
    main()
