#!/usr/bin/env python3
"""A small HTTP proxy beside the store simulator, for the client's proxy tests.

  proxy.py start --state-dir DIR   serves in the background, writes DIR/proxy.json
  proxy.py stop  --state-dir DIR
  proxy.py serve --state-dir DIR   (what start runs)

Listens on 127.0.0.3 (a loopback address of its own: Wine's WinHTTP takes a
proxy on 127.0.0.1 for the machine itself), one port per behaviour, all named
in proxy.json:

  tunnel     CONNECT to a loopback host: "200", then bytes both ways
  refuse     CONNECT answered "403 Forbidden"
  negotiate  CONNECT answered "407" offering Negotiate and NTLM, on a kept
             connection, again and again (no logon is ever accepted)
  basic      CONNECT answered "407" offering Basic only
  mitm       CONNECT "200", then TLS with a certificate of the proxy's own CA
             for localhost (DIR/ca.pem), as an intercepting proxy does
  down       a port nobody listens on

Every port also serves proxy configuration scripts to plain GETs:
/pac?via=HOST:PORT&for=NAME answers a script that sends NAME through
HOST:PORT and everything else DIRECT.

Each CONNECT (and each request read inside a mitm tunnel) is one JSON line
in DIR/proxy-log.jsonl: {"mode", "target", "auth" (the scheme of a
Proxy-Authorization header, never its value), "status", "path" (mitm only)}.
Standard library only.
"""

import json
import os
import select
import socket
import ssl
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))

import detached_server  # noqa: E402
from storesim.certs import ensure_certificates  # noqa: E402

LISTEN_HOST = "127.0.0.3"
MODES = ("tunnel", "refuse", "negotiate", "basic", "mitm")
LOOPBACK_TARGETS = ("localhost", "127.0.0.1")


class Log:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        open(path, "a").close()  # there from the start, empty

    def write(self, **entry):
        with self.lock, open(self.path, "a") as f:
            f.write(json.dumps(entry) + "\n")


def read_head(sock, limit=16384):
    """The request line and headers (lower-case names), or None at end of
    stream or on a head too large."""
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(4096)
        if not chunk or len(data) > limit:
            return None
        data += chunk
    lines = data.split(b"\r\n\r\n", 1)[0].decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    parts = lines[0].split()
    return (parts + ["", "", ""])[:3], headers


def answer(sock, status, reason, headers=(), body=b"", close=True):
    lines = ["HTTP/1.1 %d %s" % (status, reason), "Content-Length: %d" % len(body)]
    lines += ["%s: %s" % h for h in headers]
    if close:
        lines.append("Connection: close")
    sock.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)


def pac_script(query):
    q = urllib.parse.parse_qs(query)
    via = q.get("via", [""])[0]
    name = q.get("for", [""])[0]
    return ('function FindProxyForURL(url, host) {\n'
            '  if (host == "%s") return "PROXY %s";\n'
            '  return "DIRECT";\n}\n' % (name.replace('"', ""), via.replace('"', ""))).encode()


def relay(a, b):
    """Bytes both ways until either side closes."""
    socks = [a, b]
    while True:
        readable, _, _ = select.select(socks, [], [], 60)
        if not readable:
            return
        for s in readable:
            data = s.recv(65536)
            if not data:
                return
            (b if s is a else a).sendall(data)


class Proxy:
    def __init__(self, state_dir):
        self.log = Log(os.path.join(state_dir, "proxy-log.jsonl"))
        ca, cert, key = ensure_certificates(state_dir)
        self.mitm_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.mitm_context.load_cert_chain(cert, key)
        self.ca_file = ca

    def serve(self, listener, mode):
        while True:
            conn, _ = listener.accept()
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            threading.Thread(target=self.handle, args=(conn, mode), daemon=True).start()

    def handle(self, conn, mode):
        try:
            conn.settimeout(30)
            while self.one_request(conn, mode):
                pass
        except (OSError, ssl.SSLError):
            pass
        finally:
            conn.close()

    def one_request(self, conn, mode):
        """Answers one request; True when the connection stays for another."""
        head = read_head(conn)
        if head is None:
            return False
        (method, target, _), headers = head
        if method == "GET" and target.startswith("/pac"):
            answer(conn, 200, "OK", [("Content-Type", "application/x-ns-proxy-autoconfig")],
                   pac_script(urllib.parse.urlsplit(target).query))
            return False
        auth = headers.get("proxy-authorization", "").split(" ")[0] or None
        if method != "CONNECT":
            self.log.write(mode=mode, target=target, auth=auth, status=405)
            answer(conn, 405, "Method Not Allowed")
            return False
        if mode == "refuse":
            self.log.write(mode=mode, target=target, auth=auth, status=403)
            answer(conn, 403, "Forbidden")
            return False
        if mode in ("negotiate", "basic"):
            offers = ([("Proxy-Authenticate", "Negotiate"), ("Proxy-Authenticate", "NTLM")]
                      if mode == "negotiate" else [("Proxy-Authenticate", 'Basic realm="proxy"')])
            self.log.write(mode=mode, target=target, auth=auth, status=407)
            # Kept open, as connection-based logons (NTLM) need.
            answer(conn, 407, "Proxy Authentication Required", offers, close=False)
            return True
        host, _, port = target.rpartition(":")
        if host not in LOOPBACK_TARGETS or not port.isdigit():
            self.log.write(mode=mode, target=target, auth=auth, status=403)
            answer(conn, 403, "Forbidden")
            return False
        if mode == "mitm":
            self.log.write(mode=mode, target=target, auth=auth, status=200)
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            self.intercept(conn, target)
            return False
        upstream = socket.create_connection(("127.0.0.1", int(port)), timeout=10)
        try:
            upstream.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            self.log.write(mode=mode, target=target, auth=auth, status=200)
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            relay(conn, upstream)
        finally:
            upstream.close()
        return False

    def intercept(self, conn, target):
        tls = self.mitm_context.wrap_socket(conn, server_side=True)
        head = read_head(tls)
        if head is not None:
            (method, path, _), _ = head
            self.log.write(mode="mitm", target=target, auth=None, status=200, path=path)
            answer(tls, 200, "OK", body=b"intercepted")


def listen(port=0):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((LISTEN_HOST, port))
    s.listen(64)
    return s


def serve(d):
    proxy = Proxy(d)
    info = {"host": LISTEN_HOST, "log": proxy.log.path,
            "log_win": "Z:" + proxy.log.path.replace("/", "\\"), "ca_file": proxy.ca_file}
    for mode in MODES:
        listener = listen()
        info[mode] = listener.getsockname()[1]
        threading.Thread(target=proxy.serve, args=(listener, mode), daemon=True).start()
    closed = listen()
    info["down"] = closed.getsockname()[1]
    closed.close()
    detached_server.write_info(d, "proxy.json", info)
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    sys.exit(detached_server.main(__file__, "proxy.json", serve, other_files=("proxy-log.jsonl",)))
