#!/usr/bin/env bash
# Builds the release exe and what users install from:
#   scripts/package.sh [--build-dir DIR] [--out DIR] [--server-ini FILE]
#                      [--version VERSION] [--sign CERT.pfx [--timestamp URL]]
# dist/parvelle-<version>.zip holds parvelle.exe, a server.ini (the commented
# sample, UTF-16, unless --server-ini names the vendor's own, taken as it is)
# and README.txt (Chinese and English); dist/parvelle-<version>-x64.msi
# installs the same files (resources/installer/parvelle.wxs). Copied to
# <anything>_<channel>.msi, the installer reports that channel.
#
# --version names the packages and the installer's version instead of the
# build's (the exe keeps its own). --sign signs the exe before it is packaged
# and then the installer with osslsigncode; the certificate's password comes
# from PARVELLE_SIGN_PASSWORD, --timestamp names an RFC 3161 server.
#
# Unsigned, the same commit gives byte-identical exe, zip and msi wherever it
# is built: the exe carries no time stamp or path, the zip's entries have a
# fixed order, time and mode, and the msi's codes, times and file dates are
# fixed too.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
dir=$root/build/release
out=$root/dist
server_ini=
version=
cert=
timestamp=
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(realpath -m "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --server-ini) server_ini=$(realpath "$2"); shift 2 ;;
    --version) version=$2; shift 2 ;;
    --sign) cert=$(realpath "$2"); shift 2 ;;
    --timestamp) timestamp=$2; shift 2 ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
if [ -n "$version" ] && ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "package.sh: --version takes four numbers, as 1.0.0.200" >&2
  exit 2
fi

# Configured afresh so that the version resource names this commit.
"$here/configure.sh" "$dir" release >/dev/null
cmake --build "$dir" --target parvelle -- -j2 >/dev/null
if [ -z "$version" ]; then
  version=$(sed -n 's/^#define PARVELLE_VERSION_TEXT "\(.*\)"$/\1/p' "$dir/generated/version.h")
fi
[ -n "$version" ] || { echo "package.sh: no version in $dir/generated/version.h" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

sign() {
  local in=$1 out=$2
  local args=(sign -pkcs12 "$cert" -readpass /dev/stdin -h sha256 -n Parvelle)
  if [ -n "$timestamp" ]; then
    args+=(-ts "$timestamp")
  fi
  printf '%s' "${PARVELLE_SIGN_PASSWORD:-}" |
    osslsigncode "${args[@]}" -in "$in" -out "$out" >/dev/null
}

if [ -n "$cert" ]; then
  sign "$dir/app/parvelle.exe" "$stage/parvelle.exe"
else
  cp "$dir/app/parvelle.exe" "$stage/parvelle.exe"
fi
cp "$root/resources/app.ico" "$root/resources/installer/parvelle.wxs" "$stage/"
python3 - "$root/resources/dist" "$stage" "$server_ini" <<'PY'
import sys
docs, stage, vendor_ini = sys.argv[1:]
readme = open(docs + "/README.txt", encoding="utf-8").read().replace("\n", "\r\n")
open(stage + "/README.txt", "wb").write(b"\xef\xbb\xbf" + readme.encode("utf-8"))
if vendor_ini:
    ini = open(vendor_ini, "rb").read()
else:
    # The profile API reads Unicode INI files when they start with a BOM.
    text = open(docs + "/server.ini.txt", encoding="utf-8").read().replace("\n", "\r\n")
    ini = b"\xff\xfe" + text.encode("utf-16-le")
open(stage + "/server.ini", "wb").write(ini)
PY

mkdir -p "$out"
zip="$out/parvelle-$version.zip"
python3 - "$stage" "$zip" <<'PY'
import sys, zipfile
stage, target = sys.argv[1:]
names = ["parvelle.exe", "README.txt", "server.ini"]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
        info.external_attr = 0o644 << 16
        info.create_system = 0
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, open(stage + "/" + name, "rb").read())
PY

# The installer's codes follow from its version (and the package code from
# its contents too), so that rebuilding the same commit gives the same file.
# Windows Installer compares only three version parts, so the build count
# replaces the patch number: 1.0.0.124 installs as 1.0.124.
read -r msi_version product_code record_guid package_code < <(
  python3 - "$version" "$stage" <<'PY'
import hashlib, sys, uuid
version, stage = sys.argv[1:]
major, minor, _, count = version.split(".")
ns = uuid.UUID("4E5835B4-6556-4155-B41E-F216162B1424")  # the installer's UpgradeCode
digest = hashlib.sha256()
for name in ["parvelle.exe", "server.ini", "README.txt", "app.ico", "parvelle.wxs"]:
    digest.update(open(stage + "/" + name, "rb").read())
code = lambda text: "{%s}" % str(uuid.uuid5(ns, text)).upper()
print("%s.%s.%s" % (major, minor, count), code("product " + version), code("record " + version),
      code("package %s %s" % (version, digest.hexdigest())))
PY
)
# The cabinet stores the files' dates.
touch -d @1577836800 "$stage"/*
msi="$out/parvelle-$version-x64.msi"
(cd "$stage" && wixl -a x64 -D Version="$msi_version" -D ProductCode="$product_code" \
  -D RecordGuid="$record_guid" -o "$stage/parvelle.msi" parvelle.wxs)
/usr/bin/python3 "$here/msi_finish.py" "$stage/parvelle.msi" "$package_code"
if [ -n "$cert" ]; then
  sign "$stage/parvelle.msi" "$msi"
else
  cp "$stage/parvelle.msi" "$msi"
fi
cp "$stage/parvelle.exe" "$out/parvelle.exe"
echo "$zip"
echo "$msi"
