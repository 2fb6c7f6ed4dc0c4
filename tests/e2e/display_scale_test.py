"""End-to-end test of the program at 150 % and 200 % display scale: the real
parvelle.exe under Wine in a prefix of each scale (LogPixels 144 and 192,
prepared by scripts/wine-prefix.sh --dpi), on an Xvfb display of its own
large enough for a 1600 x 1200 window, against the store simulator. One flow
per scale: the window's size and place, pictures and text at scaled points,
the package list, an order from the scaled edit and button, the QR code read
off the screen, and the history's pager and View details."""

import json
import os
import ssl
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "support"))
import harness  # noqa: E402
from e2e_support import (App, SOURCE_DIR, Shot, Sim, distance, main_dialog,  # noqa: E402
                         patch_mean, picture_rgb, wait_until, xdotool)
import e2e_support  # noqa: E402

SCREEN = (2048, 1536)
TITLE_STRIP = (0x27, 0x2E, 0x48)
TITLE_TEXT = (0xF6, 0xF6, 0xF6)
PICTURES = os.path.join(SOURCE_DIR, "tools", "store_sim", "pictures")
MOBILE = "13912345678"
PAGE_Y = 24
QR_SQUARE = (460, PAGE_Y + 386, 604, PAGE_Y + 530)  # the first payment page's
SELECTOR = (150, 444, 436, 469)
# The product name in the title strip, where no button covers it.
TITLE_TEXT_BOX = (260, 2, 500, 22)


def to_device(v, dpi):
    """The program's logical-to-device rule: the first pixel whose centre
    lies on or past the edge."""
    return -((-(2 * v * dpi - 96)) // 192)


def query(entry):
    return dict(urllib.parse.parse_qsl(entry["query"]))


def edge_per_ink(rgb_at, box):
    """Of the title text in `box`, its edge pixels (between strip and text
    colour) per pixel's worth of text colour. Text drawn at the screen's
    resolution keeps its edges about a pixel wide while its strokes thicken,
    so the figure falls as the scale grows; a picture stretched from 100 %
    keeps it (nearest neighbour) or raises it (blur)."""
    edge = 0
    ink = 0.0
    x0, y0, x1, y1 = box
    for y in range(y0, y1):
        for x in range(x0, x1):
            p = rgb_at(x, y)
            t = sum((p[c] - TITLE_STRIP[c]) / (TITLE_TEXT[c] - TITLE_STRIP[c])
                    for c in range(3)) / 3
            t = min(max(t, 0.0), 1.0)
            ink += t
            if 0.1 < t < 0.9:
                edge += 1
    return edge / max(ink, 1.0)


def image_rgb_at(path):
    w, _, rgb = picture_rgb(path)
    return lambda x, y: tuple(rgb[(y * w + x) * 3:(y * w + x) * 3 + 3])



class DisplayScaleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        cls.sim.admin("faults/clear")
        cls.sim.admin("auto_pay", seconds=0)
        cls.ctx = ssl.create_default_context(cafile=cls.sim.info["ca_file"])
        cls.catalogue = [101, 102, 103, 104, 105]
        cls.tmp = tempfile.mkdtemp(prefix="dpi-e2e-")
        # The 100 % reference of the title text, on the suite's own display.
        app = App(cls.sim, "Parvelle dpi 96")
        try:
            if not app.start_shown(60):
                raise AssertionError("the store front never appeared at 96 DPI")
            app.wait_still()
            ref = os.path.join(cls.tmp, "title-96.png")
            ox, oy = app.origin()
            x0, y0, x1, y1 = TITLE_TEXT_BOX
            subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" %
                            (x1 - x0, y1 - y0, ox + x0, oy + y0), "+repage", "PNG24:" + ref],
                           check=True)
            cls.reference = ref
            cls.edges96 = edge_per_ink(image_rgb_at(ref), (0, 0, x1 - x0, y1 - y0))
        finally:
            app.cleanup()
        cls.suite_display = os.environ.get("DISPLAY")
        cls.suite_prefix = e2e_support.WINEPREFIX
        cls.xvfb = harness.start_xvfb("%dx%dx24" % SCREEN)

    @classmethod
    def tearDownClass(cls):
        harness.stop(cls.xvfb)
        if cls.suite_display:
            os.environ["DISPLAY"] = cls.suite_display
        e2e_support.WINEPREFIX = cls.suite_prefix
        subprocess.run(["rm", "-rf", cls.tmp])

    def api(self, name, **params):
        url = "%s/api/ps/%s?%s" % (self.sim.url, name, urllib.parse.urlencode(params))
        with urllib.request.urlopen(url, context=self.ctx, timeout=20) as r:
            answer = json.loads(r.read().decode())
        self.assertEqual(1000, answer["status_code"], answer)
        return answer["data"]

    def requests_since(self, mark, name):
        return [query(e) for e in self.sim.log(mark) if e["name"] == name]

    def test_store_front_order_qr_and_history_at_150_and_200_percent(self):
        for dpi in (144, 192):
            with self.subTest(dpi=dpi):
                self.run_at(dpi)

    def run_at(self, dpi):
        prefix = harness.wine_prefix(None, dpi)
        e2e_support.WINEPREFIX = prefix
        os.environ["DISPLAY"] = self.xvfb.display
        # Wine's desktop process of this prefix starts now, on this display.
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p5"], env=e2e_support.wine_env(), **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=e2e_support.wine_env(), **quiet)

        def dev(v):
            return to_device(v, dpi)

        def at(x, y):
            """The device point of logical point (x, y), a pixel's centre."""
            return dev(x), dev(y)

        title = "Parvelle dpi %d" % dpi
        xdotool("mousemove", 0, 0)
        # No orders yet: the history's pager has the two pages made below.
        self.sim.admin("reset")
        mark = self.sim.mark()
        app = App(self.sim, title)
        try:
            self.assertTrue(app.start_shown(60), "no window at %d DPI" % dpi)
            self.wait_still(app, dev(600))

            # 800 x 600 logical, centred on the screen.
            geometry = xdotool("getwindowgeometry", app.wid)
            self.assertIn("Geometry: %dx%d" % (dev(800), dev(600)), geometry)
            ox, oy = app.origin()
            self.assertLessEqual(abs(ox - (SCREEN[0] - dev(800)) // 2), 1, geometry)
            self.assertLessEqual(abs(oy - (SCREEN[1] - dev(600)) // 2), 1, geometry)

            shot = Shot()

            def screen(x, y):
                return shot.pixel(ox + x, oy + y)
            for x, y in ((300, 5), (560, 18), (30, 12)):
                self.assertLess(distance(screen(dev(x) + 2, dev(y)), TITLE_STRIP), 8, (x, y))
            # The product picture (800 x 411) from y 24, 802 logical pixels wide.
            product = image_rgb_at(os.path.join(PICTURES, "product_1.png"))

            def source(x, y):
                return product(x * 800 // 802, (y - 24) * 411 // 412)
            for x, y in ((60, 60), (300, 120), (420, 300), (700, 400), (100, 410)):
                want = patch_mean(source, x, y, 8)
                got = patch_mean(lambda a, b: screen(a, b), dev(x), dev(y), dev(8))
                self.assertLess(distance(want, got), 12, ((x, y), want, got))
            # Text drawn at the screen's resolution, not a stretched picture.
            x0, y0, x1, y1 = TITLE_TEXT_BOX
            # Sharp text is at 5/6 of the 100 % figure at 150 % and 2/3 at
            # 200 %; a stretched picture at 0.96 or more.
            limit = self.edges96 * 0.9
            edges = edge_per_ink(screen, (dev(x0), dev(y0), dev(x1), dev(y1)))
            self.assertLess(edges, limit, (dpi, self.edges96, edges))
            for resize in (["-filter", "point"], ["-filter", "triangle"]):
                stretched = os.path.join(self.tmp, "stretched.png")
                subprocess.run(["convert", self.reference] + resize +
                               ["-resize", "%d%%" % (100 * dpi // 96), "PNG24:" + stretched],
                               check=True)
                w, h, _ = picture_rgb(stretched)
                self.assertGreater(edge_per_ink(image_rgb_at(stretched), (0, 0, w, h)), limit,
                                   "the check must tell a stretched picture apart")

            # The package list opens below the selector at the scaled size.
            left, top, right, bottom = SELECTOR
            app.click(*at(right - 15, (top + bottom) // 2))
            lists = wait_until(lambda: [w for w in app.visible_windows() if w != app.wid], 10)
            self.assertTrue(lists, "the package list did not open")
            drop = xdotool("getwindowgeometry", lists[0])
            self.assertIn("Position: %d,%d" % (ox + dev(left), oy + dev(bottom)), drop)
            self.assertIn("Geometry: %dx%d" % (dev(right) - dev(left),
                                               dev(len(self.catalogue) * 30 + 1)), drop)
            # The third package, in the middle of its row.
            app.click(*at(300, bottom + 2 * 30 + 15))
            self.assertTrue(wait_until(
                lambda: [w for w in app.visible_windows() if w != app.wid] == [], 10),
                "the package list did not close on a choice")

            # The number typed into the scaled edit; the scaled button orders.
            app.click(*at(650, 459))
            xdotool("type", "--delay", "20", MOBILE)
            app.click(*at(390, 530))
            created = wait_until(lambda: self.requests_since(mark, "createOrder"), 20, 0.1)
            self.assertTrue(created, "no order at %d DPI" % dpi)
            self.assertEqual(MOBILE, created[0]["mobile"])
            self.assertEqual(str(self.catalogue[2]), created[0]["package_id"])
            order_no = self.sim.admin("orders", limit=1)["orders"][0]["order_no"]
            self.check_qr(app, dev(QR_SQUARE[0]), dev(QR_SQUARE[1]),
                          dev(QR_SQUARE[2]) - dev(QR_SQUARE[0]), self.sim.url + "/pay/" + order_no)

            # A second page of orders for this machine.
            mac = created[0]["mac"]
            for i in range(13):
                self.api("createOrder", mac=mac, type=1, channel="master", pay_type=2,
                         package_id=self.catalogue[i % 5], mobile=MOBILE)
            mark = self.sim.mark()
            app.click(*at(688, 12))  # My orders
            self.assertTrue(wait_until(lambda: self.requests_since(mark, "orderList"), 20, 0.1))
            self.wait_still(app, dev(600))
            # The pager's "2" (cells 26 wide from x 623 at y 520 of the page).
            mark = self.sim.mark()
            app.click(*at(675 + 13, PAGE_Y + 520 + 13))
            pages = wait_until(lambda: self.requests_since(mark, "orderList"), 20, 0.1)
            self.assertTrue(pages, "the pager did not react at %d DPI" % dpi)
            self.assertEqual("2", pages[0]["page"])
            self.wait_still(app, dev(600))
            # View details of the first row opens the order on the payment page.
            app.click(*at(73 + 490 + 50 + 36, PAGE_Y + 64 + 36 + 18))

            def pay_page_shown():
                d = main_dialog(title)
                return d and [p["visible"] for p in d["children"]
                              if p["class"] == "#32770"] == [1, 0, 0]
            self.assertTrue(wait_until(pay_page_shown, 20, 0.2),
                            "View details did not react at %d DPI" % dpi)
        finally:
            app.cleanup()

    def wait_still(self, app, height):
        """Until two screenshots in a row show the whole window alike."""
        last = []

        def still():
            now = app.client_pixels(height * 4 // 3, height)
            same = bool(last) and now == last[-1]
            last[:] = [now]
            return same
        self.assertTrue(wait_until(still, 10), "the window never stood still")

    def check_qr(self, app, x, y, side, text):
        """The QR square at device (x, y, side): it reads `text`, and every
        module is the same whole number of pure black or white pixels."""
        crop = os.path.join(self.tmp, "qr.png")
        big = os.path.join(self.tmp, "qr-big.png")

        def read():
            ox, oy = app.origin()
            subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" %
                            (side, side, ox + x, oy + y), "+repage", "PNG24:" + crop], check=True)
            subprocess.run(["convert", crop, "-bordercolor", "white", "-border", "24", big],
                           check=True)
            out = subprocess.run(["zbarimg", "--raw", "-q", big], capture_output=True, text=True)
            return out.stdout.strip() if out.returncode == 0 else None
        self.assertEqual(text, wait_until(lambda: read() == text and text, 15, 0.3),
                         "the QR square reads %r" % read())
        # The page may still be sliding in: the pixels once it stands still.
        self.wait_still(app, side * 600 // 144)
        self.assertEqual(text, read())
        w, h, rgb = picture_rgb(crop)
        # The keyboard's focus ring may run just inside the square's edge.
        edge = 3
        dark = [(i % w, i // w) for i in range(w * h) if rgb[i * 3] < 128 and
                edge <= i % w < w - edge and edge <= i // w < h - edge]
        left = min(p[0] for p in dark)
        right = max(p[0] for p in dark) + 1
        top = min(p[1] for p in dark)
        self.assertTrue(any((right - left) % n == 0 and (right - left) // n == side // n
                            for n in range(21, 178, 4)), (left, right, side))
        for j in range(top, top + right - left):
            for i in range(left, right):
                p = tuple(rgb[(j * w + i) * 3:(j * w + i) * 3 + 3])
                self.assertIn(p, ((0, 0, 0), (255, 255, 255)), (i, j))


if __name__ == "__main__":
    unittest.main()
