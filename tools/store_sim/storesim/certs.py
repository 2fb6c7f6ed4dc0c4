"""Certificates for the simulator: its own CA and a localhost server certificate.

Made once with the openssl command and kept in the state directory, so that a
client given the CA file can verify the server across restarts.
"""

import os
import subprocess
import tempfile

CA_CERT = "ca.pem"
CA_KEY = "ca.key"
SERVER_CERT = "server.pem"
SERVER_KEY = "server.key"

_SERVER_EXTENSIONS = """\
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=DNS:localhost,IP:127.0.0.1
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid,issuer
"""


def _openssl(args, cwd):
    result = subprocess.run(["openssl"] + args, cwd=cwd, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        raise RuntimeError("openssl %s failed: %s" % (args[0], result.stdout.decode(errors="replace")))


def _make_ca(work):
    _openssl(["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256",
              "-keyout", CA_KEY, "-out", CA_CERT, "-days", "3650",
              "-subj", "/O=Parvelle Store Simulator/CN=Parvelle Store Simulator CA",
              "-addext", "basicConstraints=critical,CA:TRUE",
              "-addext", "keyUsage=critical,keyCertSign,cRLSign"], work)


def _make_server(work, ca_dir):
    with open(os.path.join(work, "server.ext"), "w") as f:
        f.write(_SERVER_EXTENSIONS)
    _openssl(["req", "-newkey", "rsa:2048", "-nodes", "-sha256",
              "-keyout", SERVER_KEY, "-out", "server.csr",
              "-subj", "/O=Parvelle Store Simulator/CN=localhost"], work)
    _openssl(["x509", "-req", "-in", "server.csr", "-sha256", "-days", "825",
              "-CA", os.path.join(ca_dir, CA_CERT), "-CAkey", os.path.join(ca_dir, CA_KEY),
              "-set_serial", str(int.from_bytes(os.urandom(8), "big")),
              "-extfile", "server.ext", "-out", SERVER_CERT], work)


def ensure_certificates(state_dir):
    """Returns (ca_file, cert_file, key_file), creating whatever is missing.

    Files are made in a temporary folder and moved into place, so an
    interrupted first start never leaves a half-written key behind.
    """
    os.makedirs(state_dir, exist_ok=True)
    paths = {name: os.path.join(state_dir, name)
             for name in (CA_CERT, CA_KEY, SERVER_CERT, SERVER_KEY)}
    have_ca = os.path.exists(paths[CA_CERT]) and os.path.exists(paths[CA_KEY])
    have_server = os.path.exists(paths[SERVER_CERT]) and os.path.exists(paths[SERVER_KEY])
    if have_ca and have_server:
        return paths[CA_CERT], paths[SERVER_CERT], paths[SERVER_KEY]
    with tempfile.TemporaryDirectory(dir=state_dir, prefix=".certs-") as work:
        ca_dir = state_dir
        if not have_ca:
            _make_ca(work)
            ca_dir = work
        _make_server(work, ca_dir)
        names = [SERVER_KEY, SERVER_CERT] + ([] if have_ca else [CA_KEY, CA_CERT])
        for name in names:
            os.chmod(os.path.join(work, name), 0o600 if name.endswith(".key") else 0o644)
            os.replace(os.path.join(work, name), paths[name])
    return paths[CA_CERT], paths[SERVER_CERT], paths[SERVER_KEY]
