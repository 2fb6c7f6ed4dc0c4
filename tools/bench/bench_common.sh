# Sourced by the shell benchmarks (startup_bench.sh, order_bench.sh), after
# they set `root` (the source tree) and `dir` (the build directory).

# bench_prepare TARGET: configures `dir` as a debug build with tests when it
# is not yet, builds TARGET, and exports the benchmarks' own Wine prefix (or
# PARVELLE_WINEPREFIX), its server kept a while between programs: a benchmark
# started while the tests run must not share their Wine session.
bench_prepare() {
  [ -f "$dir/build.ninja" ] || "$root/scripts/configure.sh" "$dir" debug >/dev/null
  ninja -C "$dir" -j2 "$1" >/dev/null
  WINEPREFIX=$(PARVELLE_WINEPREFIX=${PARVELLE_WINEPREFIX:-${PARVELLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvelle}/wineprefix-bench} \
    "$root/scripts/wine-prefix.sh" | tail -n1)
  export WINEPREFIX WINEDEBUG=-all
  wineserver -p30 >/dev/null 2>&1 </dev/null || true
}

# bench_state NAME: a new state directory `state` (/tmp/NAME.XXXXXX) for the
# simulator, removed (the simulator stopped) when the script exits.
bench_state() {
  state=$(mktemp -d "/tmp/$1.XXXXXX")
  trap bench_stop_sim EXIT
}

# bench_start_sim [SIMCTL ARGS...]: a store simulator on `state`.
bench_start_sim() {
  python3 "$root/tools/store_sim/simctl.py" start --state-dir "$state" "$@" >/dev/null
}

bench_stop_sim() {
  python3 "$root/tools/store_sim/simctl.py" stop --state-dir "$state" >/dev/null 2>&1 || true
  rm -rf "$state"
}

# winpath PATH: PATH as a Windows program under Wine names it.
winpath() { echo "Z:${1//\//\\}"; }
