#!/usr/bin/env python3
"""A second HTTPS server for the transport tests, with a CA of its own.

  tls_peer.py start --state-dir DIR   certificates, server in the background, DIR/peer.json
  tls_peer.py stop  --state-dir DIR
  tls_peer.py serve --state-dir DIR   (what start runs)

Two ports share one handler: "localhost_port" presents a certificate for
localhost, "other_host_port" one for store.other.example; both are issued by
this server's own CA ("ca_file_win"). Paths: /echo answers with the request's
header lines; /redirect/N redirects N times (absolute Location) and then echoes;
/to-http redirects to plain http.
"""

import http.server
import os
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "support"))
import detached_server  # noqa: E402


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def openssl(args, cwd):
    subprocess.run(["openssl"] + args, cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)


def make_certificates(d):
    if os.path.exists(os.path.join(d, "other.pem")):
        return
    openssl(["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "3650",
             "-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=Parvelle Test Other CA",
             "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign"], d)
    for name, host in (("local", "localhost"), ("other", "store.other.example")):
        with open(os.path.join(d, name + ".ext"), "w") as f:
            f.write("basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature,"
                    "keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=DNS:%s\n" % host)
        openssl(["req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-keyout", name + ".key",
                 "-out", name + ".csr", "-subj", "/CN=" + host], d)
        openssl(["x509", "-req", "-in", name + ".csr", "-sha256", "-days", "825", "-CA", "ca.pem",
                 "-CAkey", "ca.key", "-set_serial", str(int.from_bytes(os.urandom(8), "big")),
                 "-extfile", name + ".ext", "-out", name + ".pem"], d)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        parts = [p for p in self.path.split("?")[0].split("/") if p]
        if len(parts) == 2 and parts[0] == "redirect" and parts[1].isdigit() and int(parts[1]) > 0:
            location = "https://localhost:%d/redirect/%d" % (self.server.server_address[1],
                                                              int(parts[1]) - 1)
            self.answer(302, b"moved", [("Location", location)])
            return
        if parts == ["to-http"]:
            location = "http://localhost:%d/echo" % self.server.server_address[1]
            self.answer(302, b"moved", [("Location", location)])
            return
        text = "%s %s\r\n%s" % (self.command, self.path, str(self.headers))
        self.answer(200, text.encode("latin-1", "replace"))

    def answer(self, status, body, headers=()):
        lines = ["HTTP/1.1 %d X" % status, "Content-Type: text/plain",
                 "Content-Length: %d" % len(body)] + ["%s: %s" % h for h in headers]
        self.wfile.write(("\r\n".join(lines) + "\r\n\r\n").encode() + body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def __init__(self, context):
        self.context = context
        super().__init__(("127.0.0.1", 0), Handler)

    def server_bind(self):
        socketserver.TCPServer.server_bind(self)

    def finish_request(self, request, client_address):
        request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request.settimeout(15)
        try:
            tls = self.context.wrap_socket(request, server_side=True)
            Handler(tls, client_address, self)
        except (ssl.SSLError, OSError):
            pass


def serve(d):
    servers = []
    for name in ("local", "other"):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(d, name + ".pem"), os.path.join(d, name + ".key"))
        servers.append(Server(context))
    for s in servers:
        threading.Thread(target=s.serve_forever, daemon=True).start()
    detached_server.write_info(d, "peer.json", {
        "localhost_port": servers[0].server_address[1],
        "other_host_port": servers[1].server_address[1],
        "ca_file_win": wine_path(os.path.join(d, "ca.pem"))})
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    sys.exit(detached_server.main(__file__, "peer.json", serve, prepare=make_certificates))
