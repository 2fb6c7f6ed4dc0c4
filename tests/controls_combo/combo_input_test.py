#!/usr/bin/env python3
"""Drives combo_demo.exe under Wine with real X pointer input (xdotool):
opens a list by its chevron, chooses a row, leaves a list without choosing,
and checks the demo's log and the screen's pixels. Screenshots are left in
the working directory (combo_*.png) for a look."""
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "support"))
from harness import wait_until  # noqa: E402

BUILD = os.environ["PARVELLE_BUILD_DIR"]
EXE = os.path.join(BUILD, "tests", "controls_combo", "combo_demo.exe")
LOG = os.path.abspath("combo_demo.log")
ORIGIN = (100, 100)  # the demo window's screen position
# Body rectangles in the demo window (left, top, right, bottom).
A = (40, 60, 326, 85)
B = (360, 60, 610, 86)
NAMES = ["一个月套餐", "三个月套餐", "半年套餐", "一年套餐", "两年套餐", "三年套餐", "永久套餐"]

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def log_lines():
    try:
        with open(LOG, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f]
    except FileNotFoundError:
        return []


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(x, y):
    """Click at a point given in demo-window coordinates."""
    xdo("mousemove", ORIGIN[0] + x, ORIGIN[1] + y)
    time.sleep(0.15)
    xdo("click", "1")


def move(x, y):
    xdo("mousemove", ORIGIN[0] + x, ORIGIN[1] + y)


def screenshot(name):
    path = os.path.abspath(name)
    subprocess.run(["import", "-window", "root", path], check=True)
    return path


def pixel(path, x, y):
    """Screen pixel of a screenshot as (r, g, b), at demo-window coordinates."""
    at = f"p{{{ORIGIN[0] + x},{ORIGIN[1] + y}}}"
    fmt = ",".join(f"%[fx:int(255*{at}.{c}+0.5)]" for c in "rgb")
    out = subprocess.run(["convert", path, "-format", fmt, "info:"],
                         check=True, capture_output=True, text=True).stdout
    return tuple(int(v) for v in out.split(","))


def count(prefix):
    return sum(1 for line in log_lines() if line.startswith(prefix))


def demo_window(env):
    """The demo window's handle, as the session's window probe lists it."""
    probe = os.path.join(BUILD, "tests", "e2e", "win_probe.exe")
    out = subprocess.run(["wine", probe], env=env, capture_output=True,
                         stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    for line in out.splitlines():
        if line.startswith("{"):
            window = json.loads(line)
            if window["title"] == "combo demo":
                return window["hwnd"]
    return None


def round_trip(env, hwnd):
    """Returns once the demo has handled the input sent so far and what that
    posted: WM_NULL round trips through its queue (win_probe.exe sync)."""
    probe = os.path.join(BUILD, "tests", "e2e", "win_probe.exe")
    out = subprocess.run(["wine", probe, "sync", str(hwnd)], env=env, capture_output=True,
                         stdin=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    if '"sync":1' not in out:
        raise RuntimeError("the demo did not answer a round trip: %r" % out)


def main():
    if not os.environ.get("DISPLAY"):
        print("FAIL no DISPLAY (run through scripts/test.sh)")
        return 1
    if os.path.exists(LOG):
        os.remove(LOG)
    env = dict(os.environ, WINEPREFIX=os.environ["PARVELLE_WINEPREFIX"], WINEDEBUG="-all")
    winlog = "Z:" + LOG.replace("/", "\\")
    move(-90, -90)  # the pointer starts away from the window
    demo = subprocess.Popen(["wine", EXE, winlog, "60"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        check(wait_until(lambda: count("notice") >= 2, 30), "both initial selections reach the window")
        last = log_lines()[-1] if log_lines() else ""
        check(last == f"notice a=0:{NAMES[0]} b=0:{NAMES[0]}", "edits show item 0: " + last)
        hwnd = wait_until(lambda: demo_window(env), 15)
        check(hwnd is not None, "the demo window is listed")
        time.sleep(0.3)
        screenshot("combo_initial.png")

        # Open A by its chevron: 4 rows, 121 pixels, under the body.
        click(A[2] - 12, (A[1] + A[3]) // 2)
        check(wait_until(lambda: "drop a visible=1" in log_lines(), 15), "chevron opens list A")
        time.sleep(0.3)
        shot = screenshot("combo_open.png")
        check(pixel(shot, A[0] + 150, A[3] + 30) == (230, 230, 230), "separator under row 0")
        check(pixel(shot, A[0] + 150, A[3] + 120) == (230, 230, 230), "bottom border at 121")
        check(pixel(shot, A[0] + 250, A[3] + 45) == (255, 255, 255), "row background")
        check(pixel(shot, A[0] + 150, A[3] + 122) == (255, 255, 255), "demo background below list")

        # Choose row 2.
        notices = count("notice")
        click(A[0] + 60, A[3] + 2 * 30 + 15)
        check(wait_until(lambda: count("notice") == notices + 1, 15), "a click on row 2 notifies")
        last_notice = [line for line in log_lines() if line.startswith("notice")][-1]
        check(last_notice.startswith(f"notice a=2:{NAMES[2]} b=0:"),
              "index 2 chosen, its text already in the edit at the notice")
        check(wait_until(lambda: count("drop a visible=0") == 1, 15), "the choice closes list A")

        # A press left of the chevron zone does nothing.
        click(A[2] - 31, (A[1] + A[3]) // 2)
        round_trip(env, hwnd)
        check(count("drop a visible=1") == 1, "press at x = width - 31 leaves list A closed")

        # A again, after the choice: entering the list and leaving it still
        # closes it without a choice.
        notices = count("notice")
        click(A[2] - 12, (A[1] + A[3]) // 2)
        check(wait_until(lambda: count("drop a visible=1") == 2, 15), "list A opens again")
        time.sleep(0.3)
        move(A[0] + 60, A[3] + 45)
        time.sleep(0.3)
        move(A[0] - 20, A[3] + 250)
        check(wait_until(lambda: count("drop a visible=0") == 2, 15),
              "leaving list A after a choice closes it")
        check(count("notice") == notices, "that leave chooses nothing")

        # Open B (7 rows: 211 high), enter it, leave it: closed, nothing chosen.
        notices = count("notice")
        click(B[2] - 12, (B[1] + B[3]) // 2)
        check(wait_until(lambda: "drop b visible=1" in log_lines(), 15), "chevron opens list B")
        time.sleep(0.3)
        shot = screenshot("combo_open_b.png")
        check(pixel(shot, B[0] + 100, B[3] + 210) == (230, 230, 230), "list B bottom at 211")
        move(B[0] + 40, B[3] + 45)
        time.sleep(0.3)
        move(B[0] - 100, B[3] + 280)
        check(wait_until(lambda: count("drop b visible=0") == 1, 15), "leaving list B closes it")
        round_trip(env, hwnd)
        check(count("notice") == notices, "leaving chooses nothing")

        # Open B again and choose its last row.
        click(B[2] - 12, (B[1] + B[3]) // 2)
        check(wait_until(lambda: count("drop b visible=1") == 2, 15), "list B opens again")
        click(B[0] + 40, B[3] + 6 * 30 + 15)
        check(wait_until(lambda: count("notice") == notices + 1, 15), "a click on B's last row notifies")
        check(any(line == f"notice a=2:{NAMES[2]} b=6:{NAMES[6]}" for line in log_lines()),
              "B shows its last item, A keeps its choice")
        move(300, 300)
        time.sleep(0.4)
        screenshot("combo_final.png")
    finally:
        demo.terminate()
        try:
            demo.wait(10)
        except subprocess.TimeoutExpired:
            demo.kill()
    print("\n".join("log: " + line for line in log_lines()))
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
