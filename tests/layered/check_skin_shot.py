#!/usr/bin/python3
"""Shows the test skin window with its companion under Wine and checks a screenshot of the display.

Usage: check_skin_shot.py SKIN_DEMO_EXE SHOT_PNG
Runs with the DISPLAY and WINEPREFIX prepared by scripts/test. The skin (300x200) has fully
transparent corners, an opaque orange body and a half-transparent blue disc; the companion over it
is keyed out except for its controls. The window is then dragged with the left button, and the
skin and its companion must have moved together.
"""
import os
import re
import subprocess
import sys
import time

from PIL import Image

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
TITLE = "Layered test skin"
SKIN_W, SKIN_H = 300, 200
ORANGE = (224, 112, 32)
KEY = (0, 255, 0)
DISC = ((32, 64, 224), 128)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def find_window(timeout):
    """X window id of the skin window once it has the skin's size, or None."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % TITLE],
                             capture_output=True, text=True).stdout.split()
        for wid in out:
            geo = geometry(wid)
            if geo and geo[2:] == (SKIN_W, SKIN_H):
                return wid
        time.sleep(0.2)
    return None


def geometry(wid):
    out = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True).stdout
    values = {}
    for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
        m = re.search(r"%s:\s+(-?\d+)" % key, out)
        if not m:
            return None
        values[key] = int(m.group(1))
    return (values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"], values["Height"])


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True)
    return Image.open(path).convert("RGB")


def near(a, b, tolerance=6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def blend(colour, alpha, below):
    return tuple(round((c * alpha + b * (255 - alpha)) / 255) for c, b in zip(colour, below))


def check_skin(shot, base, x, y, where):
    # Fully transparent corners show what lies beneath.
    for dx, dy in ((1, 1), (SKIN_W - 2, 1), (1, SKIN_H - 2), (SKIN_W - 2, SKIN_H - 2)):
        p = (x + dx, y + dy)
        if shot.getpixel(p) != base.getpixel(p):
            fail("%s: transparent corner %s shows %s, beneath is %s" % (where, p, shot.getpixel(p), base.getpixel(p)))
    # Opaque body, away from the companion's controls.
    for dx, dy in ((40, 100), (150, 185), (20, 60)):
        p = (x + dx, y + dy)
        if not near(shot.getpixel(p), ORANGE):
            fail("%s: opaque skin point %s is %s, not %s" % (where, p, shot.getpixel(p), ORANGE))
    # Half-transparent disc over what lies beneath.
    p = (x + 250, y + 160)
    expected = blend(DISC[0], DISC[1], base.getpixel(p))
    if not near(shot.getpixel(p), expected, 10):
        fail("%s: disc point %s is %s, expected about %s" % (where, p, shot.getpixel(p), expected))
    # The companion's key colour never shows; its controls do.
    box = shot.crop((x, y, x + SKIN_W, y + SKIN_H))
    counts = {}
    for colour in box.getdata():
        counts[colour] = counts.get(colour, 0) + 1
    if any(near(c, KEY, 30) for c in counts):
        fail("%s: the companion's key colour is visible" % where)
    other = sum(n for c, n in counts.items()
                if not near(c, ORANGE, 12) and c != base.getpixel((x + 1, y + 1))
                and not near(c, blend(DISC[0], DISC[1], base.getpixel((x + 250, y + 160))), 12))
    if other < 500:
        fail("%s: only %d pixels of the companion's controls are visible" % (where, other))


def main():
    if len(sys.argv) != 3:
        fail("usage: check_skin_shot.py SKIN_DEMO_EXE SHOT_PNG")
    exe, shot_path = sys.argv[1], sys.argv[2]
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        fail("DISPLAY and WINEPREFIX must be set (scripts/test sets them)")
    stem, ext = os.path.splitext(shot_path)

    base = screenshot(stem + "-before" + ext)
    demo = subprocess.Popen([WINE_RUN, exe, "60"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wid = find_window(60)
        if not wid:
            fail("the skin window did not appear within 60 s")
        time.sleep(1.0)   # let the companion paint its controls
        x, y, w, h = geometry(wid)
        shot = screenshot(shot_path)
        check_skin(shot, base, x, y, "shown")
        print("skin window at %d,%d, %dx%d: shape and companion OK" % (x, y, w, h))

        # Drag by the left button from an opaque point of the skin.
        dx, dy = -120, 90
        subprocess.run(["xdotool", "mousemove", str(x + 40), str(y + 100)], check=True)
        subprocess.run(["xdotool", "mousedown", "1"], check=True)
        for step in range(1, 11):
            time.sleep(0.05)
            subprocess.run(["xdotool", "mousemove", str(x + 40 + dx * step // 10), str(y + 100 + dy * step // 10)],
                           check=True)
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        deadline = time.time() + 10
        while time.time() < deadline and geometry(wid)[:2] != (x + dx, y + dy):
            time.sleep(0.2)
        moved = geometry(wid)
        if moved[:2] != (x + dx, y + dy):
            fail("drag by %d,%d left the window at %s (from %d,%d)" % (dx, dy, moved[:2], x, y))
        subprocess.run(["xdotool", "mousemove", "5", "5"], check=True)
        time.sleep(1.0)
        dragged = screenshot(stem + "-dragged" + ext)
        check_skin(dragged, base, x + dx, y + dy, "dragged")
        print("dragged to %d,%d: skin and companion moved together" % (x + dx, y + dy))
    finally:
        demo.terminate()
        try:
            demo.wait(10)
        except subprocess.TimeoutExpired:
            demo.kill()
            demo.wait()
    print("PASS")


if __name__ == "__main__":
    main()
