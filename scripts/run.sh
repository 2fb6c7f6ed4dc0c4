#!/usr/bin/env bash
# Runs the storefront against the local store simulator (fresh Debian 12, as root):
#   scripts/run.sh [--store-type N] [--pay-type N] [--auto-pay SECONDS] [--dpi N]
# Builds the release configuration, starts the simulator with its own
# certificate (trusted by the client through server.ini's "ca_file"), writes
# server.ini beside the executable and starts the storefront under Wine: on
# the user's display when there is one, otherwise on an Xvfb display, where a
# screenshot is saved. Stopping the storefront stops the simulator. With
# --dpi N (120 for 125 %, 144 for 150 %, 192 for 200 % ...) it runs in a Wine
# prefix of that display scale, prepared on first use.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

store_type=1
pay_type=1
auto_pay=0
dpi=
while [ $# -gt 0 ]; do
  case "$1" in
    --store-type) store_type=$2; shift 2 ;;
    --pay-type) pay_type=$2; shift 2 ;;
    --auto-pay) auto_pay=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

if [ "$(id -u)" -eq 0 ]; then
  "$here/install-packages.sh"
fi
dir=$("$here/configure.sh" "$root/build/release" release | tail -n1)
cmake --build "$dir" --target parvelle -- -j2
WINEPREFIX=$("$here/wine-prefix.sh" ${dpi:+--dpi "$dpi"} | tail -n1)
export WINEPREFIX WINEDEBUG=-all

cache=${PARVELLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvelle}
sim_dir="$cache/demo-store"
mkdir -p "$sim_dir"
python3 "$root/tools/store_sim/simctl.py" start --state-dir "$sim_dir" --auto-pay "$auto_pay" >/dev/null
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["port"])' "$sim_dir/sim.json")
ca_win=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["ca_file_win"])' "$sim_dir/sim.json")

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  python3 "$root/tools/store_sim/simctl.py" stop --state-dir "$sim_dir" >/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then stop_xvfb; fi
}
trap cleanup EXIT INT TERM

app_dir="$dir/app"
# UTF-16 with a byte-order mark: the program reads the title as wide text,
# and an 8-bit file would be taken in the ANSI code page.
{
  printf '\xff\xfe'
  printf '[server]\r\ndomain=localhost:%s\r\ntype=%s\r\ntitle=Parvelle 商店\r\npay_type=%s\r\nca_file=%s\r\n' \
    "$port" "$store_type" "$pay_type" "$ca_win" | iconv -f UTF-8 -t UTF-16LE
} >"$app_dir/server.ini"
echo "run.sh: store simulator at https://localhost:$port (admin: https://localhost:$port/admin/)"

# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"
headless=0
if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  headless=1
  # Room for the window at its scale (800 x 600 logical pixels).
  scale=${dpi:-96}
  start_xvfb "$(( (800 * scale / 96 + 200) > 1280 ? 800 * scale / 96 + 200 : 1280 ))x$(( (600 * scale / 96 + 200) > 1024 ? 600 * scale / 96 + 200 : 1024 ))"
fi

wine "$app_dir/parvelle.exe" &
pids+=($!)
if [ $headless -eq 1 ]; then
  shot="$root/build/run-screenshot.png"
  shown=0
  for _ in $(seq 1 120); do
    sleep 0.5
    if xdotool search --onlyvisible --pid "${pids[0]}" >/dev/null 2>&1; then shown=1; break; fi
    if ! kill -0 "${pids[0]}" 2>/dev/null; then break; fi
  done
  if [ $shown -eq 0 ]; then
    echo "run.sh: the storefront ended without showing its window (start-up failed: no catalogue or no network adapter)" >&2
    exit 1
  fi
  sleep 1.5  # the slide-in and the first paint
  import -window root "PNG24:$shot"
  echo "run.sh: no display; the storefront runs on Xvfb $DISPLAY. Screenshot: $shot"
  echo "run.sh: press Ctrl-C to stop."
fi
wait "${pids[0]}" || true
