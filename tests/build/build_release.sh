#!/usr/bin/env bash
# Builds the release configuration's exe, the one users get, for the checks
# of the shipped program: build_release.sh DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$1
"$root/scripts/configure.sh" "$dir" release >/dev/null
cmake --build "$dir" --target parvelle -- -j2
