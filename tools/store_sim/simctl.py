#!/usr/bin/env python3
"""Starts and stops a background store simulator for a test run.

  simctl.py start --state-dir DIR [--auto-pay S] [--conn-latency-ms MS] [--catalogue FILE]
                  [--fresh]
  simctl.py stop  --state-dir DIR

`start` launches server.py detached (log in DIR/server.log), waits until it
listens and writes DIR/sim.json with its port, URL, CA file and pid. A
simulator already running from DIR is stopped first. `stop` ends it; it
succeeds when nothing is running.
"""

import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "server.py")
START_TIMEOUT = 60.0
STOP_TIMEOUT = 10.0


def info_path(state_dir):
    return os.path.join(state_dir, "sim.json")


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def _is_our_server(pid, state_dir):
    """True when pid is a live server.py serving state_dir (guards against reused pids)."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            args = f.read().split(b"\0")
    except OSError:
        return False
    args = [a.decode(errors="replace") for a in args]
    if not any(a.endswith("server.py") for a in args):
        return False
    for i, a in enumerate(args[:-1]):
        if a == "--state-dir" and os.path.abspath(args[i + 1]) == state_dir:
            return True
    return False


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


def _reap(pid):
    try:
        os.waitpid(pid, os.WNOHANG)
    except ChildProcessError:
        pass


def stop(state_dir):
    path = info_path(state_dir)
    try:
        with open(path) as f:
            pid = int(json.load(f).get("pid", 0))
    except (OSError, ValueError, TypeError, AttributeError):
        pid = 0
    if pid > 0 and _is_our_server(pid, state_dir):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + STOP_TIMEOUT
        while _alive(pid) and time.monotonic() < deadline:
            _reap(pid)
            time.sleep(0.05)
        if _alive(pid) and _is_our_server(pid, state_dir):
            os.kill(pid, signal.SIGKILL)
            _reap(pid)
    try:
        os.remove(path)
    except FileNotFoundError:
        pass
    return 0


def start(state_dir, extra_args, fresh):
    os.makedirs(state_dir, exist_ok=True)
    stop(state_dir)
    if fresh:
        for name in ("orders.sqlite3", "orders.sqlite3-wal", "orders.sqlite3-shm"):
            try:
                os.remove(os.path.join(state_dir, name))
            except FileNotFoundError:
                pass
    log_path = os.path.join(state_dir, "server.log")
    with open(log_path, "wb") as log:
        # Detached: own session, no inherited pipes, so a caller waiting on our output is not held.
        proc = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--state-dir", state_dir] + extra_args,
                                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                start_new_session=True, close_fds=True)
    deadline = time.monotonic() + START_TIMEOUT
    port = None
    while time.monotonic() < deadline:
        with open(log_path, "rb") as f:
            match = re.search(rb"^listening https://localhost:([0-9]+)$", f.read(), re.M)
        if match:
            port = int(match.group(1))
            break
        if proc.poll() is not None:
            break
        time.sleep(0.05)
    if port is None:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        with open(log_path, errors="replace") as f:
            sys.stderr.write("store simulator did not start:\n" + f.read())
        return 1
    ca_file = os.path.join(state_dir, "ca.pem")
    info = {"port": port, "url": "https://localhost:%d" % port, "ca_file": ca_file,
            "ca_file_win": wine_path(ca_file), "pid": proc.pid, "state_dir": state_dir}
    tmp = info_path(state_dir) + ".tmp"
    with open(tmp, "w") as f:
        json.dump(info, f, indent=1)
    os.replace(tmp, info_path(state_dir))
    print(info["url"], flush=True)
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description="Start or stop a background store simulator")
    parser.add_argument("command", choices=("start", "stop"))
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--auto-pay", type=float)
    parser.add_argument("--conn-latency-ms", type=int)
    parser.add_argument("--catalogue", help="the stores to serve instead of catalogue.json")
    parser.add_argument("--fresh", action="store_true", help="start with no orders")
    args = parser.parse_args(argv)
    state_dir = os.path.abspath(args.state_dir)
    if args.command == "stop":
        return stop(state_dir)
    extra = []
    if args.auto_pay is not None:
        extra += ["--auto-pay", repr(args.auto_pay)]
    if args.conn_latency_ms is not None:
        extra += ["--conn-latency-ms", str(args.conn_latency_ms)]
    if args.catalogue:
        extra += ["--catalogue", os.path.abspath(args.catalogue)]
    return start(state_dir, extra, args.fresh)


if __name__ == "__main__":
    sys.exit(main())
