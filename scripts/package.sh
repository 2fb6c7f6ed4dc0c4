#!/usr/bin/env bash
# Builds the release exe and what users install from:
#   scripts/package.sh [--build-dir DIR] [--out DIR] [--server-ini FILE]
#                      [--version VERSION] [--timestamp URL]
#                      [--sign CERT.pfx | --sign-pkcs11 MODULE --key URI --cert CERT.pem]
# dist/parvelle-<version>.zip holds parvelle.exe, a server.ini (the commented
# sample, UTF-16, unless --server-ini names the vendor's own, taken as it is)
# and README.txt (Chinese and English); dist/parvelle-<version>-x64.msi
# installs the same files (resources/installer/parvelle.wxs). Copied to
# <anything>_<channel>.msi, the installer reports that channel.
#
# --version names the packages and the installer's version instead of the
# build's (the exe keeps its own).
#
# Signing (osslsigncode) signs the exe before it is packaged and then the
# installer, with a key from a PFX file (--sign; its password, if it has one,
# in PARVELLE_SIGN_PASSWORD) or behind PKCS#11 (--sign-pkcs11 names the
# module, --key the key's pkcs11: URI, --cert the certificate in PEM with any
# intermediates; the PIN in PARVELLE_SIGN_PIN). Neither secret is ever put on
# a command line. --timestamp names an RFC 3161 server. Everything is made in
# a staging folder; both signed files must verify against the signing
# certificate before the package replaces what dist/ held. A signing that
# fails leaves no package under those names in dist/ and exits non-zero.
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
pfx=
pkcs11_module=
pkcs11_key=
pkcs11_cert=
timestamp=
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(realpath -m "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --server-ini) server_ini=$(realpath "$2"); shift 2 ;;
    --version) version=$2; shift 2 ;;
    --sign) pfx=$(realpath "$2"); shift 2 ;;
    --sign-pkcs11) pkcs11_module=$2; shift 2 ;;
    --key) pkcs11_key=$2; shift 2 ;;
    --cert) pkcs11_cert=$(realpath "$2"); shift 2 ;;
    --timestamp) timestamp=$2; shift 2 ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
if [ -n "$version" ] && ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "package.sh: --version takes four numbers, as 1.0.0.200" >&2
  exit 2
fi
signing=
if [ -n "$pfx" ] && [ -n "$pkcs11_module" ]; then
  echo "package.sh: --sign and --sign-pkcs11 exclude each other" >&2
  exit 2
elif [ -n "$pfx" ]; then
  signing=pfx
elif [ -n "$pkcs11_module$pkcs11_key$pkcs11_cert" ]; then
  if [ -z "$pkcs11_module" ] || [ -z "$pkcs11_key" ] || [ -z "$pkcs11_cert" ]; then
    echo "package.sh: --sign-pkcs11 MODULE needs --key URI and --cert CERT" >&2
    exit 2
  fi
  signing=pkcs11
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

# The certificates of the signing credential (PEM) and the SHA-256 of the
# signer's own, which the signatures must carry.
signer_certs() {
  if [ "$signing" = pfx ]; then
    local args=(pkcs12 -in "$pfx" -nokeys -passin env:PARVELLE_SIGN_PASSWORD)
    export PARVELLE_SIGN_PASSWORD=${PARVELLE_SIGN_PASSWORD:-}
    # OpenSSL 3 reads older PFX files (RC2, 3DES) only with its legacy provider.
    openssl "${args[@]}" -out "$stage/signer-chain.pem" 2>/dev/null ||
      openssl "${args[@]}" -legacy -out "$stage/signer-chain.pem"
    openssl "${args[@]}" -clcerts -out "$stage/signer.pem" 2>/dev/null ||
      openssl "${args[@]}" -legacy -clcerts -out "$stage/signer.pem"
  else
    cp "$pkcs11_cert" "$stage/signer-chain.pem"
    openssl x509 -in "$pkcs11_cert" -out "$stage/signer.pem"
  fi
  signer_hash=$(openssl x509 -in "$stage/signer.pem" -outform DER | sha256sum | cut -c1-64)
  # Trusted for the check: the credential's own certificates, then the
  # system's roots (for a chain that ends in a public authority).
  cat "$stage/signer-chain.pem" > "$stage/trusted.pem"
  if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
    cat /etc/ssl/certs/ca-certificates.crt >> "$stage/trusted.pem"
  fi
}

# sign IN OUT: the secret goes to osslsigncode on its standard input.
sign() {
  local in=$1 out=$2 args=(sign -h sha256 -n Parvelle) secret
  if [ "$signing" = pfx ]; then
    args+=(-pkcs12 "$pfx")
    secret=${PARVELLE_SIGN_PASSWORD:-}
  else
    args+=(-pkcs11module "$pkcs11_module" -certs "$pkcs11_cert" -key "$pkcs11_key")
    secret=${PARVELLE_SIGN_PIN:-}
  fi
  if [ -n "$timestamp" ]; then
    args+=(-ts "$timestamp")
  fi
  if [ -z "$secret" ]; then
    # A PFX without a password (osslsigncode reads no empty one from a file).
    osslsigncode "${args[@]}" -pass "" -in "$in" -out "$out" >/dev/null
  else
    printf '%s' "$secret" | osslsigncode "${args[@]}" -readpass /dev/stdin -in "$in" -out "$out" >/dev/null
  fi
  osslsigncode verify -CAfile "$stage/trusted.pem" -require-leaf-hash "sha256:$signer_hash" \
    -in "$out" >"$stage/verify.log" 2>&1 || {
    cat "$stage/verify.log" >&2
    echo "package.sh: $(basename "$out") does not verify against the signing certificate" >&2
    return 1
  }
}

mkdir -p "$out"
zip="$out/parvelle-$version.zip"
msi="$out/parvelle-$version-x64.msi"
# A failed signing leaves nothing under the package's names: no older
# unsigned package beside a newer one, nothing unsigned where a signed file
# was asked for.
if [ -n "$signing" ]; then
  trap 'status=$?; rm -rf "$stage"; if [ $status -ne 0 ]; then
          rm -f "$zip" "$msi" "$out/parvelle.exe"
          echo "package.sh: signing failed; removed the package from $out" >&2
        fi' EXIT
  signer_certs
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

python3 - "$stage" "$stage/parvelle.zip" <<'PY'
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
(cd "$stage" && wixl -a x64 -D Version="$msi_version" -D ProductCode="$product_code" \
  -D RecordGuid="$record_guid" -o "$stage/parvelle.msi" parvelle.wxs)
/usr/bin/python3 "$here/msi_finish.py" "$stage/parvelle.msi" "$package_code"
if [ -n "$signing" ]; then
  sign "$stage/parvelle.msi" "$stage/parvelle-signed.msi"
  mv -f "$stage/parvelle-signed.msi" "$stage/parvelle.msi"
fi

# Into place: each file copied beside its final name, then renamed over it.
for pair in "parvelle.exe:$out/parvelle.exe" "parvelle.zip:$zip" "parvelle.msi:$msi"; do
  cp "$stage/${pair%%:*}" "${pair#*:}.part"
  mv -f "${pair#*:}.part" "${pair#*:}"
done
echo "$zip"
echo "$msi"
