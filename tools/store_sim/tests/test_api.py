"""The store API: catalogue, orders, paging, links and malformed queries."""

import json
import socket
import ssl
import time
import unittest
import urllib.parse

from simtest import Simulator, png_size, unique_mac

sim = None


def setUpModule():
    global sim
    sim = Simulator().start()


def tearDownModule():
    sim.stop()
    output = sim.tracebacks()
    sim.cleanup()
    assert not output, "the simulator printed a traceback:\n" + output


def host_relative(url):
    parts = urllib.parse.urlsplit(url)
    assert parts.scheme == "https" and parts.netloc == "localhost:%d" % sim.port, url
    return parts.path + ("?" + parts.query if parts.query else "")


class CatalogueTest(unittest.TestCase):
    def setUp(self):
        self.client = sim.client()

    def tearDown(self):
        self.client.close()

    def test_each_store_type_has_its_own_product_with_five_packages(self):
        names = set()
        package_ids = set()
        for store_type in (1, 2):
            answer = self.client.api("getProductList", mac=unique_mac(), type=store_type, channel="master")
            self.assertEqual(answer["status_code"], 1000)
            product = answer["data"][0]
            self.assertEqual(product["type"], store_type)
            names.add(product["name"])
            self.assertGreaterEqual(len(product["version"]), 5)
            for package in product["version"]:
                for member in ("id", "product_id", "price", "source_price", "name", "link_url", "format_price",
                               "package_img", "package_img2", "title_1", "title_2", "package_detail",
                               "help_title", "help_desc", "help_link_url"):
                    self.assertIn(member, package)
                self.assertIsInstance(package["price"], int)
                self.assertIsInstance(package["source_price"], int)
                self.assertLess(package["price"], package["source_price"])
                self.assertEqual(package["format_price"], "%0.2f" % (package["price"] / 100))
                self.assertEqual(package["product_id"], product["id"])
                self.assertFalse(any(key.startswith("_") for key in package))
                package_ids.add(package["id"])
        self.assertEqual(len(names), 2)
        self.assertEqual(len(package_ids), 10, "package ids must be unique across store types")

    def test_pictures_are_served_with_the_sizes_the_window_draws(self):
        for store_type in (1, 2):
            product = self.client.api("getProductList", mac="m", type=store_type, channel="c")["data"][0]
            reply = self.client.get(host_relative(product["product_img"]))
            self.assertEqual((reply.status, reply.headers["Content-Type"]), (200, "image/png"))
            self.assertEqual(png_size(reply.body), (800, 411))
            bodies = set()
            for package in product["version"]:
                reply = self.client.get(host_relative(package["package_img"]))
                self.assertEqual(png_size(reply.body), (408, 576))
                bodies.add(reply.body)
            self.assertEqual(len(bodies), len(product["version"]), "package pictures must differ")
            config = self.client.api("getGroupConfig", type=store_type)["data"]
            self.assertEqual(png_size(self.client.get(host_relative(config["logo"])).body), (48, 48))

    def test_group_configuration_links_lead_to_pages(self):
        config = self.client.api("getGroupConfig", type=1)
        self.assertEqual(config["status_code"], 1000)
        for member in ("logo", "kf", "word_1", "word_2", "word_3", "step_3", "navigation"):
            self.assertTrue(config["data"][member], member)
        self.assertEqual(self.client.get(host_relative(config["data"]["kf"])).status, 200)
        product = self.client.api("getProductList", mac="m", type=1, channel="c")["data"][0]
        self.assertEqual(self.client.get(host_relative(product["shop_url"])).status, 200)

    def test_urls_follow_the_host_the_client_used(self):
        reply = self.client.request("GET", "/api/ps/getGroupConfig?type=1", headers={"Host": "127.0.0.1:%d" % sim.port})
        self.assertTrue(reply.json()["data"]["logo"].startswith("https://127.0.0.1:%d/" % sim.port))

    def test_statistics_tap_is_accepted(self):
        answer = self.client.api("statisticsTap", mac="00:11:22:33:44:55", action_type=1, type=2, channel="master")
        self.assertEqual(answer["status_code"], 1000)
        self.assertLess(len(json.dumps(answer)), 1024)


class OrderTest(unittest.TestCase):
    def setUp(self):
        self.client = sim.client()
        self.mac = unique_mac()

    def tearDown(self):
        self.client.close()

    def create(self, package_id=103, pay_type=1, mac=None, mobile="13800138000"):
        answer = self.client.api("createOrder", mac=mac or self.mac, type=1, channel="master", pay_type=pay_type,
                                 package_id=package_id, mobile=mobile)
        self.assertEqual(answer["status_code"], 1000, answer)
        return answer["data"]

    def test_order_life_cycle_from_creation_to_paid_links(self):
        order = self.create(package_id=203, pay_type=2)
        self.assertEqual(order["qrcode"], "https://localhost:%d/pay/%s" % (sim.port, order["order_no"]))
        detail = self.client.api("orderDetail", order_no=order["order_no"])
        self.assertEqual(detail["status_code"], 1000)
        self.assertEqual(detail["data"]["status"], 0)
        self.assertNotIn("link_url", detail["data"])

        page = self.client.get(host_relative(order["qrcode"]))
        self.assertEqual(page.status, 200)
        self.assertIn("支付成功", page.body.decode())

        data = self.client.api("orderDetail", order_no=order["order_no"])["data"]
        self.assertEqual(data["status"], 1)
        for member in ("link_file_name", "link_url", "code", "help_title", "help_link_url"):
            self.assertTrue(data[member], member)
        self.assertEqual(data["package_id"], 203)
        download = self.client.get(host_relative(data["link_url"]))
        self.assertEqual((download.status, download.body[:2]), (200, b"PK"))
        self.assertEqual(self.client.get(host_relative(data["help_link_url"])).status, 200)
        # Paying again keeps the first pay time.
        self.client.get(host_relative(order["qrcode"]))
        self.assertEqual(self.client.api("orderDetail", order_no=order["order_no"])["data"]["pay_time"],
                         data["pay_time"])

    def test_order_numbers_are_unique_and_url_safe(self):
        numbers = [self.create()["order_no"] for _ in range(15)]
        self.assertEqual(len(set(numbers)), 15)
        for number in numbers:
            self.assertRegex(number, r"^[A-Za-z0-9]+$")

    def test_admin_marks_an_order_paid(self):
        order = self.create()
        self.assertTrue(self.client.admin("pay", order_no=order["order_no"])["ok"])
        self.assertEqual(self.client.api("orderDetail", order_no=order["order_no"])["data"]["status"], 1)
        self.assertFalse(self.client.admin("pay", order_no="NOSUCHORDER")["ok"])
        # The admin page's form posts and comes back to the page.
        second = self.create()
        reply = self.client.request("POST", "/admin/pay", body="order_no=%s&back=1" % second["order_no"],
                                    headers={"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual((reply.status, reply.headers["Location"]), (303, "/admin/"))
        self.assertEqual(self.client.api("orderDetail", order_no=second["order_no"])["data"]["status"], 1)
        html = self.client.get("/admin/").body.decode()
        self.assertIn(second["order_no"], html)

    def test_auto_pay_pays_new_orders_after_the_delay(self):
        try:
            self.client.admin("auto_pay", seconds=0.3)
            order = self.create()
            self.assertEqual(self.client.api("orderDetail", order_no=order["order_no"])["data"]["status"], 0)
            time.sleep(0.4)
            self.assertEqual(self.client.api("orderDetail", order_no=order["order_no"])["data"]["status"], 1)
        finally:
            self.client.admin("auto_pay", seconds="off")
        later = self.create()
        time.sleep(0.4)
        self.assertEqual(self.client.api("orderDetail", order_no=later["order_no"])["data"]["status"], 0)

    def test_order_list_pages_newest_first(self):
        numbers = [self.create(package_id=101 + i % 5)["order_no"] for i in range(26)]
        self.client.admin("pay", order_no=numbers[0])
        first = self.client.api("orderList", mac=self.mac, page=1, pageSize=12)["data"]
        self.assertEqual((first["current_page"], first["last_page"], first["total"]), (1, 3, 26))
        self.assertEqual((first["from"], first["to"]), (1, 12))
        self.assertEqual([o["order_no"] for o in first["data"]], numbers[::-1][:12])
        third = self.client.api("orderList", mac=self.mac, page=3, pageSize=12)["data"]
        self.assertEqual([o["order_no"] for o in third["data"]], numbers[1::-1])
        self.assertEqual((third["from"], third["to"]), (25, 26))
        oldest = third["data"][-1]
        self.assertEqual(oldest["pay_status"], 1)
        self.assertIsInstance(oldest["pay_count"], float)
        self.assertEqual(oldest["pay_count"], 29.0)
        self.assertEqual((oldest["mac"], oldest["package_id"]), (self.mac, 101))
        self.assertEqual(third["data"][0]["pay_status"], 0)
        beyond = self.client.api("orderList", mac=self.mac, page=4, pageSize=12)
        self.assertEqual(beyond["status_code"], 1000)
        self.assertEqual((beyond["data"]["data"], beyond["data"]["current_page"]), ([], 4))
        # Another machine sees none of these orders.
        empty = self.client.api("orderList", mac=unique_mac(), page=1, pageSize=12)["data"]
        self.assertEqual((empty["total"], empty["last_page"], empty["data"]), (0, 1, []))

    def test_answers_fit_the_clients_buffers(self):
        # The client reads orderList and orderDetail into 4096-byte buffers.
        for package_id in (101, 102, 103, 104, 105, 201, 202, 203, 204, 205):
            self.client.admin("pay", order_no=self.create(package_id=package_id, mobile="1" * 32)["order_no"])
        for _ in range(2):
            self.create(package_id=105, mobile="1" * 32)
        page = self.client.get("/api/ps/orderList?mac=%s&page=1&pageSize=12" % urllib.parse.quote(self.mac))
        self.assertEqual(len(page.json()["data"]["data"]), 12)
        self.assertLess(len(page.body), 4096)
        for order in page.json()["data"]["data"]:
            detail = self.client.get("/api/ps/orderDetail?order_no=" + order["order_no"])
            self.assertLess(len(detail.body), 4096)
        self.assertLess(len(self.client.get("/api/ps/getGroupConfig?type=1").body), 4096)


class MalformedQueryTest(unittest.TestCase):
    def setUp(self):
        self.client = sim.client()

    def tearDown(self):
        self.client.close()

    def test_bad_queries_get_an_error_envelope_on_a_live_connection(self):
        cases = [
            "getProductList?type=1&channel=master",
            "getProductList?mac=m&type=one&channel=master",
            "getProductList?mac=m&type=3&channel=master",
            "getProductList?mac=m&type=99999999999999999999&channel=master",
            "getProductList?mac=m&type=1",
            "getGroupConfig",
            "getGroupConfig?type=",
            "getGroupConfig?type=0",
            "createOrder?mac=m&type=1&channel=c&pay_type=1&package_id=999&mobile=13800138000",
            "createOrder?mac=m&type=1&channel=c&pay_type=3&package_id=101&mobile=13800138000",
            "createOrder?mac=m&type=1&channel=c&pay_type=1&package_id=abc&mobile=13800138000",
            "createOrder?mac=m&type=1&channel=c&pay_type=1&package_id=101",
            "createOrder?mac=m&type=1&channel=c&pay_type=1&package_id=101&mobile=" + "1" * 40,
            "orderDetail",
            "orderDetail?order_no=NOPE",
            "orderDetail?order_no=%ZZ%00%FF",
            "orderList?mac=m&page=0&pageSize=12",
            "orderList?mac=m&page=99999999999999999999&pageSize=12",
            "orderList?mac=m&page=100000000&pageSize=12",
            "orderList?mac=m&page=-1&pageSize=12",
            "orderList?mac=m&page=1&pageSize=abc",
            "orderList?mac=m&page=1.5&pageSize=12",
            "orderList?page=1&pageSize=12",
            "statisticsTap?mac=m&action_type=x&type=1&channel=c",
            "noSuchRequest?a=1",
            "getProductList?mac=" + "x" * 5000 + "&type=1&channel=c",
        ]
        self.client.connect()
        for target in cases:
            with self.subTest(target=target[:80]):
                reply = self.client.get("/api/ps/" + target)
                answer = reply.json()
                self.assertNotEqual(answer["status_code"], 1000)
                self.assertIsInstance(answer["message"], str)
                self.assertTrue(answer["message"])
                self.assertIsNotNone(self.client.conn, "the connection must stay open")
        self.assertEqual(self.client.api("getGroupConfig", type=1)["status_code"], 1000)

    def test_failed_create_order_makes_no_order(self):
        mac = unique_mac()
        self.client.api("createOrder", mac=mac, type=1, channel="c", pay_type=1, package_id=999, mobile="13800138000")
        self.assertEqual(self.client.api("orderList", mac=mac, page=1, pageSize=12)["data"]["total"], 0)

    def test_other_methods_and_paths_are_answered(self):
        reply = self.client.request("POST", "/api/ps/getGroupConfig?type=1", body=b"x=1")
        self.assertEqual(reply.status, 405)
        self.assertNotEqual(reply.json()["status_code"], 1000)
        self.assertEqual(self.client.get("/no/such/path").status, 404)
        self.assertEqual(self.client.get("/pictures/../catalogue.json").status, 404)
        self.assertEqual(self.client.get("/pay/NOSUCHORDER").status, 404)
        self.assertEqual(self.client.get("/download/NOSUCHORDER").status, 404)
        self.assertEqual(self.client.api("getGroupConfig", type=2)["status_code"], 1000)


class RawRequestTest(unittest.TestCase):
    """Requests no well-behaved client sends still get an answer."""

    def exchange(self, raw):
        context = ssl.create_default_context(cafile=sim.ca_file)
        with socket.create_connection(("127.0.0.1", sim.port), timeout=5) as plain:
            with context.wrap_socket(plain, server_hostname="localhost") as tls:
                tls.sendall(raw)
                data = b""
                while b"\r\n\r\n" not in data:
                    chunk = tls.recv(65536)
                    if not chunk:
                        break
                    data += chunk
                return data.split(b"\r\n", 1)[0]

    def test_odd_requests_are_answered(self):
        cases = [
            (b"GET //[x HTTP/1.1\r\nHost: localhost\r\n\r\n", b"404"),
            (b"GET /api/ps/orderDetail?order_no=%E4%B8%AD%FF HTTP/1.1\r\nHost: localhost\r\n\r\n", b"200"),
            (b"GET /api/ps/getGroupConfig?type=1 HTTP/1.1\r\nHost: <bad>\r\n\r\n", b"200"),
            (b"GET /api/ps/getGroupConfig?type=1 HTTP/1.1\r\nContent-Length: abc\r\n\r\n", b"413"),
            (b"POST /admin/status HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n", b"413"),
            (b"POST /admin/fault HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", b"411"),
            (b"POST /admin/fault HTTP/1.1\r\nContent-Length: 5\r\n\r\n{\"a\":", b"400"),
            (b"BREW /api/ps/getGroupConfig HTTP/1.1\r\n\r\n", b"501"),
            (b"garbage\r\n\r\n", b"400"),
        ]
        for raw, status in cases:
            with self.subTest(raw=raw[:40]):
                self.assertIn(status, self.exchange(raw))


class RequestLogTest(unittest.TestCase):
    def test_log_shows_full_urls_and_connection_reuse(self):
        client = sim.client()
        mac = unique_mac()
        since = client.admin("log")["entries"][-1:] or [{"seq": 0}]
        since = since[0]["seq"]
        client.api("getProductList", mac=mac, type=1, channel="master")
        client.api("statisticsTap", mac=mac, action_type=1, type=1, channel="master")
        client.close()
        client.api("getGroupConfig", type=1)
        entries = [e for e in client.admin("log", since=since)["entries"]
                   if urllib.parse.parse_qs(e["query"]).get("mac") == [mac] or e["name"] == "getGroupConfig"]
        self.assertEqual([e["name"] for e in entries[-3:]], ["getProductList", "statisticsTap", "getGroupConfig"])
        first, second, third = entries[-3:]
        self.assertEqual(first["url"], "https://localhost:%d/api/ps/getProductList?mac=%s&type=1&channel=master"
                         % (sim.port, urllib.parse.quote_plus(mac)))
        self.assertEqual(first["method"], "GET")
        self.assertEqual(first["conn"], second["conn"], "kept-alive requests share a connection id")
        self.assertNotEqual(second["conn"], third["conn"])
        self.assertEqual(first["status"], 200)
        self.assertFalse(any(e["path"].startswith("/admin") for e in client.admin("log")["entries"]))
        client.close()
