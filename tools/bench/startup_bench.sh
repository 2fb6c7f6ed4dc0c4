#!/usr/bin/env bash
# Times the start-up sequence against its own store simulator with added
# latency per new connection, for 5 and 20 packages, cold and warm picture
# cache, connection sharing on and off, and warm through the user's proxy
# settings (direct, detection on, a manual proxy) against a test proxy:
#   tools/bench/startup_bench.sh [--build-dir DIR] [--latency-ms MS] [--runs N]
# Builds startup_bench in DIR (default build/debug, configured with tests).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$root/build/debug
latency=50
runs=5
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(realpath -m "$2"); shift 2 ;;
    --latency-ms) latency=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

. "$here/bench_common.sh"
bench_prepare startup_bench
bench_state startup-bench

# The shipped catalogue plus store type 3: one product with 20 packages
# (ids 301-320) that reuse the package pictures of store type 1.
python3 - "$root/tools/store_sim/catalogue.json" "$state/catalogue.json" <<'PY'
import copy, json, sys
with open(sys.argv[1], encoding="utf-8") as f:
    catalogue = json.load(f)
store = copy.deepcopy(catalogue["stores"]["1"])
product = store["product"]
template = product["version"]
product.update(id=3, type=3, name="基准测试产品（20个套餐）",
               product_img="{base}/pictures/product_1.png", shop_url="{base}/shop/3")
product["version"] = []
for i in range(20):
    package = copy.deepcopy(template[i % len(template)])
    package.update(id=301 + i, product_id=3, name="套餐 %d" % (i + 1),
                   package_img="{base}/pictures/pkg_%d.png" % (101 + i % len(template)),
                   help_link_url="{base}/help/%d" % (301 + i))
    product["version"].append(package)
store["group_config"]["logo"] = "{base}/pictures/logo_1.png"
catalogue["stores"]["3"] = store
with open(sys.argv[2], "w", encoding="utf-8") as f:
    json.dump(catalogue, f, ensure_ascii=False)
PY

bench_start_sim --conn-latency-ms "$latency" --catalogue "$state/catalogue.json"
# The simulator's test proxy, for start-up through the user's proxy settings.
python3 "$root/tools/store_sim/proxy.py" start --state-dir "$state/proxy"
trap 'python3 "$root/tools/store_sim/proxy.py" stop --state-dir "$state/proxy"; bench_stop_sim' EXIT

wine "$dir/tools/bench/startup_bench.exe" --sim-info "$(winpath "$state/sim.json")" \
  --latency-ms "$latency" --runs "$runs" --types 1,3 \
  --proxy-info "$(winpath "$state/proxy/proxy.json")"
