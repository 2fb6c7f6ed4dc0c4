#!/usr/bin/env python3
"""Payment pages benchmark against its own store simulator, on a display (the
current one, or an Xvfb display it starts): pay_pages_repaint.exe opens each
payment page of the real main window with an order (so its QR code exists),
times the repaint of each view (the purchase view with the QR code, with the
placeholder, with a 10,000-character detail text; the paid view), and prints
GDI objects, handles, committed memory and heap in use before and after 3,000
repaints.

    tools/bench/pay_pages_bench.py [--build-dir DIR] [--repaints N]

DIR: a release build with the benchmark tools (default build/bench, see --help).
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402


def main():
    parser = harness.bench_options(__doc__, 3000)
    opts = parser.parse_args()
    with harness.Bench(opts.build_dir, ["pay_pages_repaint"], "pay-pages-bench-",
                       opts.dpi) as bench:
        print("build: %s" % bench.build_dir)
        sys.stdout.write(bench.run_tool("pay_pages_repaint", opts.repaints))


if __name__ == "__main__":
    main()
