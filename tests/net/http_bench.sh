#!/usr/bin/env bash
# Fresh vs reused TLS connections: starts a private store simulator, runs
# net_http_bench under Wine, stops the simulator.
#   tests/net/http_bench.sh BUILD_DIR [REQUESTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?build directory}")
state=$(mktemp -d /tmp/http-bench-sim.XXXXXX)
trap 'python3 "$root/tools/store_sim/simctl.py" stop --state-dir "$state" >/dev/null; rm -rf "$state"' EXIT
python3 "$root/tools/store_sim/simctl.py" start --state-dir "$state" >/dev/null
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/parvelle/wineprefix} WINEDEBUG=-all
STORE_SIM_INFO="Z:${state//\//\\}\\sim.json" wine "$build/tests/net/net_http_bench.exe" "${2:-30}"
