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

[ -f "$dir/build.ninja" ] || "$root/scripts/configure.sh" "$dir" debug >/dev/null
ninja -C "$dir" -j2 order_bench >/dev/null
WINEPREFIX=$("$root/scripts/wine-prefix.sh" | tail -n1)
export WINEPREFIX WINEDEBUG=-all
wineserver -p30 >/dev/null 2>&1 </dev/null || true

state=$(mktemp -d /tmp/order-bench.XXXXXX)
cleanup() {
  python3 "$root/tools/store_sim/simctl.py" stop --state-dir "$state" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap cleanup EXIT
python3 "$root/tools/store_sim/simctl.py" start --state-dir "$state" >/dev/null
wine "$dir/tools/bench/order_bench.exe" --sim-info "Z:${state//\//\\}\\sim.json" "${args[@]}"
