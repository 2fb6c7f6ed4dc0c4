"""Fault injection and the other admin controls."""

import base64
import http.client
import json
import socket
import threading
import time
import unittest
import urllib.parse

from simtest import Simulator, png_size, unique_mac, wait_until

sim = None


def setUpModule():
    global sim
    sim = Simulator().start()


def tearDownModule():
    sim.stop()
    output = sim.tracebacks()
    sim.cleanup()
    assert not output, "the simulator printed a traceback:\n" + output


GROUP_CONFIG = "/api/ps/getGroupConfig?type=1"


class FaultTest(unittest.TestCase):
    def setUp(self):
        self.admin = sim.client()
        self.client = sim.client()
        self.admin.admin("faults/clear")

    def tearDown(self):
        self.admin.admin("faults/clear")
        self.admin.close()
        self.client.close()

    def fault(self, **params):
        answer = self.admin.admin("fault", **params)
        self.assertTrue(answer["ok"], answer)
        return answer["fault"]

    def last_log_entry(self, name):
        return self.admin.admin("log", name=name)["entries"][-1]

    def test_delay_then_real_answer_for_the_next_n_requests(self):
        self.fault(request="getGroupConfig", kind="delay", ms=300, count=1)
        started = time.monotonic()
        self.assertEqual(self.client.get(GROUP_CONFIG).json()["status_code"], 1000)
        self.assertGreaterEqual(time.monotonic() - started, 0.3)
        self.assertEqual(self.admin.admin("faults")["faults"], [])

    def test_status_with_body_counts_down(self):
        self.fault(request="orderDetail", kind="status", status=503, body="维护中", count=2)
        for _ in range(2):
            reply = self.client.get("/api/ps/orderDetail?order_no=X")
            self.assertEqual((reply.status, reply.body.decode()), (503, "维护中"))
        self.assertEqual(self.client.get("/api/ps/orderDetail?order_no=X").status, 200)

    def test_fault_without_count_lasts_until_cleared_and_hits_only_its_request(self):
        self.fault(request="getGroupConfig", kind="status", status=500)
        for _ in range(3):
            self.assertEqual(self.client.get(GROUP_CONFIG).status, 500)
        self.assertEqual(self.client.api("statisticsTap", mac="m", action_type=1, type=1, channel="c")
                         ["status_code"], 1000)
        self.assertEqual(self.admin.admin("faults/clear", request="getGroupConfig")["removed"], 1)
        self.assertEqual(self.client.get(GROUP_CONFIG).status, 200)

    def test_match_every_and_delayed_body_aim_the_fault(self):
        # Only order A's requests, every second one, after 300 ms.
        self.fault(request="orderDetail", kind="body", body="faulty", match="order_no=A", every=2,
                   ms=300, count=2)
        bodies = []
        for order in ("A", "B", "A", "A", "B", "A", "A", "A"):
            started = time.monotonic()
            body = self.client.get("/api/ps/orderDetail?order_no=" + order).body
            bodies.append((order, body == b"faulty", time.monotonic() - started >= 0.3))
        self.assertEqual([(o, f) for o, f, _ in bodies],
                         [("A", False), ("B", False), ("A", True), ("A", False), ("B", False),
                          ("A", True), ("A", False), ("A", False)])
        self.assertTrue(all(slow == faulty for _, faulty, slow in bodies))

    def test_not_json_and_exact_bodies(self):
        self.fault(request="getProductList", kind="not_json", count=1)
        reply = self.client.get("/api/ps/getProductList?mac=m&type=1&channel=c")
        self.assertEqual(reply.status, 200)
        self.assertRaises(ValueError, json.loads, reply.body.decode())
        self.fault(request="orderDetail", kind="body", body='{"STATUS_CODE":1000,"Data":{"Status":1}}', count=1)
        self.assertEqual(self.client.get("/api/ps/orderDetail?order_no=X").body,
                         b'{"STATUS_CODE":1000,"Data":{"Status":1}}')
        raw = bytes(range(256))
        self.fault(request="picture", kind="body", body_base64=base64.b64encode(raw).decode(),
                   content_type="image/png", count=1)
        self.assertEqual(self.client.get("/pictures/logo_1.png").body, raw)

    def test_truncated_body_closes_early(self):
        self.fault(request="getProductList", kind="truncated", count=1)
        conn = self.client.connect()
        conn.request("GET", "/api/ps/getProductList?mac=m&type=1&channel=c")
        response = conn.getresponse()
        declared = int(response.getheader("Content-Length"))
        with self.assertRaises(http.client.IncompleteRead) as caught:
            response.read()
        self.assertLess(len(caught.exception.partial), declared)
        self.client.close()
        self.assertEqual(self.client.get("/api/ps/getProductList?mac=m&type=1&channel=c").status, 200)

    def test_oversized_bodies_have_the_asked_size(self):
        mac = unique_mac()
        self.fault(request="orderList", kind="oversized", bytes=5000, count=1)
        reply = self.client.get("/api/ps/orderList?mac=%s&page=1&pageSize=12" % urllib.parse.quote(mac))
        self.assertEqual(len(reply.body), 5000)
        answer = reply.json()
        self.assertEqual((answer["status_code"], answer["data"]["total"]), (1000, 0))
        self.fault(request="picture", kind="oversized", bytes=2000000, count=1)
        reply = self.client.get("/pictures/product_1.png")
        self.assertEqual(len(reply.body), 2000000)
        self.assertEqual(png_size(reply.body), (800, 411))

    def test_redirect_chain_ends_at_the_real_answer(self):
        mac = unique_mac()
        self.fault(request="createOrder", kind="redirect", hops=3, count=1)
        target = "/api/ps/createOrder?mac=%s&type=1&channel=c&pay_type=1&package_id=101&mobile=13800138000" % (
            urllib.parse.quote(mac))
        hops = 0
        reply = self.client.get(target)
        while reply.status in (301, 302, 303, 307, 308):
            location = urllib.parse.urlsplit(reply.headers["Location"])
            self.assertEqual(location.netloc, "localhost:%d" % sim.port)
            reply = self.client.get(location.path + "?" + location.query)
            hops += 1
        self.assertEqual(hops, 3)
        self.assertEqual(reply.json()["status_code"], 1000)
        # The order is made once, at the end of the chain.
        self.assertEqual(self.client.api("orderList", mac=mac, page=1, pageSize=12)["data"]["total"], 1)

    def test_dropped_connection_gets_no_answer(self):
        self.fault(request="statisticsTap", kind="drop", count=1)
        conn = self.client.connect()
        conn.request("GET", "/api/ps/statisticsTap?mac=m&action_type=1&type=1&channel=c")
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            conn.getresponse()
        self.client.close()
        self.assertIsNone(self.last_log_entry("statisticsTap")["status"])

    def test_hang_holds_until_the_client_gives_up(self):
        self.fault(request="orderDetail", kind="hang", count=1)
        client = sim.client(timeout=0.5)
        started = time.monotonic()
        with self.assertRaises(socket.timeout):
            client.get("/api/ps/orderDetail?order_no=X")
        self.assertGreaterEqual(time.monotonic() - started, 0.5)
        client.close()
        self.assertEqual(self.client.get("/api/ps/orderDetail?order_no=X").status, 200)

    def test_hang_ends_at_its_maximum_or_when_cleared(self):
        self.fault(request="orderDetail", kind="hang", max_ms=200, count=1)
        started = time.monotonic()
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            self.client.get("/api/ps/orderDetail?order_no=X")
        self.assertLess(time.monotonic() - started, 5)

        self.fault(request="orderDetail", kind="hang")
        outcome = []

        def ask():
            client = sim.client(timeout=20)
            try:
                client.get("/api/ps/orderDetail?order_no=X")
                outcome.append("answered")
            except (http.client.RemoteDisconnected, ConnectionError):
                outcome.append("closed")
            finally:
                client.close()

        since = self.last_log_entry("orderDetail")["seq"]
        worker = threading.Thread(target=ask)
        worker.start()
        self.assertTrue(wait_until(lambda: self.admin.admin("log", name="orderDetail", since=since)["entries"]))
        self.admin.admin("faults/clear")
        worker.join(5)
        self.assertFalse(worker.is_alive())
        self.assertEqual(outcome, ["closed"])

    def test_connection_latency_delays_new_connections_only(self):
        try:
            self.assertTrue(self.admin.admin("conn_latency", ms=400)["ok"])
            started = time.monotonic()
            self.client.get(GROUP_CONFIG)
            first = time.monotonic() - started
            started = time.monotonic()
            self.client.get(GROUP_CONFIG)
            reused = time.monotonic() - started
            self.assertGreaterEqual(first, 0.4)
            self.assertLess(reused, 0.4)
        finally:
            self.admin.admin("conn_latency", ms=0)

    def test_bad_fault_requests_are_refused(self):
        for params in ({"request": "nothing", "kind": "drop"}, {"request": "orderList", "kind": "explode"},
                       {"request": "orderList", "kind": "delay"}, {"request": "orderList", "kind": "delay", "ms": "x"},
                       {"request": "orderList", "kind": "status", "status": 99},
                       {"request": "orderList", "kind": "drop", "count": "-1"}):
            reply = self.admin.get("/admin/fault?" + urllib.parse.urlencode(params))
            self.assertEqual(reply.status, 400, params)
            self.assertFalse(reply.json()["ok"])
        self.assertEqual(self.admin.admin("faults")["faults"], [])

    def test_drip_sends_a_byte_per_interval_and_stops_when_the_client_leaves(self):
        self.fault(request="statisticsTap", kind="drip", interval_ms=150, body="abcdef", count=1)
        conn = self.client.connect()
        started = time.monotonic()
        conn.request("GET", "/api/ps/statisticsTap?mac=m&action_type=1&type=1&channel=c")
        response = conn.getresponse()
        self.assertEqual(response.getheader("Content-Length"), "6")
        self.assertEqual(response.read(2), b"ab")
        self.assertGreaterEqual(time.monotonic() - started, 0.3)
        self.client.close()
        # Leaving mid-drip frees the server: the next answer is the real one.
        self.assertEqual(self.client.api("statisticsTap", mac="m", action_type=1, type=1, channel="c")
                         ["status_code"], 1000)

    def test_endless_redirect_loop_and_foreign_location(self):
        self.fault(request="orderList", kind="redirect", hops=0, count=1)
        target = "/api/ps/orderList?mac=m&page=1&pageSize=12"
        for _ in range(60):
            reply = self.client.get(target)
            self.assertEqual(reply.status, 302)
            location = urllib.parse.urlsplit(reply.headers["Location"])
            target = location.path + "?" + location.query
        self.assertEqual(target, "/_hop/loop/api/ps/orderList?mac=m&page=1&pageSize=12")
        self.fault(request="orderList", kind="redirect", hops=1, location="file:///etc/passwd", count=1)
        self.assertEqual(self.client.get("/api/ps/orderList?mac=m&page=1&pageSize=12").headers["Location"],
                         "file:///etc/passwd")

    def test_tls_faults_spoil_one_new_connections_handshake_each(self):
        import ssl
        for mode in ("close", "reset", "plain", "garbage", "alert", "stall"):
            self.fault(request="connection", kind="tls", mode=mode, max_ms=300, count=1)
            client = sim.client(timeout=3)
            started = time.monotonic()
            with self.assertRaises((ssl.SSLError, ConnectionError, OSError), msg=mode):
                client.get(GROUP_CONFIG)
            client.close()
            self.assertLess(time.monotonic() - started, 2.5, mode)
            self.assertEqual(self.last_log_entry("connection")["query"], mode)
            self.assertEqual(self.admin.admin("faults")["faults"], [], mode)
        self.assertEqual(sim.client().get(GROUP_CONFIG).status, 200)
        for params in ({"request": "connection", "kind": "drop"}, {"request": "orderList", "kind": "tls", "mode": "close"},
                       {"request": "connection", "kind": "tls", "mode": "explode"}):
            self.assertEqual(self.admin.get("/admin/fault?" + urllib.parse.urlencode(params)).status, 400, params)

    def test_faults_can_be_posted_as_json(self):
        reply = self.admin.request("POST", "/admin/fault", body=json.dumps(
            {"request": "getGroupConfig", "kind": "status", "status": 502, "count": 1}),
            headers={"Content-Type": "application/json"})
        self.assertEqual(reply.status, 200)
        self.assertEqual(self.client.get(GROUP_CONFIG).status, 502)


class ResetTest(unittest.TestCase):
    def test_reset_clears_orders_log_faults_and_runtime_settings(self):
        client = sim.client()
        mac = unique_mac()
        order = client.api("createOrder", mac=mac, type=1, channel="c", pay_type=1, package_id=101, mobile="1")
        client.admin("fault", request="orderList", kind="drop")
        client.admin("auto_pay", seconds=5)
        client.admin("conn_latency", ms=10)
        self.assertTrue(client.admin("reset")["ok"])
        status = client.admin("status")
        self.assertEqual((status["faults"], status["auto_pay_seconds"], status["conn_latency_ms"]), ([], None, 0))
        self.assertEqual(client.admin("log")["entries"], [])
        self.assertEqual(client.api("orderList", mac=mac, page=1, pageSize=12)["data"]["total"], 0)
        self.assertEqual(client.api("orderDetail", order_no=order["data"]["order_no"])["status_code"], 1005)
        again = client.api("createOrder", mac=mac, type=1, channel="c", pay_type=1, package_id=101, mobile="1")
        self.assertNotEqual(again["data"]["order_no"], order["data"]["order_no"])
        client.close()
