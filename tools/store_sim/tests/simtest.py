"""Shared helpers of the simulator tests: a simulator process and an HTTPS client."""

import http.client
import json
import os
import re
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse

SIM_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(SIM_DIR), "support"))
from harness import wait_until  # noqa: E402,F401  (the tests take it from here)
SERVER = os.path.join(SIM_DIR, "server.py")
SIMCTL = os.path.join(SIM_DIR, "simctl.py")
PYTHON = sys.executable


class Simulator:
    """One server.py process on a port of its choosing."""

    def __init__(self, state_dir=None, args=()):
        self.own_dir = state_dir is None
        self.state_dir = state_dir or tempfile.mkdtemp(prefix="store-sim-test-")
        self.args = list(args)
        self.proc = None
        self.port = None

    def start(self):
        self.proc = subprocess.Popen([PYTHON, SERVER, "--port", "0", "--state-dir", self.state_dir] + self.args,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        line = self.proc.stdout.readline().decode()
        match = re.match(r"listening https://localhost:(\d+)$", line.strip())
        if not match:
            self.proc.kill()
            raise RuntimeError("simulator did not start: %r %r" % (line, self.proc.stdout.read()))
        self.port = int(match.group(1))
        # Drain the output so a chatty server never blocks on a full pipe; keep it for checks.
        self.output = []
        self._drain = threading.Thread(target=self._read_output, args=(self.proc.stdout,), daemon=True)
        self._drain.start()
        return self

    def _read_output(self, stream):
        for line in iter(stream.readline, b""):
            self.output.append(line.decode(errors="replace"))

    def tracebacks(self):
        return "".join(self.output) if any("Traceback" in line for line in self.output) else ""

    def stop(self):
        """SIGTERM and wait; returns the exit code."""
        if self.proc is None:
            return None
        self.proc.send_signal(signal.SIGTERM)
        try:
            code = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            code = self.proc.wait()
        self._drain.join(5)
        self.proc.stdout.close()
        self.proc = None
        return code

    def cleanup(self):
        self.stop()
        if self.own_dir:
            shutil.rmtree(self.state_dir, ignore_errors=True)

    @property
    def ca_file(self):
        return os.path.join(self.state_dir, "ca.pem")

    def client(self, timeout=10):
        return Client(self.port, self.ca_file, timeout)


class Reply:
    def __init__(self, status, headers, body):
        self.status = status
        self.headers = headers
        self.body = body

    def json(self):
        return json.loads(self.body.decode("utf-8"))


class Client:
    """Keeps one HTTPS connection open, like the real client's shared handle."""

    def __init__(self, port, ca_file, timeout=10):
        self.port = port
        self.context = ssl.create_default_context(cafile=ca_file)
        self.timeout = timeout
        self.conn = None

    def connect(self):
        self.close()
        self.conn = http.client.HTTPSConnection("localhost", self.port, timeout=self.timeout,
                                                context=self.context)
        return self.conn

    def close(self):
        if self.conn is not None:
            self.conn.close()
            self.conn = None

    def request(self, method, target, body=None, headers=None):
        conn = self.conn or self.connect()
        try:
            conn.request(method, target, body=body, headers=headers or {})
            response = conn.getresponse()
            data = response.read()
        except BaseException:
            self.close()
            raise
        if response.getheader("Connection", "").lower() == "close":
            self.close()
        return Reply(response.status, dict(response.getheaders()), data)

    def get(self, target):
        return self.request("GET", target)

    def api(self, name, **query):
        return self.get("/api/ps/%s?%s" % (name, urllib.parse.urlencode(query))).json()

    def admin(self, action, **params):
        reply = self.get("/admin/%s?%s" % (action, urllib.parse.urlencode(params)))
        return reply.json()


def unique_mac():
    """A machine identity no other test uses, so tests can share one simulator."""
    unique_mac.counter += 1
    value = (os.getpid() * 1000 + unique_mac.counter) & 0xFFFFFFFF
    return "02:5A:%02X:%02X:%02X:%02X" % tuple(value.to_bytes(4, "big"))


unique_mac.counter = 0


def png_size(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")

