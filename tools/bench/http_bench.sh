#!/usr/bin/env bash
# Fresh vs reused TLS connections against a store simulator of its own, with
# and without latency on each new connection.
#   tools/bench/http_bench.sh [--build-dir DIR] [REQUESTS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$root/build/debug
if [ "${1:-}" = "--build-dir" ]; then
  dir=$(realpath -m "$2")
  shift 2
fi

. "$here/bench_common.sh"
bench_prepare http_bench
bench_state http-bench
bench_start_sim
STORE_SIM_INFO=$(winpath "$state/sim.json") wine "$dir/tools/bench/http_bench.exe" "${1:-30}"
