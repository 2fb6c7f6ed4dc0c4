#!/usr/bin/env python3
"""Every performance figure of the program in one run, side by side:

    python3 tools/bench/report.py [--quick]

Runs the start-up benchmark (latency floor, one connection per request, cold
and warm, 5 and 20 packages, direct against through a proxy), the main window's (start to visible window and
a minimal Win32 window's, store-front repaints), the payment pages' and the
history's (repaint of every view unchanged and composed anew, the blit of a
finished frame, memory and handles over 10,000 repaints), the memory walk
(anonymous memory over a minimal window's after each view a user walks
through), the last four at 100 % and at 200 % display scale (a Wine prefix
with LogPixels 192), and the
orders' (creation end to end, stop latency of the payment watch, growth over
1,000 orders); prints each one's own table, then a summary of ratios:
machines here are noisy, and a ratio to a floor measured in the same run
says more than a time alone. --quick runs fewer repetitions, for a look
rather than figures."""

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
# The display scales the window benchmarks run at: LogPixels and the suffix
# of their figures' keys.
SCALES = [(None, ""), (192, "@200")]
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


def results(out, suffix=""):
    """The figures of every RESULT line a benchmark printed, their keys with
    `suffix`."""
    figures = {}
    for line in out.splitlines():
        if line.startswith("RESULT"):
            for field in line.split()[1:]:
                key, _, value = field.partition("=")
                try:
                    figures[key + suffix] = float(value)
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


# Every window and view the repaint benchmarks time at 100 %, in the order
# printed: unchanged (the kept frame's blit) or composed anew after a change.
REPAINTS = [
    ("store_front_erase_ms", "store front, erase handler, unchanged"),
    ("store_front_compose_ms", "store front, erase handler, composed"),
    ("store_front_redraw_ms", "store front, full redraw with child windows"),
    ("pay1_qr_ms", "payment page 1, purchase view, QR code, unchanged"),
    ("pay1_qr_compose_ms", "payment page 1, purchase view, QR code, composed"),
    ("pay1_placeholder_ms", "payment page 1, purchase view, placeholder, composed"),
    ("pay1_long_details_ms", "payment page 1, 10,000-char details, composed"),
    ("pay1_paid_ms", "payment page 1, paid view, unchanged"),
    ("pay1_paid_compose_ms", "payment page 1, paid view, composed"),
    ("pay2_qr_ms", "payment page 2, purchase view, QR code, unchanged"),
    ("pay2_qr_compose_ms", "payment page 2, purchase view, QR code, composed"),
    ("pay2_placeholder_ms", "payment page 2, purchase view, placeholder, composed"),
    ("pay2_long_details_ms", "payment page 2, 10,000-char details, composed"),
    ("pay2_paid_ms", "payment page 2, paid view, unchanged"),
    ("pay2_paid_compose_ms", "payment page 2, paid view, composed"),
    ("history_table_ms", "order history, table (12 rows), unchanged"),
    ("history_table_compose_ms", "order history, table (12 rows), composed"),
    ("history_page_ms", "order history, page (pager, total line), unchanged"),
    ("history_page_compose_ms", "order history, page (pager, total line), composed"),
]


# Repaints of a view that did not change, each against the blit of a finished
# frame of the same window's size: (label, repaint key, floor key).
UNCHANGED = [
    ("store front, expose", "store_front_expose_ms", "store_front_blit_ms"),
    ("store front, erase handler", "store_front_erase_ms", "store_front_blit_ms"),
    ("store front, full redraw with child windows", "store_front_redraw_ms",
     "store_front_blit_ms"),
    ("payment page 1, purchase view (QR), erase", "pay1_qr_ms", "pay1_blit_ms"),
    ("payment page 1, purchase view (QR), expose", "pay1_qr_expose_ms", "pay1_blit_ms"),
    ("payment page 1, paid view, erase", "pay1_paid_ms", "pay1_blit_ms"),
    ("payment page 2, purchase view (QR), erase", "pay2_qr_ms", "pay2_blit_ms"),
    ("order history, table, erase", "history_table_ms", "history_table_blit_ms"),
    ("order history, page, erase", "history_page_ms", "history_page_blit_ms"),
]
UNCHANGED_GOAL = 1.5
# Views composed anew after a change, at 200 % against 100 %.
COMPOSED = [
    ("store front", "store_front_compose_ms"),
    ("payment page 1, purchase view with QR code", "pay1_qr_compose_ms"),
    ("payment page 1, paid view", "pay1_paid_compose_ms"),
    ("payment page 2, purchase view with QR code", "pay2_qr_compose_ms"),
    ("order history, table (12 rows)", "history_table_compose_ms"),
]
COMPOSED_GOAL = 2.5
# The memory walk's views, in the order walked.
WALK = [("start", "store front after start"), ("order", "payment page with its QR code"),
        ("paid", "paid view"), ("history", "order history"), ("back", "store front again")]
WALK_SCALE_GOAL = 1.5
WALK_RETURN_GOAL = 1.10
STARTUP_GOAL = 1.15
WINDOW_GOAL = 1.3


def scale_summary(f):
    """The display-scale ratios: unchanged repaints against a blit, composing
    at 200 % against 100 %, start-up by catalogue size, start to visible
    window against a minimal program, growth over repaints at 200 %."""
    rows = []
    rows.append("Repaint of an unchanged view vs the blit of a finished frame of its size "
                "(goal at most %.1fx)" % UNCHANGED_GOAL)
    rows.append("  %-46s %10s %8s %10s %8s" % ("", "100 %", "x blit", "200 %", "x blit"))
    for label, key, floor in UNCHANGED:
        rows.append("  %-46s %10s %8s %10s %8s" % (
            label, f.ms(key, 3), f.ratio(key, floor), f.ms(key + "@200", 3),
            f.ratio(key + "@200", floor + "@200")))
    rows.append("  %-46s %10s %8s %10s %8s" % (
        "(the blit of a finished store-front frame)", f.ms("store_front_blit_ms", 3), "",
        f.ms("store_front_blit_ms@200", 3), ""))
    rows.append("Composing a changed view at 200 %% vs 100 %% (4x the pixels; goal at most "
                "%.1fx)" % COMPOSED_GOAL)
    for label, key in COMPOSED:
        rows.append("  %-46s %10s %10s %8s" % (label, f.ms(key, 3), f.ms(key + "@200", 3),
                                               f.ratio(key + "@200", key)))
    rows.append("Warm start-up, 20 packages vs 5 (goal at most %.2fx): %s vs %s = %s" % (
        STARTUP_GOAL, f.ms("startup_p20_warm_on_ms"), f.ms("startup_p5_warm_on_ms"),
        f.ratio("startup_p20_warm_on_ms", "startup_p5_warm_on_ms")))
    rows.append("Start to visible window vs its floor: a minimal Win32 window of the same size "
                "sliding in as the program's does, plus the start-up requests' own floor (%s, "
                "5 packages, warm cache) that the program must finish before it shows (goal at "
                "most %.1fx)" % (f.ms("startup_p5_warm_on_floor_ms"), WINDOW_GOAL))
    requests = f.get("startup_p5_warm_on_floor_ms")
    for name, suffix in (("100 %", ""), ("200 %", "@200")):
        window = f.get("window_floor_ms" + suffix)
        floor = None if window is None or requests is None else window + requests
        rows.append("  %-6s %10s vs %10s (window %s) = %s" % (
            name, f.ms("window_warm_ms" + suffix), "missing" if floor is None else
            "%.1f ms" % floor, f.ms("window_floor_ms" + suffix),
            f.ratio("window_warm_ms" + suffix, floor)))
    rows.append("Memory walk: anonymous memory over a minimal Win32 window's (goals: at 200 %% at "
                "most %.1fx 100 %% after every view; back on the store front at most %.2fx its "
                "figure after start)" % (WALK_SCALE_GOAL, WALK_RETURN_GOAL))
    rows.append("  %-32s %10s %10s %8s" % ("", "100 %", "200 %", "x 100 %"))

    def mib(key):
        v = f.get(key)
        return "missing" if v is None else "%+.1f MiB" % v
    for view, label in WALK:
        key = "walk_%s_mib" % view
        rows.append("  %-32s %10s %10s %8s" % (label, mib(key), mib(key + "@200"),
                                               f.ratio(key + "@200", key)))
    for name, suffix in (("100 %", ""), ("200 %", "@200")):
        rows.append("  back vs start at %-6s %s" % (
            name, f.ratio("walk_back_mib" + suffix, "walk_start_mib" + suffix)))
    rows.append("Growth over repaints at 200 % (GDI objects, handles, heap in use)")
    for key, what in (("pay_repaints@200", "payment pages"),
                      ("history_repaints@200", "order history")):
        base = key.split("@")[0]
        n = f.get(key)
        rows.append("  %-16s %7s repaints: GDI %5s  handles %5s  heap %12s" % (
            what, "?" if n is None else "%d" % n, f.count(base + "_gdi@200"),
            f.count(base + "_handles@200"), f.count(base + "_heap_kib@200", "%+.1f KiB")))
    return rows


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
    rows.append("Warm start-up by the user's proxy settings: direct %s; automatic detection on "
                "(nothing found) %s (%s direct); through a manual proxy %s (%s direct), %s "
                "connection(s) in %s tunnel(s); one new connection %s" % (
                    f.ms("startup_direct_ms"), f.ms("startup_detect_ms"),
                    f.ratio("startup_detect_ms", "startup_direct_ms"), f.ms("startup_proxy_ms"),
                    f.ratio("startup_proxy_ms", "startup_direct_ms"),
                    f.count("startup_proxy_connections", "%d"),
                    f.count("startup_proxy_tunnels", "%d"), f.ms("startup_new_connection_ms")))
    rows.append("Start to visible window: warm picture cache %s, cold %s (cold %s warm)" % (
        f.ms("window_warm_ms"), f.ms("window_cold_ms"),
        f.ratio("window_cold_ms", "window_warm_ms")))
    rows.append("Median repaint (x the %.0f ms repaint budget)" % REPAINT_BUDGET_MS)
    for key, label in REPAINTS:
        rows.append("  %-52s %10s %9s" % (label, f.ms(key, 3), f.ratio(key, REPAINT_BUDGET_MS)))
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
    figures = {}
    figures.update(results(run("Start-up sequence", [os.path.join(HERE, "startup_bench.sh"),
                                                     "--runs", "2" if q else "5"])))
    for dpi, suffix in SCALES:
        scale = ["--dpi", str(dpi)] if dpi else []
        name = " at %d dpi" % dpi if dpi else ""
        figures.update(results(run("Main window" + name, [
            sys.executable, os.path.join(HERE, "main_window_bench.py"),
            "--runs", "3" if q else "10"] + scale), suffix))
        figures.update(results(run("Payment pages" + name, [
            sys.executable, os.path.join(HERE, "pay_pages_bench.py"),
            "--repaints", repaints] + scale), suffix))
        figures.update(results(run("Order history" + name, [
            sys.executable, os.path.join(HERE, "history_bench.py"),
            "--repaints", repaints, "--fetches", "200"] + scale), suffix))
        figures.update(results(run("Memory walk" + name, [
            sys.executable, os.path.join(HERE, "memory_walk_bench.py")] + scale), suffix))
    figures.update(results(run("Orders", [os.path.join(HERE, "order_bench.sh"), "--runs",
                                          "5" if q else "20", "--orders", "200" if q else "1000",
                                          "--idle-seconds", "5" if q else "20"])))

    print("\n== Summary (ratios)")
    for row in summary(Figures(figures)) + scale_summary(Figures(figures)):
        print(row)


if __name__ == "__main__":
    main()
