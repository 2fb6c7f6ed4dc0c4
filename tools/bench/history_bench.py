#!/usr/bin/env python3
"""Order history benchmark against its own store simulator, on a display (the
current one, or an Xvfb display it starts): history_repaint.exe opens the
history page of the real main window with at least 13 orders of this machine,
times the repaint of the table (12 rows) and of the page, and prints GDI
objects, user objects, handles and private memory before and after 3,000
repaints and 200 page fetches.

    tools/bench/history_bench.py [--build-dir DIR] [--repaints N] [--fetches N]

DIR: a release build with the benchmark tools (default build/bench, see --help).
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402


def main():
    parser = harness.bench_options(__doc__, 3000)
    parser.add_argument("--fetches", type=int, default=200)
    opts = parser.parse_args()
    with harness.Bench(opts.build_dir, ["history_repaint"], "history-bench-",
                       opts.dpi) as bench:
        print("build: %s" % bench.build_dir)
        # Run from the work directory: the page writes b.txt there.
        sys.stdout.write(bench.run_tool("history_repaint", opts.repaints, opts.fetches))


if __name__ == "__main__":
    main()
