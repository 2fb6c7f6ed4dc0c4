"""The command line of a test server that runs detached for a whole test run
(the transport tests' TLS peer, the simulator's test proxy):

    SCRIPT start --state-dir DIR   serves in the background, DIR/INFO once it listens
    SCRIPT stop  --state-dir DIR
    SCRIPT serve --state-dir DIR   (what start runs)

The server announces itself by writing its info file (JSON with its "pid")
with write_info; stop ends that pid and removes the info file and the
server's other files named.
"""

import argparse
import json
import os
import signal
import subprocess
import sys
import time


def write_info(state_dir, info_name, info):
    """Writes the info file whole or not at all, then serves until SIGTERM."""
    path = os.path.join(state_dir, info_name)
    with open(path + ".tmp", "w") as f:
        json.dump(dict(info, pid=os.getpid()), f)
    os.replace(path + ".tmp", path)
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(0))


def stop(state_dir, info_name, other_files=()):
    try:
        with open(os.path.join(state_dir, info_name)) as f:
            os.kill(json.load(f)["pid"], signal.SIGTERM)
    except (OSError, ValueError, KeyError):
        pass
    for name in (info_name,) + tuple(other_files):
        try:
            os.remove(os.path.join(state_dir, name))
        except OSError:
            pass


def start(script, state_dir, info_name, other_files=()):
    stop(state_dir, info_name, other_files)
    with open(os.path.join(state_dir, "server.err"), "w") as err:
        subprocess.Popen([sys.executable, os.path.abspath(script), "serve", "--state-dir",
                          state_dir], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=err, start_new_session=True)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if os.path.exists(os.path.join(state_dir, info_name)):
            return 0
        time.sleep(0.05)
    print("%s did not start (see %s/server.err)" % (os.path.basename(script), state_dir),
          file=sys.stderr)
    return 1


def main(script, info_name, serve, prepare=None, other_files=()):
    """Runs the command line; serve(state_dir) serves and never returns,
    prepare(state_dir) runs before a start (certificates, say)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("action", choices=("start", "stop", "serve"))
    parser.add_argument("--state-dir", required=True)
    args = parser.parse_args()
    d = os.path.abspath(args.state_dir)
    os.makedirs(d, exist_ok=True)
    if args.action == "start":
        if prepare:
            prepare(d)
        return start(script, d, info_name, other_files)
    if args.action == "stop":
        stop(d, info_name, other_files)
        return 0
    serve(d)
    return 0
