#!/usr/bin/env python3
"""Pictures of every screen a user sees, taken from the real program under
Wine on an Xvfb display of its own, against a store simulator of its own:

    python3 tools/screenshots.py [--build-dir DIR] [--out DIR] [--scales]

Saves store-front.png (package list open), pay-page-1.png and pay-page-2.png
(purchase views with a QR code), paid-view.png and history.png (two pages of
orders) into docs/screenshots (or --out). With --scales, instead the payment
page at three display scales: scale-96.png, scale-144.png, scale-192.png
(100 %, 150 %, 200 %), each from a Wine prefix of that scale. Needs a debug build (the tests'
window probe); scripts/test.sh or scripts/configure.sh makes one."""

import argparse
import json
import os
import subprocess
import sys
import time
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
import harness  # noqa: E402

ROOT = harness.ROOT


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--build-dir", default=os.path.join(ROOT, "build", "debug"))
    p.add_argument("--out", default=os.path.join(ROOT, "docs", "screenshots"))
    p.add_argument("--scales", action="store_true",
                   help="the payment page at 96, 144 and 192 DPI instead")
    return p.parse_args()


def take_scale_picture(e2e, sim, out, dpi, started):
    """The first payment page with its QR code, the whole window at `dpi`."""
    def dev(v):
        return -((-(2 * v * dpi - 96)) // 192)
    app = e2e.App(sim, "Parvelle")
    started.append(app)
    if not app.start_shown(60):
        raise RuntimeError("the store front never appeared at %d DPI" % dpi)
    time.sleep(1.5)
    app.click(dev(650), dev(459))
    e2e.xdotool("type", "--delay", "20", "13800138000")
    app.click(dev(390), dev(530))
    e2e.xdotool("mousemove", 0, 0)
    time.sleep(3.5)  # the order, the QR code and the repaint
    x, y = app.origin()
    target = os.path.join(out, "scale-%d.png" % dpi)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (dev(800), dev(600), x, y),
                    "+repage", "PNG24:" + target], check=True)
    print(target)
    app.cleanup()


def take_pictures(e2e, sim, out, started):
    """Every screen in turn; each program started goes into `started`, for
    the caller to end."""
    app = None

    def shoot(name):
        time.sleep(2.5)  # slides, repaints and Wine's pop-up stall settle
        x, y = app.origin()
        target = os.path.join(out, name)
        subprocess.run(["import", "-window", "root", "-crop", "800x600+%d+%d" % (x, y),
                        "+repage", "PNG24:" + target], check=True)
        print(target)

    def open_store(pay_type=1):
        nonlocal app
        app = e2e.App(sim, "Parvelle", pay_type=pay_type)
        started.append(app)
        if not app.start_shown(60):
            raise RuntimeError("the store front never appeared (exit code %r; requests %s)" % (
                app.proc.poll(), [e["name"] for e in sim.log()]))
        time.sleep(1.5)

    def purchase(pay_type, qr_click=None):
        open_store(pay_type)
        app.click(650, 459)  # the mobile number
        e2e.xdotool("type", "--delay", "20", "13800138000")
        app.click(390, 530)  # 立即激活
        time.sleep(1.0)
        if qr_click:
            app.click(*qr_click)

    # The store front with its package list open.
    open_store()
    app.click(420, 456)
    app.move_to(300, 530)  # over the third package
    shoot("store-front.png")
    app.cleanup()

    # The first payment page with its QR code, then paid.
    purchase(1)
    shoot("pay-page-1.png")
    order_no = sim.admin("orders", limit=1)["orders"][0]["order_no"]
    sim.admin("pay", order_no=order_no)
    time.sleep(3)  # the next poll sees it
    shoot("paid-view.png")

    # The history: this machine's orders, more than one page of them.
    tap = [e for e in sim.log() if e["name"] == "statisticsTap"][-1]
    mac = dict(urllib.parse.parse_qsl(tap["query"]))["mac"]
    for i in range(13):
        query = urllib.parse.urlencode(dict(mac=mac, type=1, channel="master", pay_type=2,
                                            package_id=101 + i % 5, mobile="13800138000"))
        req = urllib.request.urlopen("%s/api/ps/createOrder?%s" % (sim.url, query),
                                     context=sim._ctx, timeout=20)
        data = json.loads(req.read().decode())["data"]
        if i % 3 == 0:
            sim.admin("pay", order_no=data["order_no"])
    app.click(680, 10)  # 我的订单
    shoot("history.png")
    app.cleanup()

    # The second payment page: the order comes with a click in its QR square.
    purchase(2, qr_click=(545, 24 + 395))
    shoot("pay-page-2.png")


def main():
    args = parse_args()
    build = os.path.abspath(args.build_dir)
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    started = []
    if args.scales:
        for dpi in (96, 144, 192):
            with harness.e2e_session(build, "screenshots", ["parvelle", "win_probe"],
                                     "screenshots-sim-", dpi=dpi,
                                     screen="2048x1536x24") as (e2e, sim, _):
                try:
                    take_scale_picture(e2e, sim, out, dpi, started)
                finally:
                    for app in started:
                        app.cleanup()
        return
    # A Wine prefix of its own: the program runs once per Wine session, so a
    # test run in the project's prefix would keep it from starting.
    with harness.e2e_session(build, "screenshots", ["parvelle", "win_probe"],
                             "screenshots-sim-") as (e2e, sim, _):
        try:
            take_pictures(e2e, sim, out, started)
        finally:
            for app in started:
                app.cleanup()


if __name__ == "__main__":
    main()
