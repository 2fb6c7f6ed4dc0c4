#!/usr/bin/env python3
"""Prints the simulator's answer times: python3 tools/store_sim/bench.py [ROUNDS]

Starts its own simulator in a temporary state directory, then times requests
on one kept-alive connection and on fresh connections (TLS handshake included).
"""

import http.client
import os
import re
import shutil
import ssl
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(len(values) * p))]


def report(label, seconds):
    ms = [s * 1000 for s in seconds]
    print("%-38s median %6.2f ms  p95 %6.2f ms  max %6.2f ms  (n=%d)" % (
        label, statistics.median(ms), percentile(ms, 0.95), max(ms), len(ms)))


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 300
    state = tempfile.mkdtemp(prefix="store-sim-bench-")
    proc = subprocess.Popen([sys.executable, os.path.join(HERE, "server.py"), "--port", "0", "--state-dir", state],
                            stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
    try:
        port = int(re.search(r"(\d+)$", proc.stdout.readline().decode().strip()).group(1))
        context = ssl.create_default_context(cafile=os.path.join(state, "ca.pem"))
        conn = http.client.HTTPSConnection("localhost", port, context=context)

        def get(c, target):
            started = time.perf_counter()
            c.request("GET", target)
            c.getresponse().read()
            return time.perf_counter() - started

        get(conn, "/api/ps/getGroupConfig?type=1")
        mac = "02:00:00:00:00:01"
        for i in range(30):
            get(conn, "/api/ps/createOrder?mac=%s&type=1&channel=m&pay_type=1&package_id=103&mobile=1" % mac)
        targets = [
            ("getGroupConfig (kept alive)", "/api/ps/getGroupConfig?type=1"),
            ("getProductList (kept alive)", "/api/ps/getProductList?mac=%s&type=1&channel=m" % mac),
            ("orderList, 30 orders (kept alive)", "/api/ps/orderList?mac=%s&page=1&pageSize=12" % mac),
            ("createOrder (kept alive)",
             "/api/ps/createOrder?mac=02:00:00:00:00:02&type=1&channel=m&pay_type=1&package_id=103&mobile=1"),
            ("package picture 408x576 (kept alive)", "/pictures/pkg_103.png"),
        ]
        for label, target in targets:
            report(label, [get(conn, target) for _ in range(rounds)])
        conn.close()
        fresh = []
        for _ in range(max(20, rounds // 10)):
            c = http.client.HTTPSConnection("localhost", port, context=context)
            fresh.append(get(c, "/api/ps/getGroupConfig?type=1"))
            c.close()
        report("getGroupConfig (new connection + TLS)", fresh)
    finally:
        proc.terminate()
        proc.wait()
        shutil.rmtree(state, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
