#!/usr/bin/env bash
# Figures of the orders against a store simulator of its own: stop latency of
# the payment watch, CreateOrder by part, what 1,000 orders leave behind, CPU
# of a waiting watch.
#   tools/bench/order_bench.sh [--build-dir DIR] [--runs N] [--idle-seconds S] [--orders N]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$root/build/debug
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(realpath -m "$2"); shift 2 ;;
    --runs|--idle-seconds|--orders) args+=("$1" "$2"); shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

. "$here/bench_common.sh"
bench_prepare order_bench
bench_state order-bench
bench_start_sim
wine "$dir/tools/bench/order_bench.exe" --sim-info "$(winpath "$state/sim.json")" "${args[@]}"
