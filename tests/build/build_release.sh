#!/usr/bin/env bash
# Builds the release package, the one users get, for the checks of the
# shipped program: build_release.sh DIR (the exe lands in DIR/app, the zip in
# DIR/dist).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=$1
"$root/scripts/package.sh" --build-dir "$dir" --out "$dir/dist"
