#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine (as root):
#   scripts/test.sh [--build-dir DIR] [ctest arguments...]
# Installs the packages, cross-builds the libraries (cached), prepares the
# Wine prefix (cached), builds the debug configuration and runs every test
# under Wine with a persistent wineserver and an Xvfb display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

dir=$root/build/debug
if [ "${1:-}" = "--build-dir" ]; then
  dir=$(realpath -m "$2")
  shift 2
fi

t0=$(date +%s)
if [ "$(id -u)" -eq 0 ]; then
  "$here/install-packages.sh"
fi
"$here/configure.sh" "$dir" debug >/dev/null
WINEPREFIX=$("$here/wine-prefix.sh" | tail -n1)
export WINEPREFIX WINEDEBUG=-all
t1=$(date +%s)

cmake --build "$dir" -- -j2
t2=$(date +%s)

# The display comes first: the warm-up below starts Wine's desktop process,
# which keeps the DISPLAY it started with; without one, no test can create a
# window.
# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT

# A persistent wineserver makes each test start in ~0.1 s instead of ~3 s.
wineserver -p30 >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

cd "$dir"
status=0
ctest --output-on-failure -j2 "$@" || status=$?
t3=$(date +%s)
echo "test.sh: setup $((t1 - t0)) s, build $((t2 - t1)) s, tests $((t3 - t2)) s"
exit $status
