#!/usr/bin/env bash
# Builds the release exe and the zip users install from:
#   scripts/package.sh [--build-dir DIR] [--out DIR]
# dist/parvelle-<version>.zip holds parvelle.exe, a commented sample
# server.ini (UTF-16) and README.txt (Chinese and English). The same commit
# gives byte-identical exe and zip wherever it is built: the exe carries no
# time stamp or path, and the zip's entries have a fixed order, time and mode.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
dir=$root/build/release
out=$root/dist
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(realpath -m "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

# Configured afresh so that the version resource names this commit.
"$here/configure.sh" "$dir" release >/dev/null
cmake --build "$dir" --target parvelle -- -j2 >/dev/null
version=$(sed -n 's/^#define PARVELLE_VERSION_TEXT "\(.*\)"$/\1/p' "$dir/generated/version.h")
[ -n "$version" ] || { echo "package.sh: no version in $dir/generated/version.h" >&2; exit 1; }

mkdir -p "$out"
zip="$out/parvelle-$version.zip"
python3 - "$dir/app/parvelle.exe" "$root/resources/dist" "$zip" <<'PY'
import sys, zipfile
exe, docs, target = sys.argv[1:]
ini = open(docs + "/server.ini.txt", encoding="utf-8").read().replace("\n", "\r\n")
readme = open(docs + "/README.txt", encoding="utf-8").read().replace("\n", "\r\n")
entries = [
    ("parvelle.exe", open(exe, "rb").read()),
    ("README.txt", b"\xef\xbb\xbf" + readme.encode("utf-8")),
    # The profile API reads Unicode INI files when they start with a BOM.
    ("server.ini", b"\xff\xfe" + ini.encode("utf-16-le")),
]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name, data in entries:
        info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
        info.external_attr = 0o644 << 16
        info.create_system = 0
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, data)
PY
cp "$dir/app/parvelle.exe" "$out/parvelle.exe"
echo "$zip"
