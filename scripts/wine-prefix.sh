#!/usr/bin/env bash
# Creates (once) the project's Wine prefix and the font replacements that let
# GDI+ find "微软雅黑" / "Microsoft YaHei". Prints the prefix path.
#   scripts/wine-prefix.sh [--dpi N]
# With --dpi N (96, 120, 144, 192 ...) the prefix is a second one beside the
# project's, named <prefix>-N, whose display scale is N dots per inch (Wine
# reads it from HKCU\Control Panel\Desktop\LogPixels).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cache=${PARVELLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvelle}
prefix=${PARVELLE_WINEPREFIX:-$cache/wineprefix}
dpi=
if [ "${1:-}" = "--dpi" ]; then
  dpi=$2
  case "$dpi" in
    ''|*[!0-9]*) echo "wine-prefix.sh: --dpi takes a number" >&2; exit 2 ;;
  esac
  prefix="$prefix-$dpi"
fi
stamp="$prefix/.parvelle-$(sha256sum "$0" | cut -c1-12)"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -f "$stamp" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$prefix"
echo "wine-prefix.sh: preparing $prefix" >&2
wineboot -i >/dev/null 2>&1 || true
wineserver -w

# regedit reads .reg files reliably only as UTF-16LE with a BOM and CRLF
# line ends; a UTF-8 file is silently mangled while regedit still exits 0.
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf '\xff\xfe'
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n\r\n' |
    iconv -f UTF-8 -t UTF-16LE
} >"$reg"
wine regedit /S "Z:$(echo "$reg" | tr / '\\')" >/dev/null 2>&1
wineserver -w

# The import fails silently when anything is off: export the key (regedit
# writes UTF-16LE) and check what landed.
out=$(mktemp --suffix=.reg)
wine regedit /E "Z:$(echo "$out" | tr / '\\')" 'HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements' >/dev/null 2>&1
wineserver -w
query=$(iconv -f UTF-16 -t UTF-8 "$out" 2>/dev/null | tr -d '\r')
rm -f "$out"
if ! grep -q '"Microsoft YaHei"="WenQuanYi Micro Hei"' <<<"$query" ||
   ! grep -q '"微软雅黑"="WenQuanYi Micro Hei"' <<<"$query"; then
  echo "wine-prefix.sh: font replacements did not take effect:" >&2
  echo "$query" >&2
  exit 1
fi
# System texts (message boxes, dialog fonts) are drawn in Tahoma, which has no
# Chinese glyphs: link it to the Chinese font, as Windows links its UI fonts.
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma "Microsoft Sans Serif"; do
  wine reg add "$link" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
out=$(mktemp --suffix=.reg)
wine regedit /E "Z:$(echo "$out" | tr / '\\')" "HKEY_LOCAL_MACHINE${link#HKLM}" >/dev/null 2>&1
wineserver -w
if ! iconv -f UTF-16 -t UTF-8 "$out" 2>/dev/null | grep -q '"Tahoma"=hex(7)'; then
  echo "wine-prefix.sh: the font link for Tahoma did not take effect" >&2
  rm -f "$out"
  exit 1
fi
rm -f "$out"

if [ -n "$dpi" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  if ! grep -qi "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$prefix/user.reg"; then
    echo "wine-prefix.sh: the display scale $dpi did not take effect" >&2
    exit 1
  fi
fi

rm -f "$prefix"/.parvelle-*
touch "$stamp"
echo "$prefix"
