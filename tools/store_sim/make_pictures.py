#!/usr/bin/env python3
"""Regenerates the simulator's pictures from catalogue.json with ImageMagick.

Product banners 800 x 411, package cards 408 x 576, logos 48 x 48, all
8-bit PNG. Run after changing the catalogue: python3 make_pictures.py
"""

import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"

# Banner style per store type: gradient, accent, logo glyph, English line, artwork.
BANNERS = {
    1: {"from": "#141e5b", "to": "#7b3fe4", "accent": "#ffb547", "glyph": "光",
        "label": "CREATIVE DESIGN SUITE", "art": "design", "badge": "限时特惠 低至4.3折"},
    2: {"from": "#0b2b3c", "to": "#1f8a8a", "accent": "#ff6b5b", "glyph": "墨",
        "label": "PDF EDITOR · CONVERT · OCR", "art": "pdf", "badge": "限时特惠 低至4折"},
}


def run(args):
    subprocess.run([CONVERT] + args, check=True)


def text(x, y, value, size, fill, gravity="NorthWest", bold=False):
    ops = ["-gravity", gravity, "-font", FONT, "-pointsize", str(size), "-fill", fill]
    ops += ["-stroke", fill, "-strokewidth", "1"] if bold else ["-stroke", "none"]
    return ops + ["-annotate", "+%d+%d" % (x, y), value]


def shadowed(x, y, value, size, fill, gravity="NorthWest", bold=False):
    return text(x + 2, y + 3, value, size, "rgba(0,0,0,0.28)", gravity, bold) + text(x, y, value, size, fill,
                                                                                      gravity, bold)


def draw(*primitives, fill="none", stroke="none", width=1):
    ops = ["-fill", fill, "-stroke", stroke, "-strokewidth", str(width)]
    for p in primitives:
        ops += ["-draw", p]
    return ops


def bubbles(w, h, seed):
    """Soft translucent circles, placed deterministically."""
    ops = []
    for i in range(7):
        cx = (seed * 97 + i * 211) % w
        cy = (seed * 53 + i * 137) % h
        r = 30 + (seed * 31 + i * 47) % 110
        ops += draw("circle %d,%d %d,%d" % (cx, cy, cx + r, cy), fill="rgba(255,255,255,0.06)")
    return ops


def design_art():
    # A drawing app window with shapes and a pen curve.
    ops = draw("roundrectangle 500,62 770,352 16,16", fill="rgba(255,255,255,0.14)",
               stroke="rgba(255,255,255,0.35)", width=2)
    ops += draw("roundrectangle 500,62 770,92 16,16", fill="rgba(255,255,255,0.22)")
    ops += draw("circle 522,77 527,77", fill="#ff5f57") + draw("circle 540,77 545,77", fill="#febc2e")
    ops += draw("circle 558,77 563,77", fill="#28c840")
    ops += draw("roundrectangle 512,104 552,340 8,8", fill="rgba(255,255,255,0.12)")
    for i, c in enumerate(("#ffb547", "#ff6fa8", "#5ee0ff", "#8cff8a", "#ffffff")):
        ops += draw("roundrectangle 520,%d 544,%d 5,5" % (114 + i * 40, 138 + i * 40), fill=c)
    ops += draw("circle 640,190 640,140", fill="rgba(255,181,71,0.92)")
    ops += draw("roundrectangle 660,200 752,292 14,14", fill="rgba(255,111,168,0.9)")
    ops += draw("polygon 585,320 635,236 685,320", fill="rgba(94,224,255,0.9)")
    ops += draw("path 'M 570,130 C 640,60 700,300 760,150'", stroke="#ffffff", width=3)
    for x, y in ((570, 130), (760, 150)):
        ops += draw("rectangle %d,%d %d,%d" % (x - 5, y - 5, x + 5, y + 5), fill="#ffffff", stroke="#7b3fe4")
    return ops


def pdf_art():
    # Stacked documents with a PDF badge and a magnifier for OCR.
    ops = []
    for i, (dx, dy, alpha) in enumerate(((70, 24, 0.35), (35, 12, 0.6), (0, 0, 1.0))):
        x0, y0 = 540 - dx, 70 + dy
        ops += draw("roundrectangle %d,%d %d,%d 12,12" % (x0, y0, x0 + 190, y0 + 250),
                    fill="rgba(255,255,255,%.2f)" % alpha)
    for i in range(7):
        w = 140 if i % 3 else 100
        ops += draw("roundrectangle 565,%d %d,%d 3,3" % (150 + i * 22, 565 + w, 158 + i * 22),
                    fill="rgba(31,138,138,0.55)")
    ops += draw("roundrectangle 600,96 700,134 8,8", fill="#ff6b5b")
    ops += text(620, 99, "PDF", 26, "#ffffff", bold=True)
    ops += draw("circle 712,292 712,252", fill="rgba(255,255,255,0.25)", stroke="#ffffff", width=6)
    ops += draw("line 740,320 772,352", stroke="#ffffff", width=12)
    return ops


def product_banner(product, group, style, path):
    name = product["name"]
    desc = product.get("desc", "").rstrip("。")
    lines = desc.split("，", 1)
    ops = ["-size", "800x411", "-define", "gradient:angle=120", "gradient:%s-%s" % (style["from"], style["to"])]
    ops += bubbles(800, 411, product["id"])
    ops += design_art() if style["art"] == "design" else pdf_art()
    ops += text(48, 58, style["label"], 15, "rgba(255,255,255,0.7)")
    ops += draw("line 48,84 96,84", stroke=style["accent"], width=4)
    ops += shadowed(46, 100, name, 46, "#ffffff", bold=True)
    for i, line in enumerate(lines):
        ops += text(48, 178 + i * 30, line + ("，" if i == 0 and len(lines) > 1 else ""), 19,
                    "rgba(255,255,255,0.88)")
    x = 48
    for key in ("word_1", "word_2", "word_3"):
        word = group.get(key, "").split(" · ")[0]
        if not word:
            continue
        width = 26 + 18 * len(word)
        ops += draw("roundrectangle %d,258 %d,290 16,16" % (x, x + width), fill="rgba(255,255,255,0.16)",
                    stroke="rgba(255,255,255,0.45)")
        ops += text(x + 13, 264, word, 16, "#ffffff")
        x += width + 12
    ops += draw("roundrectangle 48,316 268,360 22,22", fill=style["accent"])
    ops += text(66, 322, style["badge"], 20, "#2a1a00" if style["art"] == "design" else "#ffffff", bold=True)
    run(ops + ["-strip", "PNG24:" + path])


def package_card(product, package, path):
    c1, c2 = package.get("_color", "#2f80ed"), package.get("_color2", "#56ccf2")
    full = package["name"]
    main, _, sub = full.partition("（")
    sub = sub.rstrip("）")
    price = package.get("price", 0) / 100
    source = package.get("source_price", 0) / 100
    ops = ["-size", "408x576", "gradient:%s-%s" % (c1, c2)]
    ops += bubbles(408, 576, package["id"])
    ops += draw("circle 360,40 360,180", fill="rgba(255,255,255,0.08)")
    ops += draw("roundrectangle 24,24 %d,56 16,16" % (24 + 30 + 20 * len(package.get("_tag", ""))),
                fill="rgba(255,255,255,0.22)")
    ops += text(39, 28, package.get("_tag", ""), 17, "#ffffff")
    ops += text(0, 86, product["name"], 18, "rgba(255,255,255,0.85)", gravity="North")
    ops += shadowed(0, 118, main, 44, "#ffffff", gravity="North", bold=True)
    if sub:
        ops += text(0, 182, sub, 22, "rgba(255,255,255,0.9)", gravity="North")
    # Price panel.
    ops += draw("roundrectangle 40,232 368,338 18,18", fill="rgba(255,255,255,0.95)")
    price_text = ("￥%d" % price) if price == int(price) else ("￥%.2f" % price)
    ops += text(0, 244, price_text, 48, c1, gravity="North", bold=True)
    old = "原价 ￥%d" % source if source == int(source) else "原价 ￥%.2f" % source
    ops += text(0, 306, old, 16, "#8a8f99", gravity="North")
    half = 9 * len(old) // 2 + 8
    ops += draw("line %d,317 %d,317" % (204 - half + 36, 204 + half), stroke="#8a8f99", width=1)
    # Features.
    features = [l.lstrip("· ").strip() for l in package.get("package_detail", "").split("\n") if l.strip()]
    for i, feature in enumerate(features[:4]):
        y = 366 + i * 38
        ops += draw("circle 52,%d 61,%d" % (y + 13, y + 13), fill="rgba(255,255,255,0.95)")
        ops += draw("polyline 47,%d 51,%d 57,%d" % (y + 13, y + 17, y + 8), stroke=c1, width=2)
        ops += text(74, y, feature, 18, "#ffffff")
    ops += draw("line 40,528 368,528", stroke="rgba(255,255,255,0.35)")
    ops += text(0, 538, "扫码支付 · 即时开通 · 正版保障", 15, "rgba(255,255,255,0.9)", gravity="North")
    run(ops + ["-strip", "PNG24:" + path])


def logo(store_type, style, path):
    ops = ["-size", "48x48", "xc:none", "(", "-size", "48x48", "-define", "gradient:angle=135",
           "gradient:%s-%s" % (style["to"], style["from"]), ")",
           "(", "-size", "48x48", "xc:none", "-fill", "white", "-draw", "roundrectangle 0,0 47,47 11,11", ")",
           "-compose", "over", "-delete", "0", "-compose", "DstIn", "-composite", "-compose", "over"]
    ops += draw("circle 40,8 40,3", fill=style["accent"])
    ops += text(0, 5, style["glyph"], 29, "#ffffff", gravity="North")
    run(ops + ["-strip", "PNG32:" + path])


def main():
    with open(os.path.join(HERE, "catalogue.json"), encoding="utf-8") as f:
        stores = json.load(f)["stores"]
    os.makedirs(OUT, exist_ok=True)
    for key, store in sorted(stores.items()):
        store_type = int(key)
        product = store["product"]
        style = BANNERS.get(store_type, BANNERS[1])
        product_banner(product, store.get("group_config", {}), style,
                       os.path.join(OUT, "product_%d.png" % store_type))
        logo(store_type, style, os.path.join(OUT, "logo_%d.png" % store_type))
        for package in product["version"]:
            package_card(product, package, os.path.join(OUT, "pkg_%d.png" % package["id"]))
    print("pictures written to", OUT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
