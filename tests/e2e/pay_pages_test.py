"""End to end: buying a package on each payment page of the real parvelle.exe
under Wine on the test display, against the store simulator, with real
pointer input. The QR code is read off the screen with zbarimg, the
clipboard from the X side with xclip, the requests from the simulator's log.
Each page is one program walked through its purchase in order."""

import json
import os
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (App, BUILD_DIR, MainWindowQueries, SOURCE_DIR, Shot, Sim, distance,  # noqa: E402
                         picture_rgb, probe, wait_until, wine_desktop_display,
                         wine_env, xdotool)

PAGE_Y = 24  # the pages lie below the 24-pixel title strip
SKIN = os.path.join(SOURCE_DIR, "resources", "png")
MOBILE = "13800138000"
BLUE = (0x14, 0x73, 0xE6)
WHITE = (0xFF, 0xFF, 0xFF)
PAID_BAND = (0xEA, 0xF8, 0xEF)
PAID_PILL = (0x1F, 0xB3, 0x5A)
# Main window client points: My orders, and View details on the history
# table's first row (the newest order).
MY_ORDERS = (688, 12)
NEWEST_ORDER_DETAILS = (649, PAGE_Y + 64 + 36 + 18)


def query(entry):
    return dict(urllib.parse.parse_qsl(entry["query"]))


def clipboard_on_our_display():
    desktop = wine_desktop_display()
    return desktop is None or desktop == os.environ.get("DISPLAY")


def windows_clipboard():
    exe = os.path.join(BUILD_DIR, "tests", "e2e", "win_probe.exe")
    out = subprocess.run(["wine", exe, "clipboard"], env=wine_env(), capture_output=True,
                         stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    for line in out.splitlines():
        if line.startswith("{"):
            return json.loads(line)["clipboard"]
    return None


class PageFlow(MainWindowQueries, unittest.TestCase):
    """One program on the page that `pay_type` selects."""

    pay_type = 1
    title = ""
    cwd = None  # the program's current directory (the test's own when None)
    env = None  # more environment for the program

    @classmethod
    def plant(cls, app):
        """Prepares what a start needs beyond the defaults (nothing here)."""

    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        cls.sim.admin("faults/clear")
        cls.sim.admin("auto_pay", seconds=0)
        xdotool("mousemove", 0, 0)
        cls.app = App(cls.sim, cls.title, pay_type=cls.pay_type, cwd=cls.cwd, env=cls.env)
        cls.plant(cls.app)
        cls.app.show_store_front()

    @classmethod
    def tearDownClass(cls):
        cls.sim.admin("faults/clear")
        if cls.app:
            cls.app.cleanup()

    # --- the program
    def page_hwnd(self, index):
        return [p for p in self.dialog()["children"] if p["class"] == "#32770"][index]["hwnd"]

    def click(self, x, y):
        """A click at page point (x, y)."""
        self.click_client(x, PAGE_Y + y)

    def click_client(self, x, y):
        """A click at main window client point (x, y); Wine sees the pointer
        arrive first."""
        self.app.move_to(x, y)
        time.sleep(0.15)
        xdotool("click", 1)

    def pixel(self, shot, x, y):
        ox, oy = self.app.origin()
        return shot.pixel(ox + x, oy + PAGE_Y + y)

    def activate(self):
        for _ in range(3):
            self.click_client(650, 459)
            xdotool("key", "ctrl+a", "BackSpace")
            xdotool("type", "--delay", "20", MOBILE)
            if wait_until(lambda: self.edit_text() == MOBILE, 3, 0.2):
                break
        self.assertEqual(MOBILE, self.edit_text(), "the mobile number did not reach the edit")
        self.click_client(390, 530)

    def edit_text(self):
        return [c["text"] for c in self.dialog()["children"] if c["id"] == 1000][0]

    def message_box(self):
        hwnd = self.dialog()["hwnd"]
        for w in probe():
            if w["class"] == "#32770" and w["owner"] == hwnd and w["visible"]:
                return w
        return None

    def close_box(self, box):
        ok = [c for c in box["children"] if c["class"] == "Button" and c["visible"]][0]["rect"]
        xdotool("mousemove", (ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
        xdotool("click", 1)
        self.assertTrue(wait_until(lambda: self.message_box() is None, 10, 0.2))

    # --- the store
    def created_since(self, mark):
        return [query(e) for e in self.sim.log(mark) if e["name"] == "createOrder"]

    def wait_created(self, mark, count=1, timeout=15):
        found = wait_until(lambda: len(self.created_since(mark)) >= count and
                           self.created_since(mark), timeout, 0.1)
        self.assertTrue(found, "no order created")
        return found

    def newest_order(self):
        return self.sim.admin("orders", limit=1)["orders"][0]["order_no"]

    def polled_since(self, mark):
        return [query(e).get("order_no") for e in self.sim.log(mark) if e["name"] == "orderDetail"]

    # --- the screen
    def qr_text(self, square):
        """The QR code shown in `square` (x, y, w, h, page coordinates) as
        zbarimg reads it, or None."""
        x, y, w, h = square
        ox, oy = self.app.origin()
        with tempfile.TemporaryDirectory() as tmp:
            crop = os.path.join(tmp, "crop.png")
            big = os.path.join(tmp, "big.png")
            subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" %
                            (w, h, ox + x, oy + PAGE_Y + y), "+repage", crop], check=True)
            # The picture has no quiet zone of its own.
            subprocess.run(["convert", crop, "-bordercolor", "white", "-border", "24",
                            "-filter", "point", "-resize", "300%", big], check=True)
            out = subprocess.run(["zbarimg", "--raw", "-q", big], capture_output=True,
                                 text=True)
        return out.stdout.strip() if out.returncode == 0 else None

    def wait_qr(self, square, text, timeout=10):
        seen = wait_until(lambda: self.qr_text(square) == text, timeout, 0.3)
        self.assertTrue(seen, "the QR square does not read %r (reads %r)"
                        % (text, self.qr_text(square)))

    def shows_placeholder(self, square):
        x, y, w, h = square
        pw, _, rgb = picture_rgb(os.path.join(SKIN, "174_qr_placeholder.png"))
        shot = Shot()
        bad = 0
        for j in range(0, h, 3):
            for i in range(0, w, 3):
                k = (j * pw + i) * 3
                if distance(self.pixel(shot, x + i, y + j), rgb[k:k + 3]) > 24:
                    bad += 1
        return bad < (w // 3) * (h // 3) // 50

    def shows_paid_view(self):
        shot = Shot()
        return (distance(self.pixel(shot, 20, 100), PAID_BAND) < 8 and
                distance(self.pixel(shot, 260, 64), PAID_PILL) < 8)

    def sample(self):
        """Mean colour of page x 100..300, y 80..280 (store front: the product
        picture; purchase view: the package picture)."""
        shot = Shot()
        total = [0, 0, 0]
        for y in range(80, 280, 4):
            for x in range(100, 300, 4):
                for c, v in enumerate(self.pixel(shot, x, y)):
                    total[c] += v
        return tuple(t / 2500 for t in total)

    def mark_checked(self, centre):
        return distance(self.pixel(Shot(), *centre), BLUE) < 40

    def check_copy(self, at, expected):
        """Copy at page point `at`: the link on the clipboard and "复制成功"."""
        # xclip stays behind as the selection's owner until Wine takes it: it
        # must not hold on to the test's output.
        subprocess.run(["xclip", "-selection", "clipboard"], input=b"before",
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        if clipboard_on_our_display():
            # Wine's desktop process takes note of the new owner: else it might
            # do so after the Copy and take the link back.
            wait_until(lambda: windows_clipboard() == "before", 5, 0.1)
        self.click(*at)
        box = wait_until(self.message_box, 10, 0.2)
        self.assertIsNotNone(box, "no confirmation after Copy")
        self.assertIn("复制成功", [c["text"] for c in box["children"]])
        self.assertEqual("", box["title"])
        if clipboard_on_our_display():
            # Wine's desktop process takes the X selection a moment later.
            def clipboard():
                return subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                      capture_output=True, timeout=10).stdout.decode("utf-8")
        else:
            # Its X selection lives on another display: ask Wine instead.
            def clipboard():
                return windows_clipboard()
        wait_until(lambda: clipboard() == expected, 10, 0.3)
        self.assertEqual(expected, clipboard())
        self.close_box(box)


class FirstPageTest(PageFlow):
    """pay_type 1: the page orders as it opens, with the checked pay type."""

    pay_type = 1
    title = "Parvelle pay1 e2e"
    QR = (460, 386, 144, 144)
    ALIPAY = (626, 475)  # mark centres
    WECHAT = (626, 511)

    def test_purchase_to_copied_link(self):
        # The order is made before the page shows: the page stays hidden
        # while a slow createOrder is in flight.
        # (Seen on the screen: the blocked window answers no window query.)
        self.sim.admin("fault", request="createOrder", kind="delay", ms=2500, count=1)
        store_front = self.sample()
        mark = self.sim.mark()
        self.activate()
        first = self.wait_created(mark)
        self.assertLess(distance(store_front, self.sample()), 4, "page shown before its order")
        self.assertTrue(wait_until(lambda: self.pages()[0] == 1, 15, 0.2), "page not shown")
        self.assertGreater(distance(store_front, self.sample()), 12)
        self.assertEqual(1, len(first))
        self.assertEqual({"pay_type": "2", "package_id": "101", "mobile": MOBILE, "type": "1"},
                         {k: first[0][k] for k in ("pay_type", "package_id", "mobile", "type")})
        order_a = self.newest_order()
        self.wait_qr(self.QR, self.sim.url + "/pay/" + order_a)
        # At 100 % too the code is stretched nearest-neighbour: hard black and
        # white modules, no grey of a smoothed stretch.
        self.assertTrue(self.app.wait_still())
        x, y, w, h = self.QR
        ox, oy = self.app.origin()
        colours = {p for row in Shot().region(ox + x, oy + PAGE_Y + y, w, h) for p in row}
        self.assertEqual({(0, 0, 0), (255, 255, 255)}, colours)
        self.assertTrue(self.mark_checked(self.WECHAT))
        self.assertFalse(self.mark_checked(self.ALIPAY))

        # The Copy button of the paid view is not there in the purchase view.
        self.click(597, 228)
        self.round_trip()
        self.assertIsNone(self.message_box())

        # Alipay, clicked on its logo: a new order with pay type 1. Clicks on
        # the QR square while that request blocks are dropped, not replayed.
        self.sim.admin("fault", request="createOrder", kind="delay", ms=2500, count=1)
        mark_b = self.sim.mark()
        self.click(740, 470)
        self.wait_created(mark_b)
        for _ in range(2):
            self.click(530, 458)
            time.sleep(0.3)  # two clicks, not one double click
        # Once the answer is in, a replayed click would order again at once.
        self.assertTrue(wait_until(lambda: all(e["status"] for e in self.sim.log(mark_b)
                                               if e["name"] == "createOrder"), 10, 0.1))
        self.assertTrue(self.app.wait_still())
        created = self.created_since(mark_b)
        self.assertEqual(["1"], [q["pay_type"] for q in created])
        order_b = self.newest_order()
        self.assertNotEqual(order_a, order_b)
        self.wait_qr(self.QR, self.sim.url + "/pay/" + order_b)
        self.assertTrue(self.mark_checked(self.ALIPAY))
        self.assertFalse(self.mark_checked(self.WECHAT))

        # The first order is never polled again once the second is asked for,
        # even once it is paid.
        asked = [e["seq"] for e in self.sim.log(mark_b) if e["name"] == "createOrder"][0]
        paid = self.sim.mark()
        self.sim.admin("pay", order_no=order_a)
        # Two polls of the second order since: time for a watch of the first
        # to have asked as well.
        self.assertTrue(wait_until(lambda: self.polled_since(paid).count(order_b) >= 2, 15, 0.2))
        self.assertNotIn(order_a, self.polled_since(asked))
        self.assertIn(order_b, self.polled_since(asked))
        self.assertFalse(self.shows_paid_view())

        # Reopened from the history, the unpaid second order is ordered again
        # with the pay type that is checked, Alipay, so mark and code agree.
        self.click_client(*MY_ORDERS)
        self.assertTrue(wait_until(lambda: self.pages() == [0, 1, 0], 15, 0.2), "no history")
        self.assertTrue(self.app.wait_still())
        mark_c = self.sim.mark()
        self.click_client(*NEWEST_ORDER_DETAILS)
        created = self.wait_created(mark_c)
        self.assertEqual(("1", "101"), (created[0]["pay_type"], created[0]["package_id"]))
        self.assertTrue(wait_until(lambda: self.pages() == [1, 0, 0], 15, 0.2), "page not shown")
        order_c = self.newest_order()
        self.wait_qr(self.QR, self.sim.url + "/pay/" + order_c)
        self.assertTrue(self.mark_checked(self.ALIPAY))

        # Paid: the paid view, then Copy puts the order's link on the clipboard.
        self.sim.admin("pay", order_no=order_c)
        self.assertTrue(wait_until(self.shows_paid_view, 15, 0.3), "no paid view")
        self.check_copy((597, 228), self.sim.url + "/download/" + order_c)

        # Where the QR square and the choices were, the paid view reacts to nothing.
        mark_d = self.sim.mark()
        self.click(530, 458)
        self.click(626, 475)
        self.round_trip()
        self.assertEqual([], self.created_since(mark_d))
        self.assertTrue(self.shows_paid_view())


class SecondPageTest(PageFlow):
    """pay_type 2: the page with its own selector orders only on a click."""

    pay_type = 2
    title = "Parvelle pay2 e2e"
    QR = (473, 323, 144, 144)
    ALIPAY = (634, 366)
    SELECTOR_ID = 6662

    def selector_visible(self):
        page = self.page_hwnd(2)
        for c in self.dialog()["children"]:
            if c["id"] == self.SELECTOR_ID and c["parent"] == page:
                return c["visible"]
        return None

    def selector_text(self):
        d = self.dialog()
        selector = [c for c in d["children"]
                    if c["id"] == self.SELECTOR_ID and c["parent"] == self.page_hwnd(2)][0]
        return [c["text"] for c in d["children"] if c["parent"] == selector["hwnd"]][0]

    def test_purchase_with_the_selector(self):
        mark = self.sim.mark()
        self.activate()
        self.assertTrue(wait_until(lambda: self.pages()[2] == 1, 15, 0.2), "page not shown")
        self.round_trip()
        self.assertEqual([], self.created_since(mark))
        self.assertTrue(self.shows_placeholder(self.QR))
        self.assertEqual(1, self.selector_visible())

        # A click in the QR square orders the selector's package, WeChat Pay.
        mark = self.sim.mark()
        self.click(500, 340)
        created = self.wait_created(mark)
        self.assertEqual(("2", "101"), (created[0]["pay_type"], created[0]["package_id"]))
        order_c = self.newest_order()
        self.wait_qr(self.QR, self.sim.url + "/pay/" + order_c)

        # Another package in the selector: the QR code goes, the watch stops.
        # (Without a window manager Wine holds each show and hide of the
        # pop-up list for up to 2 s.)
        windows = len(self.app.visible_windows())
        self.click(760, 77)
        self.assertTrue(wait_until(lambda: len(self.app.visible_windows()) > windows, 10, 0.1),
                        "the package list did not open")
        self.click(600, 90 + 30 + 15)
        self.assertTrue(wait_until(lambda: self.selector_text() == "季度会员（3个月）", 10, 0.3),
                        "the second package was not chosen")
        self.assertTrue(wait_until(lambda: self.shows_placeholder(self.QR), 5, 0.3),
                        "the QR code stayed after another package was chosen")
        # A poll already on its way when the watch stopped lands first: the
        # window thread has handled the choice, and the simulator has seen
        # its own request after it.
        self.round_trip()
        self.sim.mark()
        mark = self.sim.mark()
        # Over two of the watch's 2 s pauses, no poll reaches the store.
        self.assertIsNone(wait_until(lambda: self.polled_since(mark), 4.5, 0.3),
                          "the watch of the replaced order still polls")

        # Alipay orders the chosen package at once, with pay type 1.
        self.click(*self.ALIPAY)
        created = self.wait_created(mark)
        self.assertEqual(("1", "102"), (created[0]["pay_type"], created[0]["package_id"]))
        order_d = self.newest_order()
        self.wait_qr(self.QR, self.sim.url + "/pay/" + order_d)

        # Paid: the selector goes, the help link is copied from the second row.
        self.sim.admin("pay", order_no=order_d)
        self.assertTrue(wait_until(self.shows_paid_view, 15, 0.3), "no paid view")
        self.assertEqual(0, self.selector_visible())
        self.check_copy((597, 277), self.sim.url + "/help/102")


if __name__ == "__main__":
    unittest.main(verbosity=2)
