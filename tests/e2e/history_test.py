"""End to end: the order history of the real parvelle.exe under Wine on the
test display, against the store simulator holding 13 orders of this machine
(some paid). One program serves every test; each starts from My orders,
whatever the test before left on the screen."""

import json
import os
import ssl
import subprocess
import sys
import unittest
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (BUILD_DIR, App, Shot, Sim, child, distance, main_dialog,  # noqa: E402
                         probe, round_trip, wait_for_no_instance, wait_until, wine_env,
                         xdotool)

# Main window client coordinates (the page lies at y 24).
MY_ORDERS = (688, 12)
PAGE_Y = 24
BACK = (97, PAGE_Y + 36)
ACTIVATE = (390, 532)
MOBILE = "13912345678"


# View details of row r: table at (73, 64), button column from x 490, the
# picture 50 pixels in, rows 36 high under a 36-pixel header.
def details(row):
    return (73 + 490 + 50 + 36, PAGE_Y + 64 + 36 + 36 * row + 18)


# Two pages: first-page chevron at x 623, "1" at 649, "2" at 675, last at 701.
def pager_cell(left):
    return (left + 13, PAGE_Y + 520 + 13)


# The payment page's paid view: its pale green band, and Copy of the link.
PAID_BAND = (0xEA, 0xF8, 0xEF)
COPY_LINK = (597, PAGE_Y + 228)

CURRENT_FILL = (0xF7, 0xF8, 0xF8)
WHITE = (0xFF, 0xFF, 0xFF)

# Oldest first: (package id, paid). The newest twelve fill page 1.
SEED = [(103, False)] + [(101 + i % 5, i % 3 == 0) for i in range(11)] + [(102, True)]


class HistoryApp(App):
    """The program run from its own directory, where it writes b.txt and c.txt."""

    def start(self):
        wait_for_no_instance()
        self.proc = subprocess.Popen(["wine", self.exe], env=wine_env(self.env), cwd=self.dir,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        return self

    def answer(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return json.loads(f.read().decode("utf-8"))


def query(entry):
    return dict(urllib.parse.parse_qsl(entry["query"]))


class HistoryFlowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        # A machine with exactly the orders below.
        cls.sim.admin("reset")
        cls.ctx = ssl.create_default_context(cafile=cls.sim.info["ca_file"])
        xdotool("mousemove", 0, 0)
        cls.title = "Parvelle history e2e"
        cls.app = HistoryApp(cls.sim, cls.title).show_store_front()
        # Keys reach the window: without a window manager it is given the X
        # input focus as a desktop's task switch would.
        xdotool("windowfocus", "--sync", cls.app.wid)
        # The machine's orders go under the address its start-up reported.
        tap = wait_until(lambda: [e for e in cls.sim.log() if e["name"] == "statisticsTap"], 20,
                         0.1)
        assert tap, "no statisticsTap from the program's start"
        cls.mac = query(tap[-1])["mac"]
        cls.orders = []  # oldest first
        for package, paid in SEED:
            data = cls.api("createOrder", mac=cls.mac, type=1, channel="master", pay_type=2,
                           package_id=package, mobile="13800138000")
            if paid:
                cls.sim.admin("pay", order_no=data["order_no"])
            cls.orders.append((data["order_no"], package, paid))

    @classmethod
    def tearDownClass(cls):
        cls.app.cleanup()
        cls.sim.admin("faults/clear")

    @classmethod
    def api(cls, name, **params):
        url = "%s/api/ps/%s?%s" % (cls.sim.url, name, urllib.parse.urlencode(params))
        with urllib.request.urlopen(url, context=cls.ctx, timeout=20) as r:
            answer = json.loads(r.read().decode())
        assert answer["status_code"] == 1000, answer
        return answer["data"]

    def click(self, point):
        self.app.click(*point)

    def pages_visible(self):
        d = main_dialog(self.title)
        return [p["visible"] for p in d["children"] if p["class"] == "#32770"]

    def wait_pages(self, visible):
        # pagePay1, pageHistory, pagePay2 in stacking order.
        got = wait_until(lambda: self.pages_visible() == visible and visible, 10, 0.2)
        self.assertEqual(visible, got or self.pages_visible())

    def requests_since(self, mark, name):
        return [e for e in self.sim.log(mark) if e["name"] == name]

    def pixel(self, x, y):
        ox, oy = self.app.origin()
        return Shot().pixel(ox + x, oy + y)

    def message_box(self):
        hwnd = main_dialog(self.title)["hwnd"]
        for w in probe():
            if w["class"] == "#32770" and w["owner"] == hwnd and w["visible"]:
                return w
        return None

    def copied(self, point):
        """What Copy at `point` put on the clipboard, after its "复制成功"."""
        self.click(point)
        box = wait_until(self.message_box, 10, 0.2)
        self.assertIsNotNone(box, "no confirmation after Copy")
        self.assertIn("复制成功", [c["text"] for c in box["children"]])
        ok = [c for c in box["children"] if c["class"] == "Button" and c["visible"]][0]["rect"]
        xdotool("mousemove", (ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
        xdotool("click", 1)
        self.assertTrue(wait_until(lambda: self.message_box() is None, 10, 0.2))
        # Read on the Windows side: X sees it only on the display of Wine's
        # desktop process, which another Wine run may have started elsewhere.
        exe = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
        out = subprocess.run(["wine", exe, "clipboard"], env=wine_env(), capture_output=True,
                             stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
        return json.loads(out.strip().splitlines()[-1])["clipboard"]

    def open_history(self):
        """My orders, from whatever shows: the history's first page, slid in
        and painted."""
        mark = self.sim.mark()
        self.click(MY_ORDERS)
        self.wait_pages([0, 1, 0])
        self.assertTrue(self.app.wait_still())
        return mark

    def shown_page(self):
        """The page number of the answer the history shows (b.txt), or None."""
        try:
            return self.app.answer("b.txt")["data"]["current_page"]
        except (OSError, ValueError, KeyError, TypeError):
            return None

    def wait_shown_page(self, page):
        self.assertEqual(page, wait_until(lambda: self.shown_page() == page and page, 10, 0.1))
        self.assertTrue(self.app.wait_still())

    def test_1_pages_and_pager(self):
        mark = self.open_history()
        lists = self.requests_since(mark, "orderList")
        self.assertEqual(1, len(lists))
        self.assertEqual({"mac": self.mac, "page": "1", "pageSize": "12"}, query(lists[0]))
        # b.txt holds the answer: the newest twelve, newest first.
        answer = self.app.answer("b.txt")
        self.assertEqual(1000, answer["status_code"])
        self.assertEqual((1, 2, 13), (answer["data"]["current_page"], answer["data"]["last_page"],
                                      answer["data"]["total"]))
        newest = [o[0] for o in reversed(self.orders)]
        self.assertEqual(newest[:12], [o["order_no"] for o in answer["data"]["data"]])
        # Two pages, page 1 marked.
        x1, y = pager_cell(649)
        self.assertEqual(CURRENT_FILL, self.pixel(649 + 3, y - 10))
        self.assertEqual(WHITE, self.pixel(675 + 3, y - 10))
        # Cells sit where a two-page row puts them: outline left of "1".
        self.assertNotEqual(WHITE, self.pixel(649, y - 10))

        # Page 2.
        self.click(pager_cell(675))
        self.wait_shown_page(2)
        answer = self.app.answer("b.txt")
        self.assertEqual([self.orders[0][0]], [o["order_no"] for o in answer["data"]["data"]])
        self.assertEqual(CURRENT_FILL, self.pixel(675 + 3, y - 10))
        self.assertEqual(WHITE, self.pixel(649 + 3, y - 10))

        # Page 1 again, with a click on page 2 made while its request blocks:
        # the click waits and asks for page 2 once page 1 is in.
        self.sim.admin("fault", request="orderList", kind="delay", ms=1500, count=1)
        mark = self.sim.mark()
        self.click(pager_cell(649))
        self.assertTrue(wait_until(lambda: self.requests_since(mark, "orderList"), 10, 0.05))
        self.click(pager_cell(675))
        lists = wait_until(lambda: len(self.requests_since(mark, "orderList")) >= 2, 15, 0.1)
        self.assertEqual(["1", "2"],
                         [query(e)["page"] for e in self.requests_since(mark, "orderList")])
        self.wait_shown_page(2)

    def test_2_unpaid_order_opens_its_package(self):
        # Page 2: the oldest order, unpaid, package 103.
        self.assertFalse(self.orders[0][2])
        self.open_history()
        self.click(pager_cell(675))
        self.wait_shown_page(2)
        mark = self.sim.mark()
        self.click(details(0))
        self.wait_pages([1, 0, 0])
        # No lookup of the unpaid order (the page watches the new order it
        # makes, under another number).
        self.assertEqual([], [e for e in self.requests_since(mark, "orderDetail")
                              if query(e)["order_no"] == self.orders[0][0]])
        d = main_dialog(self.title)
        self.assertEqual(0, child(d, 1000)["visible"])
        self.assertEqual(0, child(d, 6661)["visible"])
        # The purchase view of the order's package orders it anew.
        created = wait_until(lambda: self.requests_since(mark, "createOrder"), 15, 0.2)
        self.assertEqual(["103"], [query(e)["package_id"] for e in created or []])

    def test_3_paid_order_opens_with_its_own_link(self):
        self.open_history()
        order_no, _, paid = self.orders[-1]
        self.assertTrue(paid)
        mark = self.sim.mark()
        self.click(details(0))
        self.wait_pages([1, 0, 0])
        # The payment page may still watch the order test 2 made: only this
        # order's requests count.
        detail = [e for e in self.requests_since(mark, "orderDetail")
                  if query(e)["order_no"] == order_no]
        self.assertEqual(1, len(detail))
        links = self.app.answer("c.txt")["data"]
        self.assertEqual(order_no, links["order_no"])
        link = self.sim.url + "/download/" + order_no
        self.assertEqual(link, links["link_url"])
        # The paid view, whose Copy gives the order's own link (the package's
        # would end in /download/package/102).
        shown = wait_until(lambda: distance(self.pixel(20, PAGE_Y + 100), PAID_BAND) < 8, 10, 0.2)
        self.assertTrue(shown, "no paid view")
        self.assertEqual(link, self.copied(COPY_LINK))

    def test_4_back_returns_to_the_store_front(self):
        # Back clicked while the history's first page is on its way: the
        # click waits and takes the user back once the page has slid in.
        self.sim.admin("fault", request="orderList", kind="delay", ms=3000, count=1)
        mark = self.sim.mark()
        self.click(MY_ORDERS)
        lists = wait_until(lambda: self.requests_since(mark, "orderList"), 10, 0.05)
        self.assertTrue(lists)
        self.click(BACK)
        self.assertTrue(wait_until(lambda: self.requests_since(mark, "orderList")[0]["status"],
                                   10, 0.1), "no answer to orderList")
        # The page has slid in and the queued click is handled.
        round_trip(main_dialog(self.title)["hwnd"])
        self.wait_pages([0, 0, 0])
        d = main_dialog(self.title)
        self.assertEqual(1, child(d, 1000)["visible"])
        self.assertEqual(1, child(d, 6661)["visible"])
        self.assertEqual(1, len(self.requests_since(mark, "orderList")))

        # The focus is back in the mobile number: digits typed without a
        # click there reach it, and 立即激活 orders with them.
        xdotool("type", "--delay", "40", MOBILE)
        self.assertTrue(wait_until(lambda: child(main_dialog(self.title), 1000)["text"] == MOBILE,
                                   10, 0.2), "the digits did not reach the mobile number")
        mark = self.sim.mark()
        self.click(ACTIVATE)
        created = wait_until(lambda: self.requests_since(mark, "createOrder"), 15, 0.2)
        self.assertEqual([MOBILE], [query(e)["mobile"] for e in created or []])

    def test_5_hostile_answer(self):
        # A store claiming 2147483647 pages, an amount of 1e300 and a long
        # name: the page paints the cells that fit and keeps working.
        order = {"order_no": "X" * 40, "package_name": "超长" * 600, "pay_count": 1e300,
                 "pay_status": 2, "package_id": 101}
        body = json.dumps({"status_code": 1000, "data": {
            "current_page": 2147483647, "last_page": 2147483647, "total": 2147483647,
            "data": [order]}}, ensure_ascii=False)
        self.assertLess(len(body.encode()), 4096)
        self.sim.admin("fault", request="orderList", kind="body", body=body, count=1)
        self.open_history()
        y = PAGE_Y + 520 + 3
        self.assertEqual(CURRENT_FILL, self.pixel(675 + 3, y))
        self.assertEqual(WHITE, self.pixel(649 + 3, y))
        self.assertEqual(WHITE, self.pixel(1, y))
        # The last-page cell asks for that page.
        mark = self.sim.mark()
        self.click(pager_cell(701))
        lists = wait_until(lambda: self.requests_since(mark, "orderList"), 10, 0.2)
        self.assertEqual(["2147483647"], [query(e)["page"] for e in lists or []])
        self.assertIsNone(self.app.proc.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
