#!/usr/bin/env bash
# Configures a build directory: scripts/configure.sh [BUILD_DIR] [PRESET]
# (defaults build/debug and debug). Builds the cross-built libraries first
# when their cache is cold.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
dir=${1:-$root/build/debug}
preset=${2:-debug}
PARVELLE_DEPS_PREFIX=$("$here/build-deps.sh" | tail -n1)
export PARVELLE_DEPS_PREFIX
cd "$root"
# The same prefix scripts/wine-prefix.sh prepares: the tests run in it.
cache=${PARVELLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvelle}
wineprefix=${PARVELLE_WINEPREFIX:-$cache/wineprefix}
cmake --preset "$preset" -B "$dir" -DPARVELLE_DEPS_PREFIX="$PARVELLE_DEPS_PREFIX" \
  -DPARVELLE_WINEPREFIX="$wineprefix" >/dev/null
echo "$dir"
