#!/usr/bin/env bash
# The same commit packaged in a second, differently named build directory
# gives a byte-identical exe, zip and installer:
# check_reproducible.sh FIRST_DIR SECOND_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
first=$1
second=$2
"$root/scripts/package.sh" --build-dir "$second" --out "$second/dist" >/dev/null
status=0
cmp "$first/dist/parvelle.exe" "$second/dist/parvelle.exe" || status=1
for package in "$first"/dist/parvelle-*.zip "$first"/dist/parvelle-*.msi; do
  cmp "$package" "$second/dist/$(basename "$package")" || status=1
done
if [ $status -eq 0 ]; then
  echo "identical: $(cd "$first/dist" && sha256sum parvelle.exe parvelle-*.zip parvelle-*.msi)"
fi
exit $status
