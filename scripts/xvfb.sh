# Sourced helpers: start_xvfb [WxH] starts an Xvfb server (1280x1024 unless
# given) on a free display and exports DISPLAY; stop_xvfb stops it.
start_xvfb() {
  local fifo size=${1:-1280x1024}
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
  XVFB_PID=$!
  local n
  read -r n <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$n" XVFB_PID
}
stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
