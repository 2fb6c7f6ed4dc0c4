"""HTTPS transport: TLS per connection, keep-alive, request log and fault delivery."""

import email.utils
import http.server
import itertools
import re
import select
import socket
import socketserver
import ssl
import sys
import threading
import time
import traceback

from .api import ERR_INTERNAL, failure
from .app import Request, Response

# Admin faults carry exact answer bodies (base64) past the client's 1 MiB buffer.
MAX_REQUEST_BODY = 32 << 20
_HOP_TARGET = re.compile(r"/_hop/(?:[0-9]{1,3}|loop)(/.*)\Z", re.S)
_TLS_ALERT = bytes([21, 3, 3, 0, 2, 2, 40])  # fatal handshake_failure


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ParvelleStoreSim/1.0"
    sys_version = ""
    timeout = 60  # idle keep-alive connections are closed after this

    def __init__(self, request, client_address, server, conn_id):
        self.conn_id = conn_id
        super().__init__(request, client_address, server)

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("[conn %d] %s\n" % (self.conn_id, fmt % args))

    def do_GET(self):
        self._serve()

    do_POST = do_PUT = do_DELETE = do_HEAD = do_GET

    # ---- request ----------------------------------------------------------

    def _read_body(self):
        if self.headers.get("Transfer-Encoding"):
            self._send(Response(411, "text/plain; charset=utf-8", b"chunked bodies are not supported"), close=True)
            return None
        try:
            length = int(self.headers.get("Content-Length") or 0)
        except ValueError:
            length = -1
        if length < 0 or length > MAX_REQUEST_BODY:
            self._send(Response(413, "text/plain; charset=utf-8", b"bad request body length"), close=True)
            return None
        return self.rfile.read(length) if length else b""

    def _serve(self):
        try:
            self._serve_one()
        except OSError:
            self.close_connection = True
        except Exception:
            # Whatever went wrong, the client gets an answer and the traceback stays here.
            traceback.print_exc(file=sys.stderr)
            self._send(Response(500, "application/json; charset=utf-8",
                                failure(ERR_INTERNAL, "服务器内部错误")), close=True)

    def _serve_one(self):
        body = self._read_body()
        if body is None:
            return
        app = self.server.app
        request = Request(self.command, self.path, self.headers, body, self.conn_id, self.server.port)
        if request.path == "/admin" or request.path.startswith("/admin/"):
            self._send(app.admin(request))
            return
        name, hops = app.classify(request)
        fault = app.faults.take(name, request.query_text or "") if hops is None else None
        entry = app.log.add(request.method, request.url, request.path, request.query_text, name, self.conn_id)
        if hops is not None:
            if hops < 0:
                status = self._send(self._redirect(request, -1, _HOP_TARGET.match(request.target).group(1), 302))
            elif hops > 0:
                original = _HOP_TARGET.match(request.target).group(1)
                status = self._send(self._redirect(request, hops - 1, original, 302))
            else:
                status = self._send(app.answer(request, _HOP_TARGET.match(request.path).group(1)))
        else:
            status = self._deliver(request, fault)
        app.log.set_status(entry, status)

    # ---- answers and faults -----------------------------------------------

    @staticmethod
    def _redirect(request, hops_left, target, status):
        hop = "loop" if hops_left < 0 else str(hops_left)
        location = "%s/_hop/%s%s" % (request.base, hop, target)
        return Response(status, "text/plain; charset=utf-8", b"moved", [("Location", location)])

    def _deliver(self, request, fault):
        """Sends the answer as the fault says; returns the HTTP status sent, or None."""
        app = self.server.app
        kind = fault["kind"] if fault else None
        if kind is None:
            return self._send(app.answer(request))
        if kind == "delay":
            time.sleep(fault["ms"] / 1000.0)
            return self._send(app.answer(request))
        if kind == "hang":
            self._hang(fault["max_ms"] / 1000.0, fault["generation"])
            return None
        if kind == "drop":
            self.close_connection = True
            return None
        if kind in ("status", "not_json"):
            return self._send(Response(fault["status"], fault["content_type"], fault["body"].encode("utf-8")))
        if kind == "body":
            time.sleep(fault["ms"] / 1000.0)
            return self._send(Response(fault["status"], fault["content_type"], fault["raw"]))
        if kind == "redirect":
            if fault["location"]:
                return self._send(Response(fault["status"], "text/plain; charset=utf-8", b"moved",
                                           [("Location", fault["location"])]))
            # hops 0: a loop that never ends.
            return self._send(self._redirect(request, fault["hops"] - 1, request.target, fault["status"]))
        if kind == "drip":
            answer = app.answer(request) if "raw" not in fault else \
                Response(fault["status"], fault["content_type"], fault["raw"])
            self._drip(answer, fault["interval_ms"] / 1000.0, fault["generation"])
            return answer.status
        answer = app.answer(request)
        if kind == "stream":
            self._stream(answer, fault["total"], fault["length"], fault["generation"])
            return answer.status
        if kind == "oversized":
            answer.body = _pad(answer.body, fault["bytes"])
            return self._send(answer)
        if kind == "truncated":
            body = answer.body
            sent = len(body) // 2 if fault["send"] < 0 else min(fault["send"], len(body))
            declared = max(len(body), sent + 1) if fault["length"] < 0 else max(fault["length"], sent + 1)
            self._write(answer, body[:sent], declared, close=True)
            self.close_connection = True
            return answer.status
        return self._send(answer)

    def _hang(self, max_seconds, generation):
        """Holds the request until the client closes, the faults are cleared, or time runs out."""
        faults = self.server.app.faults
        deadline = time.monotonic() + max_seconds
        while time.monotonic() < deadline and faults.generation() == generation and not self.server.stopping:
            try:
                readable, _, _ = select.select([self.connection], [], [], 0.05)
            except (OSError, ValueError):
                break
            if readable:
                break
        self.close_connection = True

    def _drip(self, response, interval, generation):
        """Headers at once, then the body a byte at a time, until done, the client leaves or a clear."""
        faults = self.server.app.faults
        self._write(response, b"", len(response.body), close=True)
        self.close_connection = True
        for i in range(len(response.body)):
            if faults.generation() != generation or self.server.stopping:
                return
            try:
                readable, _, _ = select.select([self.connection], [], [], interval)
                if readable:
                    return  # the client closed (or sent more than we wait for)
                self.wfile.write(response.body[i:i + 1])
                self.wfile.flush()
            except (OSError, ValueError):
                return

    def _stream(self, response, total, declared, generation):
        """The real answer, then zero bytes up to `total`: in chunks (no
        Content-Length) unless `declared` gives a length; stops when the
        client leaves or a clear."""
        faults = self.server.app.faults
        chunked = declared < 0
        if chunked:
            response.headers = list(response.headers) + [("Transfer-Encoding", "chunked")]
        self._write(response, b"", None if chunked else declared, close=True)
        self.close_connection = True
        filler = b"\0" * 65536
        sent = 0
        while sent < total:
            if faults.generation() != generation or self.server.stopping:
                return
            piece = (response.body if sent == 0 else filler)[:total - sent]
            try:
                readable, _, _ = select.select([self.connection], [], [], 0)
                if readable:
                    return  # the client closed
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
            except (OSError, ValueError):
                return
            sent += len(piece)
        if chunked:
            try:
                self.wfile.write(b"0\r\n\r\n")
            except (OSError, ValueError):
                pass

    # ---- writing ----------------------------------------------------------

    def _send(self, response, close=False):
        if close:
            self.close_connection = True
        self._write(response, response.body, len(response.body), self.close_connection)
        return response.status

    def _write(self, response, body, declared_length, close):
        # Headers and body leave in one write: one TLS record run, no Nagle wait.
        lines = ["HTTP/1.1 %d %s" % (response.status, self.responses.get(response.status, ("",))[0]),
                 "Server: " + self.server_version,
                 "Date: " + email.utils.formatdate(usegmt=True),
                 "Content-Type: " + response.content_type,
                 "Connection: " + ("close" if close else "keep-alive")]
        if declared_length is not None:
            lines.insert(4, "Content-Length: %d" % declared_length)
        lines += ["%s: %s" % header for header in response.headers]
        head = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1", "replace")
        if self.command == "HEAD":
            body = b""
        try:
            self.wfile.write(head + body)
        except OSError:
            self.close_connection = True


def _spoil_handshake(sock, fault, server):
    """What a broken peer does instead of a TLS handshake; the connection ends here."""
    mode = fault["mode"]
    try:
        if mode == "reset":
            # An RST instead of a FIN.
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            return
        sock.settimeout(5)
        sock.recv(16384)  # the client's hello
        if mode == "plain":
            sock.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 11\r\nConnection: close\r\n\r\n"
                         b"plain HTTP\n")
        elif mode == "garbage":
            sock.sendall(bytes((i * 37 + 11) & 0xFF for i in range(4096)))
        elif mode == "alert":
            sock.sendall(_TLS_ALERT)
        elif mode == "stall":
            deadline = time.monotonic() + fault["max_ms"] / 1000.0
            generation = fault["generation"]
            while (time.monotonic() < deadline and server.app.faults.generation() == generation
                   and not server.stopping):
                readable, _, _ = select.select([sock], [], [], 0.05)
                if readable and not sock.recv(16384):
                    break
        # "close": nothing, the connection just ends mid-handshake.
    except (OSError, ValueError):
        pass
    finally:
        try:
            sock.close()
        except OSError:
            pass


def _pad(body, size):
    """The answer grown to `size` bytes; a JSON object gets a leading "padding" member."""
    if body.startswith(b"{"):
        room = size - len(body) - len(b'"padding":"",')
        if room >= 0:
            return b'{"padding":"' + b"x" * room + b'",' + body[1:]
        return body
    return body + b"\0" * max(0, size - len(body))


class SimServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    request_queue_size = 128

    def __init__(self, port, ssl_context, app, verbose=False):
        self.ssl_context = ssl_context
        self.app = app
        self.verbose = verbose
        self.stopping = False
        self._conn_ids = itertools.count(1)
        self._conn_lock = threading.Lock()
        super().__init__(("127.0.0.1", port), Handler)
        self.port = self.server_address[1]

    def server_bind(self):
        # HTTPServer.server_bind looks up the host's FQDN, which can stall; not needed here.
        socketserver.TCPServer.server_bind(self)
        self.server_name = "localhost"
        self.server_port = self.server_address[1]

    def finish_request(self, request, client_address):
        with self._conn_lock:
            conn_id = next(self._conn_ids)
        latency = self.app.settings.conn_latency_ms
        if latency:
            # Before the handshake, as the round trips of a distant server would be.
            time.sleep(latency / 1000.0)
        request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        request.settimeout(15)
        fault = self.app.faults.take("connection")
        if fault is not None:
            self.app.log.add("TLS", "", "", fault["mode"], "connection", conn_id)
            _spoil_handshake(request, fault, self)
            return
        try:
            tls = self.ssl_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        try:
            Handler(tls, client_address, self, conn_id)
        except (ssl.SSLError, OSError):
            pass
        finally:
            try:
                tls.close()
            except OSError:
                pass

    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], OSError):
            super().handle_error(request, client_address)
