#!/usr/bin/env bash
# Cross-builds the static libraries the client links (libcurl with Schannel
# and static zlib, cJSON, libqrencode) and GoogleTest from Debian's sources
# into a prefix outside the work tree, libcurl with the fixes in patches/. The
# prefix is keyed on this script, the patches, the toolchain file and the
# package versions, so a second run costs a second.
#
# Prints the prefix path on its last line of stdout.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
toolchain="$root/cmake/toolchain-mingw64-posix.cmake"
cache=${PARVELLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvelle}
mkdir -p "$cache"

src_version() { apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n1; }
versions="curl=$(src_version curl) cjson=$(src_version cjson) qrencode=$(src_version qrencode)"
versions+=" $(dpkg-query -W -f='${Package}=${Version} ' googletest g++-mingw-w64-x86-64-posix libz-mingw-w64-dev)"
key=$( { cat "$0" "$here"/patches/*.patch "$toolchain"; echo "$versions"; } | sha256sum | cut -c1-16)
prefix="$cache/deps-$key"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# Two builds at once (two work trees configuring together) would both empty
# and fill the same prefix: the second waits here and then finds it complete.
exec 9>"$cache/deps.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

echo "build-deps.sh: building into $prefix ($versions)" >&2
work=$(mktemp -d "$cache/deps-build.XXXXXX")
# The libraries name their own sources (assertions, error texts): in the
# shipped exe those names must not depend on this temporary directory, or two
# machines would build different exes from one commit.
export CFLAGS="-ffile-prefix-map=$work=deps" CXXFLAGS="-ffile-prefix-map=$work=deps"
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix"

cmake_lib() { # source-dir build-name extra-args...
  local src=$1 name=$2; shift 2
  cmake -S "$src" -B "$work/build-$name" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >"$work/$name-configure.log" 2>&1 ||
    { cat "$work/$name-configure.log" >&2; exit 1; }
  cmake --build "$work/build-$name" >"$work/$name-build.log" 2>&1 ||
    { tail -n 60 "$work/$name-build.log" >&2; exit 1; }
  cmake --install "$work/build-$name" >/dev/null
}

cd "$work"
# One package per call: a single missing file makes apt-get source unpack
# nothing. A failed download stops the build, with apt-get's words, unless
# every file the build below uses has arrived (Debian's patch tarball of
# qrencode may be missing from the archive; its upstream tarball is enough).
fetch_source() { # package file-patterns...
  local pkg=$1 pattern; shift
  mkdir -p "dl-$pkg"
  if (cd "dl-$pkg" && apt-get source --download-only -qq "$pkg") >"dl-$pkg.log" 2>&1; then
    return 0
  fi
  for pattern in "$@"; do
    if ! compgen -G "dl-$pkg/$pattern" >/dev/null; then
      echo "build-deps.sh: apt-get source $pkg failed (is a deb-src entry configured and" \
        "apt-get update run? scripts/install-packages.sh does both):" >&2
      cat "dl-$pkg.log" >&2
      exit 1
    fi
  done
  echo "build-deps.sh: apt-get source $pkg failed, but $* arrived" >&2
}
fetch_source cjson 'cjson_*.dsc' 'cjson_*.orig.tar.*'
fetch_source qrencode 'qrencode_*.orig.tar.*'
fetch_source curl 'curl_*.dsc' 'curl_*.orig.tar.*'

# cJSON
dpkg-source -x dl-cjson/cjson_*.dsc src-cjson >/dev/null
cmake_lib src-cjson cjson -DENABLE_CJSON_TEST=OFF -DENABLE_CUSTOM_COMPILER_FLAGS=OFF \
  -DENABLE_PUBLIC_SYMBOLS=OFF -DENABLE_HIDDEN_SYMBOLS=ON -DENABLE_CJSON_UTILS=OFF

# libqrencode: the Debian tarball of patches may be missing from the archive;
# the upstream tarball is enough.
mkdir src-qrencode
tar -xf dl-qrencode/qrencode_*.orig.tar.* -C src-qrencode --strip-components=1
cmake_lib src-qrencode qrencode -DWITH_TOOLS=OFF -DWITH_TESTS=OFF -DWITHOUT_PNG=ON

# libcurl with Schannel TLS and static zlib
dpkg-source -x dl-curl/curl_*.dsc src-curl >/dev/null
for fix in "$here"/patches/curl-*.patch; do
  patch -d src-curl -p1 --forward --quiet <"$fix" ||
    { echo "build-deps.sh: $(basename "$fix") does not apply to this curl" >&2; exit 1; }
done
cmake_lib src-curl curl -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DBUILD_CURL_EXE=OFF \
  -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
  -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
  -DCURL_ZLIB=ON -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include

# GoogleTest from Debian's googletest source
cmake_lib /usr/src/googletest googletest -Dgtest_disable_pthreads=OFF

touch "$prefix/.complete"
# Keep only the newest few prefixes.
ls -1dt "$cache"/deps-*/ 2>/dev/null | grep -v deps-build | tail -n +4 | xargs -r rm -rf
echo "$prefix"
