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
cmake --preset "$preset" -B "$dir" -DPARVELLE_DEPS_PREFIX="$PARVELLE_DEPS_PREFIX" >/dev/null
echo "$dir"
