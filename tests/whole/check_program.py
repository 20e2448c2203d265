#!/usr/bin/python3
"""Starts the real program under Wine (wine for the 32-bit build, wine64 for the 64-bit one) in a
private Xvfb display and Wine prefix and checks it from outside the process, with nothing faked
but the network (a local HTTP server reached through the prefix's proxy setting) and the desktop's
web browser (a script that records the URLs it is asked to open):

- the login window: one visible top-level window "Orvane" of 1208 x 762, centred in the work area
  as the program computes it (the skin's rectangle grown by the frame of template 102's style is
  centred, then the window takes the skin's size); the panel an owned window over the same
  rectangle; the skin's shape and the link buttons' bitmaps in a screenshot;
- the guest-login page requested from the local server;
- each link button, pointed at with the mouse, shows its hot image and, clicked, opens its page
  in the default browser;
- dragging the skin by an opaque point that no control covers moves the window and the panel
  together by the drag distance;
- the close button ends the program with exit code 0;
- in a second run, the minimise button minimises the login window and its panel.

    check_program.py PROGRAM.exe CENTERING_PROBE.exe RES_DIR WORK_DIR

Uses DISPLAY number $ORVANE_TEST_DISPLAY when set, else the first free one from 150 up. Leaves its
screenshots in WORK_DIR. Everything it starts (Xvfb, the prefix's wineserver and programs, the HTTP
server) is ended on the way out, and every wait is bounded.
"""

import http.server
import os
import re
import subprocess
import sys
import threading
import time

from PIL import Image

from wine_session import (SCREEN_H, SCREEN_W, WINE, WineSession, run, wait_until, wine,
                          x_windows)

SKIN_W, SKIN_H = 1208, 762
LOGIN_PATH = "/guest/c/qelv/login.php"
LOGIN_HOST = "passport.orvane.example"
LINK_URL = "http://www.orvane.example/link/%s?gid=qelv"
# Link buttons on the skin: (x, y, normal bitmap, hot bitmap, page)
LINK_BUTTONS = [(485, 210, "btn_139.bmp", "btn_140.bmp", "cms"),
                (657, 210, "btn_143.bmp", "btn_144.bmp", "pay"),
                (853, 210, "btn_145.bmp", "btn_147.bmp", "kf"),
                (1033, 210, "btn_141.bmp", "btn_142.bmp", "bbs")]
MINIMIZE = (1105, 155, 35, 35)
CLOSE = (1140, 155, 35, 35)
BROWSER = (428, 297, 724, 369)
CONTROLS = [BROWSER] + [(x, y, 70, 32) for x, y, _, _, _ in LINK_BUTTONS] + [MINIMIZE, CLOSE]
# Where the skin is dragged from (between the link row and the browser), and by how much.
DRAG_FROM = (700, 262)
DRAG_BY = (-120, 80)

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


class Recorder(http.server.BaseHTTPRequestHandler):
    lines = []

    def do_GET(self):
        Recorder.lines.append(self.requestline)
        body = b"<html><body>guest login</body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_POST = do_GET

    def log_message(self, *args):
        pass


def transient_for(wid, env):
    out = run(["xprop", "-id", wid, "WM_TRANSIENT_FOR"], env).stdout
    m = re.search(r"window id # (0x[0-9a-f]+)", out)
    return int(m.group(1), 16) if m else None


def login_and_panel(env):
    """The visible login window and the visible windows over its rectangle (the panel)."""
    windows = x_windows(env)
    named = [w for w in windows if w[1] == "Orvane" and w[6]]
    if len(named) != 1:
        return None, [], windows
    wid, _, x, y, w, h, _ = named[0]
    panels = [v for v in windows
              if v[0] != wid and v[6] and (v[2], v[3], v[4], v[5]) == (x, y, w, h)]
    return named[0], panels, windows


def screenshot(env, path):
    run(["import", "-window", "root", path], env, timeout=60)
    return Image.open(path).convert("RGB")


def click(env, x, y):
    run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env)


def share_equal(shot, left, top, image):
    """Share of the pixels of image found unchanged at (left, top) in the screenshot."""
    w, h = image.size
    equal = sum(shot.getpixel((left + i, top + j)) == image.getpixel((i, j))
                for j in range(h) for i in range(w))
    return equal / float(w * h)


def under_control(px, py):
    return any(x0 <= px < x0 + w and y0 <= py < y0 + h for x0, y0, w, h in CONTROLS)


def skin_on_screen(skin, shot, x, y):
    """Sampled skin pixels away from the controls: (opaque, shown as the skin, clear, showing
    the black root window)."""
    opaque = same = clear = dark = 0
    for sy in range(0, SKIN_H, 7):
        for sx in range(0, SKIN_W, 7):
            if under_control(sx, sy):
                continue
            r, g, b, a = skin.getpixel((sx, sy))
            px = shot.getpixel((x + sx, y + sy)) if 0 <= x + sx < SCREEN_W and 0 <= y + sy < SCREEN_H \
                else (0, 0, 0)
            if a == 255:
                opaque += 1
                same += all(abs(c0 - c1) <= 2 for c0, c1 in zip(px, (r, g, b)))
            elif a == 0:
                clear += 1
                dark += px == (0, 0, 0)
    return opaque, same, clear, dark


def expected_origin(probe, exe, work, env):
    """The login window's top-left corner as the program computes it, from the work area and the
    frame size that this prefix and display give."""
    out_path = os.path.join(work, "centering.txt")
    with open(out_path, "w") as out:
        code = wine([probe, exe, str(SKIN_W), str(SKIN_H)], env, timeout=60, stdout=out)
    with open(out_path) as f:
        text = f.read()
    print("centering probe: " + " | ".join(text.split("\n")).strip(" |"))
    work_m = re.search(r"work (-?\d+) (-?\d+) (-?\d+) (-?\d+)", text)
    frame_m = re.search(r"frame (\d+) (\d+)", text)
    if code != 0 or not work_m or not frame_m:
        return None
    left, top, right, bottom = (int(v) for v in work_m.groups())
    fw, fh = (int(v) for v in frame_m.groups())
    # Integer halves that truncate toward zero, as C++ division does.
    def half(v):
        return int(v / 2)
    return half((right - left) - fw) + left, half((bottom - top) - fh) + top


class Program:
    """One run of the program; stopped on the way out whatever happened."""

    def __init__(self, exe, env):
        self.env = env
        self.process = subprocess.Popen([WINE, exe], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def __enter__(self):
        return self

    def wait(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def __exit__(self, *exc):
        if self.process.poll() is None:
            # Close requests to its windows first, then force.
            try:
                wine(["taskkill", "/im", "orvane.exe"], self.env, timeout=20)
            except subprocess.TimeoutExpired:
                pass
            if self.wait(10) is None:
                self.process.kill()
                self.wait(10)
        return False


def wait_for_login(program, env):
    def ready():
        if program.process.poll() is not None:
            return True
        return any(w[1] == "Orvane" and w[6] for w in x_windows(env))
    wait_until(ready, 60)
    if program.process.poll() is not None:
        return False
    time.sleep(2)  # the panel's controls paint after the first redraw of the skin
    return True


def first_run(exe, origin, res_dir, work, env, urls_log):
    skin = Image.open(os.path.join(res_dir, "login_skin.png")).convert("RGBA")
    run(["xdotool", "mousemove", "0", "0"], env)
    with Program(exe, env) as program:
        if not check(wait_for_login(program, env), "a visible window named Orvane appears"):
            return
        login, panels, windows = login_and_panel(env)
        named = [w for w in windows if w[1] == "Orvane" and w[6]]
        if not check(login is not None,
                     "exactly one visible top-level window named Orvane (%d)" % len(named)):
            return
        wid, _, x, y, w, h, _ = login
        check((w, h) == (SKIN_W, SKIN_H), "login window is 1208 x 762 (%d x %d)" % (w, h))
        check(origin is not None and (x, y) == origin,
              "login window at the centred position (%d, %d), computed %s" % (x, y, origin))

        # The panel: the other visible window of the program over the same rectangle, marked as
        # owned (transient), above the login window. Wine gives the login window a new X window
        # at its first layered update, so the owner the hint names may be an earlier X window.
        check(len(panels) == 1, "one more visible window over the login window (%d)" % len(panels))
        check(all(transient_for(p[0], env) is not None for p in panels),
              "that window is an owned (transient) window")
        order = [v[0] for v in windows]
        check(len(panels) == 1 and order.index(panels[0][0]) < order.index(wid),
              "the panel is stacked above the login window")

        shot_path = os.path.join(work, "login-window.png")
        shot = screenshot(env, shot_path)
        shot.crop((x, y, x + w, y + h)).save(os.path.join(work, "login-window-cropped.png"))
        print("screenshot:", shot_path)

        opaque, same, clear, dark = skin_on_screen(skin, shot, x, y)
        check(opaque > 1000 and same >= 0.97 * opaque,
              "opaque skin pixels shown as the skin (%d of %d)" % (same, opaque))
        check(clear > 1000 and dark >= 0.97 * clear,
              "transparent skin pixels show the black root window (%d of %d)" % (dark, clear))
        for bx, by, normal, _, _ in LINK_BUTTONS:
            share = share_equal(shot, x + bx, y + by, Image.open(os.path.join(res_dir, normal)).convert("RGB"))
            check(share >= 0.97, "%s shown at (%d, %d) (%.1f %% of its pixels)"
                  % (normal, bx, by, 100 * share))

        wanted = ("GET http://%s:80%s " % (LOGIN_HOST, LOGIN_PATH),
                  "GET http://%s%s " % (LOGIN_HOST, LOGIN_PATH))
        requested = wait_until(lambda: any(l.startswith(wanted) for l in Recorder.lines), 30)
        check(requested, "guest-login page requested through the proxy (%s)" % Recorder.lines)

        # Link buttons: the hot image while the pointer is over one, its page in the default
        # browser for each click, nothing else opened.
        def opened():
            if not os.path.exists(urls_log):
                return []
            with open(urls_log) as f:
                return [line.strip() for line in f if line.strip()]
        for bx, by, _, hot, page in LINK_BUTTONS:
            cx, cy = x + bx + 35, y + by + 16
            run(["xdotool", "mousemove", str(cx), str(cy)], env)
            hot_image = Image.open(os.path.join(res_dir, hot)).convert("RGB")
            hot_path = os.path.join(work, "hot-%s.png" % page)
            share = wait_until(lambda: share_equal(screenshot(env, hot_path), x + bx, y + by,
                                                   hot_image) >= 0.97, 5, 0.3)
            check(share, "%s shown while the pointer is over the %s button" % (hot, page))
            before = len(opened())
            run(["xdotool", "click", "1"], env)
            wait_until(lambda: len(opened()) > before, 20)
            time.sleep(0.5)  # a second, unwanted page would show up here
            check(opened()[before:] == [LINK_URL % page],
                  "the %s button opens %s in the default browser (%s)"
                  % (page, LINK_URL % page, opened()[before:]))

        # Drag by a point of the skin that is opaque and that no control covers.
        fx, fy = DRAG_FROM
        check(skin.getpixel((fx, fy))[3] == 255 and not under_control(fx, fy),
              "the drag point (%d, %d) is opaque skin outside the controls" % (fx, fy))
        dx, dy = DRAG_BY
        run(["xdotool", "mousemove", str(x + fx), str(y + fy)], env)
        time.sleep(0.3)
        run(["xdotool", "mousedown", "1"], env)
        time.sleep(0.3)
        steps = 12
        for i in range(1, steps + 1):
            run(["xdotool", "mousemove", str(x + fx + dx * i // steps), str(y + fy + dy * i // steps)], env)
            time.sleep(0.05)
        time.sleep(0.3)
        run(["xdotool", "mouseup", "1"], env)

        def moved():
            login2, panels2, _ = login_and_panel(env)
            if login2 is not None and (login2[2], login2[3]) == (x + dx, y + dy) and len(panels2) == 1:
                return login2, panels2
            return None
        after = wait_until(moved, 5)
        login2, panels2, _ = login_and_panel(env)
        where = (login2[2], login2[3]) if login2 else None
        check(after is not None and login2[4:6] == (w, h),
              "the drag moves the login window by (%d, %d): from (%d, %d) to %s"
              % (dx, dy, x, y, where))
        check(after is not None and [(p[2], p[3], p[4], p[5]) for p in panels2]
              == [(x + dx, y + dy, w, h)], "the panel moves with it (%s)"
              % [(p[2], p[3]) for p in panels2])
        x, y = x + dx, y + dy
        dragged = screenshot(env, os.path.join(work, "login-window-dragged.png"))
        opaque, same, _, _ = skin_on_screen(skin, dragged, x, y)
        check(opaque > 1000 and same >= 0.97 * opaque,
              "after the drag the skin is drawn at the new place (%d of %d)" % (same, opaque))
        share = share_equal(dragged, x + LINK_BUTTONS[0][0], y + LINK_BUTTONS[0][1],
                            Image.open(os.path.join(res_dir, LINK_BUTTONS[0][2])).convert("RGB"))
        check(share >= 0.97, "and the panel's buttons over it (%.1f %%)" % (100 * share))

        click(env, x + CLOSE[0] + CLOSE[2] // 2, y + CLOSE[1] + CLOSE[3] // 2)
        code = program.wait(30)
        check(code == 0, "the close button ends the program with exit code 0 (%s)" % code)


def second_run(exe, skin_path, work, env):
    skin = Image.open(skin_path).convert("RGBA")
    with Program(exe, env) as program:
        if not check(wait_for_login(program, env), "second run: the login window appears"):
            return
        login, panels, _ = login_and_panel(env)
        if not check(login is not None and len(panels) == 1, "second run: login window and panel"):
            return
        x, y = login[2], login[3]
        ids = {login[0], panels[0][0]}
        click(env, x + MINIMIZE[0] + MINIMIZE[2] // 2, y + MINIMIZE[1] + MINIMIZE[3] // 2)

        # Minimised, Wine without a window manager unmaps a window or shrinks it to a small bar
        # at the bottom of the screen: either way both windows still exist, neither keeps the
        # skin's rectangle, and the skin is gone from the screen.
        def minimised():
            now = [v for v in x_windows(env) if v[0] in ids]
            return len(now) == 2 and all(not v[6] or (v[2], v[3], v[4], v[5]) != (x, y, SKIN_W, SKIN_H) for v in now)
        ok = wait_until(minimised, 10)
        now = [(v[0], v[2], v[3], v[4], v[5], v[6]) for v in x_windows(env) if v[0] in ids]
        check(ok, "the minimise button minimises the login window and the panel (%s)" % now)
        shot = screenshot(env, os.path.join(work, "login-window-minimised.png"))
        opaque, same, _, _ = skin_on_screen(skin, shot, x, y)
        check(opaque > 1000 and same <= 0.01 * opaque,
              "no skin left on the screen (%d of %d pixels)" % (same, opaque))
        check(program.process.poll() is None, "the program goes on running while minimised")


def main():
    exe, probe, res_dir, work = (os.path.abspath(a) for a in sys.argv[1:5])
    os.makedirs(work, exist_ok=True)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Recorder)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]

    try:
        with WineSession(os.path.join(work, "wineprefix")) as session:
            if not check(session.up, "own Xvfb on display :%s (it moves the pointer, so it runs "
                         "on a display of its own) and a Wine prefix with its RPC service "
                         "running" % session.display):
                return
            env = session.env

            # The recording browser: appends each URL to a log in the work folder.
            urls_log = os.path.join(work, "opened-urls.log")
            if os.path.exists(urls_log):
                os.remove(urls_log)
            browser = os.path.join(work, "record-url.sh")
            with open(browser, "w") as f:
                f.write('#!/bin/sh\nfor url in "$@"; do printf \'%%s\\n\' "$url" >> \'%s\'; done\n'
                        % urls_log)
            os.chmod(browser, 0o755)

            settings = [
                # No window manager runs on the display: Wine must not wait for one.
                (r"HKCU\Software\Wine\X11 Driver", ["Managed", "/d", "N"]),
                (r"HKCU\Software\Wine\WineBrowser", ["Browsers", "/d", browser]),
            ] + [(r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings", v) for v in (
                ["ProxyEnable", "/t", "REG_DWORD", "/d", "1"],
                ["ProxyServer", "/t", "REG_SZ", "/d", "127.0.0.1:%d" % port],
                ["ProxyOverride", "/t", "REG_SZ", "/d", ""])]
            for key, value in settings:
                check(session.reg_add(key, ["/v"] + value), "prefix setting %s" % value[0])
            check(session.restart_if_new(), "the prefix settings in effect (a new prefix gets a new "
                  "session) and the RPC service running")

            origin = expected_origin(probe, exe, work, env)
            check(origin is not None, "the centring probe answers")

            first_run(exe, origin, res_dir, work, env, urls_log)
            second_run(exe, os.path.join(res_dir, "login_skin.png"), work, env)
    finally:
        server.shutdown()


if __name__ == "__main__":
    main()
    if failures:
        print("%d check(s) failed" % len(failures))
    sys.exit(1 if failures else 0)
