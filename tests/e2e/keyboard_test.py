"""End to end: buying with the keyboard alone. The real parvelle.exe under
Wine on the test display, against the store simulator, driven by xdotool key
presses only (the pointer stays parked outside the window): the package
chosen in the selector's list, the number typed, 立即激活 pressed with
Space, the pay method switched with the arrows, the link copied, the order
reopened from the history and the program ended with Escape."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (App, MainWindowQueries, Shot, Sim, distance, probe,  # noqa: E402
                         wait_until, xdotool)
from pay_pages_test import PAGE_Y, clipboard_on_our_display, query, windows_clipboard  # noqa: E402

MOBILE = "13800138000"
BLUE = (0x14, 0x73, 0xE6)
PAID_BAND = (0xEA, 0xF8, 0xEF)
SECOND_PACKAGE = "季度会员（3个月）"
# The focus ring's top edge on 立即激活 (element 280, 492 - 500, 572): one
# pixel in, black dots on white.
ACTIVATE_RING = (281, 493, 218)
# The pay methods' marks on the first payment page (page coordinates).
ALIPAY = (626, 475)
WECHAT = (626, 511)


def key(*names):
    for name in names:
        xdotool("key", name)
        time.sleep(0.15)


class KeyboardPurchaseTest(MainWindowQueries, unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        cls.sim.admin("faults/clear")
        cls.sim.admin("auto_pay", seconds=0)
        cls.title = "Parvelle keys e2e"
        xdotool("mousemove", 0, 0)
        cls.app = App(cls.sim, cls.title, pay_type=1).show_store_front()

    @classmethod
    def tearDownClass(cls):
        cls.app.cleanup()

    # --- what the program shows
    def edit_text(self):
        return [c["text"] for c in self.dialog()["children"] if c["id"] == 1000][0]

    def selector_text(self):
        d = self.dialog()
        selector = [c for c in d["children"] if c["id"] == 6661][0]
        return [c["text"] for c in d["children"] if c["parent"] == selector["hwnd"]][0]

    def message_box(self):
        hwnd = self.dialog()["hwnd"]
        for w in probe():
            if w["class"] == "#32770" and w["owner"] == hwnd and w["visible"]:
                return w
        return None

    def ring_dots(self):
        """Black pixels on the top edge of 立即激活's focus ring."""
        x, y, w = ACTIVATE_RING
        ox, oy = self.app.origin()
        shot = Shot()
        return sum(1 for i in range(w) if shot.pixel(ox + x + i, oy + y) == (0, 0, 0))

    def page_pixel(self, x, y):
        ox, oy = self.app.origin()
        return Shot().pixel(ox + x, oy + PAGE_Y + y)

    def created_since(self, mark):
        return [query(e) for e in self.sim.log(mark) if e["name"] == "createOrder"]

    def wait_created(self, mark, count=1):
        found = wait_until(lambda: len(self.created_since(mark)) >= count and
                           self.created_since(mark), 15, 0.1)
        self.assertTrue(found, "no order created")
        return found

    def newest_order(self):
        return self.sim.admin("orders", limit=1)["orders"][0]["order_no"]

    def test_buying_with_the_keyboard(self):
        # Before any key: no ring anywhere, as the mouse tests expect.
        self.assertEqual(0, self.ring_dots())

        # The number goes into the edit, which has the focus at start; Enter
        # there orders nothing and shows nothing.
        # Without a window manager the new window may not hold the X input
        # focus: it is given to it as a desktop's task switch would.
        for _ in range(3):
            xdotool("windowfocus", "--sync", self.app.wid)
            xdotool("type", "--delay", "40", MOBILE)
            if wait_until(lambda: self.edit_text() == MOBILE, 3, 0.2):
                break
            key("ctrl+a", "BackSpace")
        self.assertEqual(MOBILE, self.edit_text(), "the number did not reach the edit")
        mark = self.sim.mark()
        key("Return")
        self.round_trip()
        self.assertEqual([], self.created_since(mark))
        self.assertIsNone(self.message_box())
        self.assertEqual([0, 0, 0], self.pages())

        # The selector, before the edit: Alt+Down opens its list, Down and
        # Enter choose the second package; F4 opens it again and Escape
        # closes it without choosing (and without ending the program).
        windows = len(self.app.visible_windows())
        key("shift+Tab", "alt+Down")
        self.assertTrue(wait_until(lambda: len(self.app.visible_windows()) > windows, 10, 0.1),
                        "Alt+Down did not open the package list")
        key("Down", "Return")
        self.assertTrue(wait_until(lambda: self.selector_text() == SECOND_PACKAGE, 10, 0.2),
                        "the second package was not chosen")
        self.assertTrue(wait_until(lambda: len(self.app.visible_windows()) == windows, 10, 0.1))
        key("F4")
        self.assertTrue(wait_until(lambda: len(self.app.visible_windows()) > windows, 10, 0.1),
                        "F4 did not open the package list")
        key("Up", "Escape")
        self.assertTrue(wait_until(lambda: len(self.app.visible_windows()) == windows, 10, 0.1),
                        "Escape did not close the package list")
        self.assertEqual(SECOND_PACKAGE, self.selector_text())
        self.assertIsNone(self.app.proc.poll(), "Escape in the open list ended the program")

        # Tab past the edit to 立即激活: its ring shows; Shift+Tab takes it
        # away again.
        key("Tab", "Tab")
        self.assertTrue(wait_until(lambda: self.ring_dots() > 50, 5, 0.2), "no focus ring")
        key("shift+Tab")
        self.assertTrue(wait_until(lambda: self.ring_dots() == 0, 5, 0.2), "the ring stayed")
        key("Tab")

        # Space on 立即激活: the page shows with an order for the chosen
        # package and the checked method, WeChat Pay.
        mark = self.sim.mark()
        key("space")
        created = self.wait_created(mark)
        self.assertEqual(("2", "102", MOBILE),
                         (created[0]["pay_type"], created[0]["package_id"], created[0]["mobile"]))
        self.assertTrue(wait_until(lambda: self.pages() == [1, 0, 0], 15, 0.2), "no payment page")
        self.assertTrue(self.app.wait_still())

        # Tab enters the pay methods at the checked one, WeChat Pay, as it
        # enters a group of radio buttons; the arrows move and choose, each
        # choice ordering again.
        mark = self.sim.mark()
        key("Tab")
        self.round_trip()
        self.assertEqual([], self.created_since(mark), "focusing a method ordered")
        key("Down")
        created = self.wait_created(mark)
        self.assertEqual("1", created[0]["pay_type"])
        self.assertTrue(wait_until(lambda: distance(self.page_pixel(*ALIPAY), BLUE) < 40, 10, 0.2),
                        "Alipay not checked")
        key("Up")
        created = self.wait_created(mark, 2)
        self.assertEqual(["1", "2"], [q["pay_type"] for q in created])
        # A method checked meanwhile by the mouse is not ordered again when
        # an arrow reaches it: from WeChat Pay, Alipay is only focused, the
        # next arrow chooses WeChat Pay.
        self.assertTrue(self.app.wait_still())
        ox, oy = self.app.origin()
        mark = self.sim.mark()
        xdotool("mousemove", ox + ALIPAY[0], oy + PAGE_Y + ALIPAY[1], "click", 1)
        xdotool("mousemove", 0, 0)
        self.wait_created(mark)
        key("Down", "Down")
        created = self.wait_created(mark, 2)
        self.assertEqual(["1", "2"], [q["pay_type"] for q in created])
        self.assertTrue(wait_until(lambda: distance(self.page_pixel(*WECHAT), BLUE) < 40, 10, 0.2),
                        "WeChat Pay not checked")
        self.assertGreater(distance(self.page_pixel(*ALIPAY), BLUE), 40)
        self.assertTrue(self.app.wait_still())
        order = self.newest_order()

        # Paid: Tab to the first row's Copy and Space puts the link on the
        # clipboard; Enter closes the confirmation.
        self.sim.admin("pay", order_no=order)
        self.assertTrue(wait_until(lambda: distance(self.page_pixel(20, 100), PAID_BAND) < 8, 15,
                                   0.3), "no paid view")
        self.assertTrue(self.app.wait_still())
        key("Tab", "Tab", "space")
        box = wait_until(self.message_box, 10, 0.2)
        self.assertIsNotNone(box, "no confirmation after Copy")
        self.assertIn("复制成功", [c["text"] for c in box["children"]])
        expected = self.sim.url + "/download/" + order
        if clipboard_on_our_display():
            import subprocess

            def clipboard():
                return subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                      capture_output=True, timeout=10).stdout.decode("utf-8")
        else:
            clipboard = windows_clipboard
        self.assertTrue(wait_until(lambda: clipboard() == expected, 10, 0.3),
                        "the link is not on the clipboard")
        key("Return")
        self.assertTrue(wait_until(lambda: self.message_box() is None, 10, 0.2))

        # From Copy on: the help row's Open and Copy, 联系客服, 我的订单.
        key("Tab", "Tab", "Tab", "Tab", "space")
        self.assertTrue(wait_until(lambda: self.pages() == [0, 1, 0], 15, 0.2), "no history")
        self.assertTrue(self.app.wait_still())

        # Back, then the newest order's View details: its paid view.
        key("Tab", "Tab", "space")
        self.assertTrue(wait_until(lambda: self.pages() == [1, 0, 0], 15, 0.2),
                        "the order did not open")
        self.assertTrue(wait_until(lambda: distance(self.page_pixel(20, 100), PAID_BAND) < 8, 15,
                                   0.3), "the order did not open in its paid view")

        # Escape still ends the program.
        key("Escape")
        self.assertIsNotNone(self.app.wait_exit(30), "Escape did not end the program")


if __name__ == "__main__":
    unittest.main(verbosity=2)
