"""Start, stop, restart: certificates, persistence and the CTest fixture helper."""

import json
import os
import shutil
import socket
import ssl
import subprocess
import tempfile
import unittest

from simtest import PYTHON, SIMCTL, Client, Simulator, unique_mac, wait_until


class RestartTest(unittest.TestCase):
    def setUp(self):
        self.state_dir = tempfile.mkdtemp(prefix="store-sim-restart-")

    def tearDown(self):
        shutil.rmtree(self.state_dir, ignore_errors=True)

    def test_orders_and_certificates_survive_a_restart(self):
        mac = unique_mac()
        first = Simulator(self.state_dir).start()
        try:
            client = first.client()
            numbers = [client.api("createOrder", mac=mac, type=1, channel="c", pay_type=1, package_id=102,
                                  mobile="13900000000")["data"]["order_no"] for _ in range(3)]
            client.admin("pay", order_no=numbers[1])
            client.close()
            with open(first.ca_file, "rb") as f:
                ca_before = f.read()
        finally:
            self.assertEqual(first.stop(), 0, "SIGTERM must end the simulator cleanly")

        second = Simulator(self.state_dir).start()
        try:
            with open(second.ca_file, "rb") as f:
                self.assertEqual(f.read(), ca_before)
            client = second.client()
            listed = client.api("orderList", mac=mac, page=1, pageSize=12)["data"]
            self.assertEqual([o["order_no"] for o in listed["data"]], numbers[::-1])
            self.assertEqual([o["pay_status"] for o in listed["data"]], [0, 1, 0])
            detail = client.api("orderDetail", order_no=numbers[1])["data"]
            self.assertEqual(detail["status"], 1)
            newer = client.api("createOrder", mac=mac, type=1, channel="c", pay_type=2, package_id=102,
                               mobile="13900000000")["data"]["order_no"]
            self.assertNotIn(newer, numbers)
            client.close()
        finally:
            self.assertEqual(second.stop(), 0)

    def test_certificate_names_localhost_and_the_loopback_address(self):
        sim = Simulator(self.state_dir).start()
        try:
            context = ssl.create_default_context(cafile=sim.ca_file)
            for host in ("localhost", "127.0.0.1"):
                with socket.create_connection(("127.0.0.1", sim.port), timeout=5) as raw:
                    with context.wrap_socket(raw, server_hostname=host) as tls:
                        self.assertTrue(tls.getpeercert())
            with socket.create_connection(("127.0.0.1", sim.port), timeout=5) as raw:
                with self.assertRaises(ssl.SSLCertVerificationError):
                    context.wrap_socket(raw, server_hostname="store.example")
            # A client that gives up during the handshake does not harm the server.
            with socket.create_connection(("127.0.0.1", sim.port), timeout=5) as raw:
                raw.sendall(b"GET / HTTP/1.1\r\n\r\n")
            client = sim.client()
            self.assertEqual(client.api("getGroupConfig", type=1)["status_code"], 1000)
            client.close()
        finally:
            sim.stop()

    def test_start_options_apply(self):
        sim = Simulator(self.state_dir, ["--auto-pay", "0.05", "--conn-latency-ms", "5"]).start()
        try:
            client = sim.client()
            status = client.admin("status")
            self.assertEqual((status["auto_pay_seconds"], status["conn_latency_ms"]), (0.05, 5))
            order = client.api("createOrder", mac=unique_mac(), type=1, channel="c", pay_type=1, package_id=201,
                               mobile="1")["data"]
            self.assertTrue(wait_until(
                lambda: client.api("orderDetail", order_no=order["order_no"])["data"]["status"] == 1))
            # Zero turns automatic payment off, at runtime as at start.
            self.assertIsNone(client.admin("auto_pay", seconds=0)["auto_pay_seconds"])
            client.close()
        finally:
            sim.stop()
        sim = Simulator(self.state_dir, ["--auto-pay", "0"]).start()
        try:
            client = sim.client()
            self.assertIsNone(client.admin("status")["auto_pay_seconds"])
            client.close()
        finally:
            sim.stop()


class SimctlTest(unittest.TestCase):
    def setUp(self):
        self.state_dir = tempfile.mkdtemp(prefix="store-sim-ctl-")

    def tearDown(self):
        self.simctl("stop")
        shutil.rmtree(self.state_dir, ignore_errors=True)

    def simctl(self, *args):
        # Output goes to a pipe: start must return although the server keeps running.
        return subprocess.run([PYTHON, SIMCTL] + list(args) + ["--state-dir", self.state_dir],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)

    def info(self):
        with open(os.path.join(self.state_dir, "sim.json")) as f:
            return json.load(f)

    @staticmethod
    def running(pid):
        try:
            with open("/proc/%d/stat" % pid) as f:
                return f.read().split(")")[-1].split()[0] != "Z"
        except OSError:
            return False

    def test_start_restart_and_stop(self):
        self.assertEqual(self.simctl("start").returncode, 0)
        info = self.info()
        self.assertEqual(info["url"], "https://localhost:%d" % info["port"])
        self.assertEqual(info["state_dir"], self.state_dir)
        self.assertEqual(info["ca_file"], os.path.join(self.state_dir, "ca.pem"))
        self.assertEqual(info["ca_file_win"], "Z:" + info["ca_file"].replace("/", "\\"))
        client = Client(info["port"], info["ca_file"])
        self.assertEqual(client.api("getGroupConfig", type=2)["status_code"], 1000)
        client.close()

        self.assertEqual(self.simctl("start", "--auto-pay", "1").returncode, 0)
        again = self.info()
        self.assertNotEqual(again["pid"], info["pid"])
        self.assertFalse(self.running(info["pid"]), "the earlier simulator must be gone")
        client = Client(again["port"], again["ca_file"])
        self.assertEqual(client.admin("status")["auto_pay_seconds"], 1)
        client.close()

        self.assertEqual(self.simctl("stop").returncode, 0)
        self.assertFalse(self.running(again["pid"]))
        self.assertFalse(os.path.exists(os.path.join(self.state_dir, "sim.json")))
        self.assertEqual(self.simctl("stop").returncode, 0, "stopping nothing succeeds")
        with open(os.path.join(self.state_dir, "server.log")) as f:
            self.assertIn("stopped", f.read())

    def test_stop_ignores_a_stale_pid(self):
        with open(os.path.join(self.state_dir, "sim.json"), "w") as f:
            json.dump({"pid": os.getpid()}, f)
        self.assertEqual(self.simctl("stop").returncode, 0)
        self.assertTrue(self.running(os.getpid()))
