"""End-to-end tests of the main window: the real parvelle.exe under Wine on
the test display, against the store simulator, with real pointer and key
input. One started program serves the store-front checks in order."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (App, MainWindowQueries, SHIPPED_EXE, SOURCE_DIR,  # noqa: E402
                         TEST_INPUTS_EXE, Shot, Sim, child, distance, main_dialog,
                         patch_mean, picture_rgb, probe, wait_until, wine_desktop_display,
                         xdotool)

TITLE_STRIP = (0x27, 0x2E, 0x48)
PICTURES = os.path.join(SOURCE_DIR, "tools", "store_sim", "pictures")
SKIN = os.path.join(SOURCE_DIR, "resources", "png")


def park_pointer():
    # Top-left corner of the screen, outside the window.
    xdotool("mousemove", 0, 0)


def mismatches(shot, ox, oy, rect, picture, tolerance=4):
    """Pixels of the client rectangle (x, y, w, h) that differ from the
    picture (width, height, rgb) drawn 1:1 at its top-left corner."""
    x0, y0, w, h = rect
    pw, _, rgb = picture
    bad = 0
    for j in range(h):
        for i in range(w):
            k = (j * pw + i) * 3
            if distance(shot.pixel(ox + x0 + i, oy + y0 + j), rgb[k:k + 3]) > tolerance:
                bad += 1
    return bad



class StoreFrontTest(MainWindowQueries, unittest.TestCase):
    """Start-up, painting, hover, the mobile number, a second instance and
    Escape, on one running program (tests run in name order)."""

    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        cls.mark = cls.sim.mark()
        cls.title = "Parvelle 商店 e2e"
        park_pointer()
        # After the first paint, and the selector's posted initial choice.
        cls.app = App(cls.sim, cls.title).show_store_front()

    @classmethod
    def tearDownClass(cls):
        cls.app.cleanup()

    def test_1_start_up_requests(self):
        names = [n for n in self.sim.names_since(self.mark) if n != "picture"]
        self.assertEqual(["getProductList", "getGroupConfig", "statisticsTap"], names)

    def test_2_store_front_pixels(self):
        park_pointer()
        ox, oy = self.app.origin()
        # Once the pointer has gone, the close button shows its normal frame.
        close = picture_rgb(os.path.join(SKIN, "133_close.png"), (24, 24, 0, 0), "#272E48")

        def close_normal():
            shot = Shot()
            return shot if mismatches(shot, ox, oy, (770, 0, 24, 24), close) == 0 else None
        shot = wait_until(close_normal, 5)
        self.assertIsNotNone(shot, "the close button keeps its hovered frame")
        # Title strip, left of the name and right of the logo.
        for x in (30, 60, 200, 560):
            for y in (2, 12, 21):
                self.assertEqual(TITLE_STRIP, shot.pixel(ox + x, oy + y), (x, y))
        # Logo: the group configuration's picture scaled to 24 x 24.
        logo = picture_rgb(os.path.join(PICTURES, "logo_1.png"))
        lw = logo[0]
        want = patch_mean(lambda x, y: tuple(logo[2][(y * lw + x) * 3:(y * lw + x) * 3 + 3]),
                          8, 8, 32)
        got = patch_mean(lambda x, y: shot.pixel(ox + x, oy + y), 4, 4, 16)
        self.assertLess(distance(want, got), 24, (want, got))
        # Product picture: 800 x 411 drawn at (0, 24) 802 pixels wide.
        product = picture_rgb(os.path.join(PICTURES, "product_1.png"))
        pw = product[0]

        def source(x, y):
            sx, sy = x * 800 // 802, (y - 24) * 411 // 412
            k = (sy * pw + sx) * 3
            return tuple(product[2][k:k + 3])
        for x, y in ((60, 60), (300, 120), (420, 300), (700, 400), (100, 410)):
            want = patch_mean(source, x, y)
            got = patch_mean(lambda a, b: shot.pixel(ox + a, oy + b), x, y)
            self.assertLess(distance(want, got), 12, ((x, y), want, got))
        # Bottom strip at (0, 435), where neither selector nor edit covers it.
        strip = picture_rgb(os.path.join(SKIN, "167_bottom_strip.png"))
        self.assertEqual(0, mismatches(shot, ox, oy, (0, 435, 148, 40), strip))
        strip_mid = picture_rgb(os.path.join(SKIN, "167_bottom_strip.png"), (130, 40, 440, 0))
        self.assertEqual(0, mismatches(shot, ox, oy, (440, 435, 130, 40), strip_mid))
        # The action button in its normal frame.
        activate = picture_rgb(os.path.join(SKIN, "163_activate.png"), (220, 80, 0, 0))
        self.assertEqual(0, mismatches(shot, ox, oy, (280, 492, 220, 80), activate))

    def test_3_title_and_name(self):
        self.assertEqual(self.title, self.dialog()["title"])
        shot = Shot()
        ox, oy = self.app.origin()
        # The product name, light on the strip, centred in x 80..680.
        bright = sum(1 for y in range(2, 22) for x in range(300, 460)
                     if min(shot.pixel(ox + x, oy + y)) > 180)
        self.assertGreater(bright, 40)
        # The selector shows the first package.
        selector = child(self.dialog(), 6661)
        texts = [c["text"] for c in self.dialog()["children"] if c["parent"] == selector["hwnd"]]
        self.assertEqual(["月度会员（1个月）"], texts)

    def test_4_hover_and_leave(self):
        close = picture_rgb(os.path.join(SKIN, "133_close.png"), (24, 24, 0, 0), "#272E48")
        hovered = picture_rgb(os.path.join(SKIN, "133_close.png"), (24, 24, 24, 0), "#272E48")
        rect = (770, 0, 24, 24)
        self.app.move_to(782, 12)
        shown = wait_until(lambda: mismatches(Shot(), *self.app.origin(), rect, hovered) == 0, 5)
        self.assertTrue(shown, "close button does not show its hovered frame")
        park_pointer()
        cleared = wait_until(lambda: mismatches(Shot(), *self.app.origin(), rect, close) == 0, 5)
        self.assertTrue(cleared, "leaving the window keeps the hover frame")

    def test_5_second_instance(self):
        mark = self.sim.mark()
        second = App(self.sim, "Parvelle second").start(second_instance=True)
        try:
            code, seen = second.wait_exit(30, watch_windows=True)
            self.assertIsNotNone(code, "second instance still running")
            self.assertFalse(seen)
            self.assertEqual([], self.sim.names_since(mark))
        finally:
            second.cleanup()
        self.assertIsNone(self.app.proc.poll())

    def type_number(self, text):
        self.app.click(650, 459)
        xdotool("key", "ctrl+a", "BackSpace")
        xdotool("type", "--delay", "20", text)

    def message_box(self):
        hwnd = self.dialog()["hwnd"]
        for w in probe():
            if w["class"] == "#32770" and w["owner"] == hwnd and w["visible"]:
                return w
        return None

    def test_6_invalid_number_shows_the_box(self):
        for text in ("1380013800", "23800138000"):
            self.type_number(text)
            self.app.click(390, 530)
            box = wait_until(self.message_box, 10, 0.2)
            self.assertIsNotNone(box, text)
            self.assertEqual("", box["title"])
            self.assertIn("手机格式错误！", [c["text"] for c in box["children"]])
            buttons = [c for c in box["children"] if c["class"] == "Button" and c["visible"]]
            self.assertEqual(1, len(buttons))
            ok = buttons[0]["rect"]
            xdotool("mousemove", (ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2)
            xdotool("click", 1)
            self.assertTrue(wait_until(lambda: self.message_box() is None, 10, 0.2))
            d = self.dialog()
            self.assertEqual(1, child(d, 1000)["visible"])
            self.assertEqual(1, child(d, 6661)["visible"])

    def test_7_valid_number_opens_the_order_page(self):
        self.type_number("13800138000")
        self.app.click(390, 530)
        d = wait_until(lambda: (lambda d: d if not child(d, 1000)["visible"] else None)(
            self.dialog()), 10, 0.2)
        self.assertIsNotNone(d, "edit still visible")
        self.assertEqual(0, child(d, 6661)["visible"])
        pages = [c for c in d["children"] if c["class"] == "#32770"]
        self.assertEqual([1, 0, 0], [p["visible"] for p in pages])  # pagePay1 on top
        self.assertIsNone(self.message_box())

    def test_8_escape_ends_the_program(self):
        self.app.click(650, 12)  # between two title buttons, outside the drag zone
        xdotool("key", "Escape")
        self.assertEqual(0, self.app.wait_exit(20))


class DragZoneTest(unittest.TestCase):
    """The title strip left of its buttons moves the window; its own program,
    since a move loop that goes wrong would spoil the other checks."""

    @classmethod
    def setUpClass(cls):
        desktop = wine_desktop_display()
        if desktop and desktop != os.environ.get("DISPLAY"):
            raise unittest.SkipTest("Wine's desktop process runs on display %s, not on the test's "
                                    "%s: its move loop cannot follow the pointer here"
                                    % (desktop, os.environ.get("DISPLAY")))
        park_pointer()
        cls.title = "Parvelle drag e2e"
        cls.app = App(Sim(), cls.title).show_store_front()

    @classmethod
    def tearDownClass(cls):
        cls.app.cleanup()

    def drag_from(self, x, y, dx, dy, follows):
        """Drags from client point (x, y) by (dx, dy); with `follows`, lets go
        once the window has followed the pointer there."""
        ox, oy = self.app.origin()
        xdotool("mousemove", ox + x, oy + y)
        xdotool("mousedown", 1)
        for step in range(1, 6):
            time.sleep(0.05)  # one motion at a time, as a hand moves
            xdotool("mousemove", ox + x + dx * step // 5, oy + y + dy * step // 5)
        if follows:
            wait_until(lambda: self.app.origin() == (ox + dx, oy + dy), 3)
        xdotool("mouseup", 1)

    def input_handled(self):
        """Waits until the window has handled the input sent before: the close
        button shows its hovered frame once the pointer reaches it."""
        hovered = picture_rgb(os.path.join(SKIN, "133_close.png"), (24, 24, 24, 0), "#272E48")
        self.app.move_to(782, 12)
        shown = wait_until(lambda: mismatches(Shot(), *self.app.origin(), (770, 0, 24, 24),
                                              hovered) == 0, 5)
        park_pointer()
        return shown

    def test_drag_zone(self):
        before = self.app.origin()
        self.drag_from(579, 10, 60, 40, follows=True)
        moved = wait_until(lambda: self.app.origin() != before and self.app.origin(), 3)
        self.assertEqual((before[0] + 60, before[1] + 40), moved)
        # One pixel right of the zone: no drag, and no element there.
        self.drag_from(580, 10, 60, 40, follows=False)
        self.assertTrue(self.input_handled())
        self.assertEqual(moved, self.app.origin())
        self.assertIsNotNone(main_dialog(self.title))


class CloseButtonTest(unittest.TestCase):
    def test_close_ends_the_program(self):
        sim = Sim()
        park_pointer()
        app = App(sim, "Parvelle close e2e")
        try:
            self.assertTrue(app.start_shown(60))
            app.wait_still()
            app.click(782, 12)
            self.assertEqual(0, app.wait_exit(20))
        finally:
            app.cleanup()


class FailedStartTest(unittest.TestCase):
    """Start-up failures end the program before any window is shown."""

    def setUp(self):
        self.sim = Sim()
        self.sim.admin("faults/clear")

    def tearDown(self):
        self.sim.admin("faults/clear")

    def run_app(self, env=None):
        mark = self.sim.mark()
        exe = TEST_INPUTS_EXE if env else SHIPPED_EXE
        app = App(self.sim, "Parvelle failed e2e", env=env, exe=exe).start()
        try:
            code, seen = app.wait_exit(60, watch_windows=True)
        finally:
            app.cleanup()
        self.assertIsNotNone(code, "program did not end")
        self.assertFalse(seen, "a window was shown")
        return self.sim.log(mark)

    def test_refused_product_list(self):
        self.sim.admin("fault", request="getProductList", kind="status", status=503,
                       body="busy", count=1)
        log = self.run_app()
        self.assertEqual(["getProductList"], [e["name"] for e in log])
        self.assertEqual(503, log[0]["status"])

    def test_no_qualifying_adapter(self):
        log = self.run_app({"PARVELLE_TEST_ADAPTERS": "none"})
        self.assertEqual([], log)

    def test_only_virtual_adapters(self):
        log = self.run_app({"PARVELLE_TEST_ADAPTERS":
                            "6,00:50:56:c0:00:08,VMware Virtual Ethernet Adapter;"
                            "6,00:ff:aa:bb:cc:dd,TAP-Windows Adapter V9"})
        self.assertEqual([], log)


if __name__ == "__main__":
    unittest.main(verbosity=2)
