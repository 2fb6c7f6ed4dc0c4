"""End to end through the user's proxy: the real parvelle.exe under Wine, with
the proxy set where Windows keeps it (the Internet Settings values and the
binary DefaultConnectionSettings of this Wine prefix's current user), against
the store simulator and its test proxy (tools/store_sim/proxy.py). A manual
proxy carries the start-up, an order, its payment and the history through
CONNECT tunnels; a refusing proxy ends the start as a down network does."""

import json
import os
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (App, MainWindowQueries, Shot, Sim, distance,  # noqa: E402
                         wait_for_no_instance, wait_until, wine_env, xdotool)
from pay_pages_test import MOBILE, MY_ORDERS, PAGE_Y, PAID_BAND  # noqa: E402

PROXY_DIR = os.environ.get("PARVELLE_PROXY_DIR", "")
SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
CONNECTIONS = SETTINGS + r"\Connections"
# Proxy variables of the environment would win over the settings under test.
NO_PROXY_VARIABLES = {name: "" for name in ("https_proxy", "HTTPS_PROXY", "all_proxy",
                                            "ALL_PROXY")}


def reg(*args):
    subprocess.run(["wine", "reg"] + list(args), env=wine_env(), check=False,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def set_proxy(server, bypass):
    """A manual proxy in both forms Windows keeps it."""
    reg("add", SETTINGS, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f")
    reg("add", SETTINGS, "/v", "ProxyServer", "/t", "REG_SZ", "/d", server, "/f")
    reg("add", SETTINGS, "/v", "ProxyOverride", "/t", "REG_SZ", "/d", bypass, "/f")
    blob = struct.pack("<III", 0x46, 1, 1 | 2)
    for text in (server, bypass, ""):
        blob += struct.pack("<I", len(text)) + text.encode("ascii")
    reg("add", CONNECTIONS, "/v", "DefaultConnectionSettings", "/t", "REG_BINARY", "/d",
        (blob + b"\0" * 32).hex(), "/f")


def clear_proxy():
    for name in ("ProxyEnable", "ProxyServer", "ProxyOverride"):
        reg("delete", SETTINGS, "/v", name, "/f")
    reg("delete", CONNECTIONS, "/v", "DefaultConnectionSettings", "/f")


class Proxy:
    def __init__(self):
        with open(os.path.join(PROXY_DIR, "proxy.json")) as f:
            self.info = json.load(f)

    def via(self, mode):
        return "%s:%d" % (self.info["host"], self.info[mode])

    def log(self):
        with open(self.info["log"]) as f:
            return [json.loads(line) for line in f if line.strip()]


class ProxyEndToEndTest(MainWindowQueries, unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()
        cls.sim.admin("faults/clear")
        cls.sim.admin("auto_pay", seconds=0)
        cls.proxy = Proxy()
        cls.store = "localhost:%d" % cls.sim.port

    @classmethod
    def tearDownClass(cls):
        clear_proxy()

    def setUp(self):
        self.app = None
        self.sim_mark = self.sim.mark()
        self.log_mark = len(self.proxy.log())

    def tearDown(self):
        if self.app:
            self.app.cleanup()

    def new_tunnels(self):
        return self.proxy.log()[self.log_mark:]

    def page_pixel(self, x, y):
        ox, oy = self.app.origin()
        return Shot().pixel(ox + x, oy + PAGE_Y + y)

    def click(self, x, y):
        self.app.move_to(x, y)
        time.sleep(0.15)
        xdotool("click", 1)

    def edit_text(self):
        return [c["text"] for c in self.dialog()["children"] if c["id"] == 1000][0]

    def test_1_purchase_through_the_proxy(self):
        set_proxy(self.proxy.via("tunnel"), "<-loopback>")
        self.title = "Parvelle proxy e2e"
        xdotool("mousemove", 0, 0)
        self.app = App(self.sim, self.title, pay_type=1, env=NO_PROXY_VARIABLES)
        self.assertTrue(self.app.start_shown(60), "the store front never appeared")
        self.app.wait_still()
        names = [n for n in self.sim.names_since(self.sim_mark) if n != "picture"]
        self.assertEqual(["getProductList", "getGroupConfig", "statisticsTap"], names)

        # An order, paid, then the history.
        for _ in range(3):
            self.click(650, 459)
            xdotool("key", "ctrl+a", "BackSpace")
            xdotool("type", "--delay", "20", MOBILE)
            if wait_until(lambda: self.edit_text() == MOBILE, 3, 0.2):
                break
        mark = self.sim.mark()
        self.click(390, 530)
        self.assertTrue(wait_until(lambda: "createOrder" in self.sim.names_since(mark), 15, 0.2),
                        "no order through the proxy")
        order = self.sim.admin("orders", limit=1)["orders"][0]["order_no"]
        self.sim.admin("pay", order_no=order)
        self.assertTrue(wait_until(lambda: distance(self.page_pixel(20, 100), PAID_BAND) < 8, 15,
                                   0.3), "no paid view")
        self.click(*MY_ORDERS)
        self.assertTrue(wait_until(lambda: "orderList" in self.sim.names_since(mark), 15, 0.2),
                        "no history through the proxy")
        names = self.sim.names_since(mark)
        self.assertEqual("createOrder", names[0])
        self.assertIn("orderDetail", names)

        # Every connection the store saw came through a tunnel to it: the
        # user-interface thread's one and the payment watch's one.
        tunnels = self.new_tunnels()
        self.assertTrue(tunnels, "no tunnel")
        self.assertEqual([("tunnel", self.store, 200)] * len(tunnels),
                         [(t["mode"], t["target"], t["status"]) for t in tunnels])
        connections = {e["conn"] for e in self.sim.log(self.sim_mark)}
        self.assertEqual(len(connections), len(tunnels), tunnels)
        self.assertEqual(2, len(tunnels), tunnels)

    def test_2_refusing_proxy_ends_the_start_silently(self):
        # A user name and password in the setting are never used nor shown.
        set_proxy("user:secret@" + self.proxy.via("refuse"), "<-loopback>")
        self.app = App(self.sim, "Parvelle refused e2e")
        wait_for_no_instance()
        debugger = os.path.join(self.app.dir, "debugger.txt")
        started = time.monotonic()
        with open(debugger, "wb") as lines:
            self.app.proc = subprocess.Popen(
                ["wine", self.app.exe], cwd=self.app.dir, stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=lines,
                env=wine_env(dict(NO_PROXY_VARIABLES, WINEDEBUG="warn+debugstr")))
        code, shown = self.app.wait_exit(30, watch_windows=True)
        self.assertIsNotNone(code, "the program did not end")
        self.assertFalse(shown, "a window appeared")
        # The product list request's 5 s, and Wine's start and exit around it.
        self.assertLess(time.monotonic() - started, 15)
        self.assertEqual([], self.sim.log(self.sim_mark), "something reached the store")
        self.assertEqual([("refuse", self.store, None)],
                         [(t["mode"], t["target"], t["auth"]) for t in self.new_tunnels()])
        # The debugger output names the proxy, never the credentials.
        with open(debugger, "rb") as f:
            text = f.read().decode("utf-8", "replace")
        self.assertIn("through proxy %s: https://%s" % (self.proxy.via("refuse"), self.store), text)
        self.assertNotIn("secret", text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
