#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent: a second run with everything present returns in about a second.
set -euo pipefail

PACKAGES=(
  # cross toolchain (the -posix thread model only: the meta package would
  # switch the unsuffixed compilers to the win32 model)
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev cmake ninja-build dpkg-dev googletest
  # Wine test bed and screen
  wine64 wine fonts-wine fonts-wqy-microhei xvfb xdotool imagemagick zbar-tools xclip
  # store simulator and scripts
  python3 openssl ca-certificates curl git
  # installer and code signing (scripts/package.sh; msi_finish.py runs on
  # Debian's python3 with libmsi's bindings)
  wixl msitools gir1.2-libmsi-1.0 python3-gi osslsigncode
  # signing with a key behind PKCS#11: OpenSSL's pkcs11 engine, which
  # osslsigncode loads; SoftHSM and pkcs11-tool make the tests' token
  libengine-pkcs11-openssl softhsm2 opensc
)

if [ "$(id -u)" -ne 0 ]; then
  echo "install-packages.sh: run as root" >&2
  exit 1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# `apt-get source` for the three cross-built libraries needs a deb-src entry.
SRC_LIST=/etc/apt/sources.list.d/storefront-src.sources
need_update=0
if [ ! -f "$SRC_LIST" ]; then
  cat >"$SRC_LIST" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi
# The entry alone is not enough: its index must have been fetched too (a
# fresh machine, or lists cleaned away as in container images).
if ! compgen -G "/var/lib/apt/lists/*_source_Sources*" >/dev/null; then
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-packages.sh: installing ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
