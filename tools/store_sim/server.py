#!/usr/bin/env python3
"""Store simulator: a local HTTPS stand-in for the store's web service.

Usage: server.py --port 0 --state-dir DIR [--auto-pay SECONDS] [--conn-latency-ms MS]
Prints "listening https://localhost:PORT" once it accepts connections; SIGTERM stops it.
"""

import argparse
import os
import signal
import ssl
import sys
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from storesim.app import App, Settings  # noqa: E402
from storesim.catalogue import Catalogue  # noqa: E402
from storesim.certs import ensure_certificates  # noqa: E402
from storesim.httpserver import SimServer  # noqa: E402
from storesim.orders import open_store  # noqa: E402


def parse_args(argv):
    parser = argparse.ArgumentParser(description="Local HTTPS store simulator")
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1; 0 picks a free one")
    parser.add_argument("--state-dir", required=True, help="certificates, orders database")
    parser.add_argument("--auto-pay", type=float, default=None, metavar="SECONDS",
                        help="pay every new order automatically after SECONDS (0: off)")
    parser.add_argument("--conn-latency-ms", type=int, default=0, metavar="MS",
                        help="extra delay before each new connection's TLS handshake")
    parser.add_argument("--catalogue", default=os.path.join(HERE, "catalogue.json"))
    parser.add_argument("--pictures", default=os.path.join(HERE, "pictures"))
    parser.add_argument("--verbose", action="store_true", help="print every request to stderr")
    args = parser.parse_args(argv)
    if args.auto_pay is not None and not 0 < args.auto_pay < 1e9:
        args.auto_pay = None  # 0 (the demo's default) and negative values mean off
    if not 0 <= args.port <= 65535 or not 0 <= args.conn_latency_ms <= 60000:
        parser.error("port or latency out of range")
    return args


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    state_dir = os.path.abspath(args.state_dir)
    os.makedirs(state_dir, exist_ok=True)
    ca_file, cert_file, key_file = ensure_certificates(state_dir)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert_file, key_file)

    orders = open_store(state_dir)
    app = App(Catalogue.load(args.catalogue), orders, args.pictures,
              Settings(args.auto_pay, args.conn_latency_ms))
    server = SimServer(args.port, context, app, args.verbose)

    def stop(signum, frame):
        server.stopping = True
        # shutdown() waits for serve_forever, so it cannot run on this (the serving) thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print("listening https://localhost:%d" % server.port, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        orders.close()
    print("stopped", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
