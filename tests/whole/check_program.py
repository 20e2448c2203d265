#!/usr/bin/python3
"""Starts the real program under wine64 in a private Xvfb display and Wine prefix and checks the
login window from outside: one visible top-level window "Orvane" of 1208 x 762 at the centred
position, the panel an owned pop-up over it, the skin's shape in a screenshot, the link buttons'
bitmaps on screen, the guest-login page requested through the prefix's proxy from a local server,
and exit code 0 after a click on the close button.

    check_program.py PROGRAM.exe RES_DIR WORK_DIR

Uses DISPLAY number $ORVANE_TEST_DISPLAY when set, else the first free one from 150 up. Everything
it starts (Xvfb, the prefix's wineserver and the program, the HTTP server) is ended on the way out.
"""

import http.server
import os
import re
import signal
import subprocess
import sys
import threading
import time

from PIL import Image

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SKIN_W, SKIN_H = 1208, 762
SCREEN_W, SCREEN_H = 1920, 1080
LOGIN_PATH = "/guest/c/qelv/login.php"
LOGIN_HOST = "passport.orvane.example"
# Link buttons on the skin: (x, y, bitmap file)
LINK_BUTTONS = [(485, 210, "btn_139.bmp"), (657, 210, "btn_143.bmp"),
                (853, 210, "btn_145.bmp"), (1033, 210, "btn_141.bmp")]
CONTROLS = [(428, 297, 724, 369)] + [(x, y, 70, 32) for x, y, _ in LINK_BUTTONS] + \
           [(1105, 155, 35, 35), (1140, 155, 35, 35)]

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


def free_display():
    wanted = os.environ.get("ORVANE_TEST_DISPLAY")
    if wanted:
        return int(wanted)
    for n in range(150, 200):
        if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n):
            return n
    raise RuntimeError("no free X display number")


def run(args, env, **kw):
    return subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, **kw)


def wine(args, env, timeout=180):
    """A Wine command; its output is not collected (servers it starts keep the pipes open)."""
    return subprocess.run([WINE] + args, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode


def x_windows(env):
    """Top-level X windows: (id, name, x, y, w, h, viewable)."""
    out = run(["xwininfo", "-root", "-children"], env).stdout
    ids = re.findall(r"^\s+(0x[0-9a-f]+)", out, re.M)
    result = []
    for wid in ids:
        info = run(["xwininfo", "-id", wid], env).stdout
        def field(name):
            m = re.search(name + r":\s+(-?\d+)", info)
            return int(m.group(1)) if m else None
        m = re.search(r'xwininfo: Window id: \S+ (?:"(.*)"|\(has no name\))', info)
        name = m.group(1) if m and m.group(1) is not None else ""
        result.append((wid, name, field("Absolute upper-left X"), field("Absolute upper-left Y"),
                       field("Width"), field("Height"), "IsViewable" in info))
    return result


def transient_for(wid, env):
    out = run(["xprop", "-id", wid, "WM_TRANSIENT_FOR"], env).stdout
    m = re.search(r"window id # (0x[0-9a-f]+)", out)
    return int(m.group(1), 16) if m else None


def main():
    exe, res_dir, work = (os.path.abspath(a) for a in sys.argv[1:4])
    os.makedirs(work, exist_ok=True)
    skin = Image.open(os.path.join(res_dir, "login_skin.png")).convert("RGBA")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Recorder)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]

    n = free_display()
    env = dict(os.environ)
    env.update(DISPLAY=":%d" % n, WINEPREFIX=os.path.join(work, "wineprefix"), WINEARCH="win64",
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree=")
    xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
                             "-nolisten", "tcp", "-br"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = None
    try:
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % n):
                break
            time.sleep(0.1)
        os.makedirs(env["WINEPREFIX"], exist_ok=True)
        subprocess.run([WINESERVER, "-p"], env=env)
        wine(["wineboot", "-i"], env)
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
        for value in (["ProxyEnable", "/t", "REG_DWORD", "/d", "1"],
                      ["ProxyServer", "/t", "REG_SZ", "/d", "127.0.0.1:%d" % port],
                      ["ProxyOverride", "/t", "REG_SZ", "/d", ""]):
            check(wine(["reg", "add", key, "/v"] + value + ["/f"], env, timeout=60) == 0,
                  "prefix proxy setting %s" % value[0])

        program = subprocess.Popen([WINE, exe], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        login = None
        deadline = time.time() + 60
        while time.time() < deadline and program.poll() is None:
            named = [w for w in x_windows(env) if w[1] == "Orvane" and w[6]]
            if named:
                login = named
                break
            time.sleep(0.2)
        if not check(login is not None, "a visible window named Orvane appears"):
            return
        time.sleep(2)  # the panel's controls paint after the first redraw of the skin
        windows = x_windows(env)
        named = [w for w in windows if w[1] == "Orvane" and w[6]]
        check(len(named) == 1, "exactly one visible top-level window named Orvane (%d)" % len(named))
        wid, _, x, y, w, h, _ = named[0]
        check((w, h) == (SKIN_W, SKIN_H), "login window is 1208 x 762 (%d x %d)" % (w, h))
        # Centred for the skin enlarged by the caption frame, then given the skin's own size: left
        # of and above the exact centre by half the frame.
        cx, cy = (SCREEN_W - SKIN_W) // 2, (SCREEN_H - SKIN_H) // 2
        check(cx - 12 <= x < cx and cy - 40 <= y < cy,
              "login window at the centred position (%d, %d), centre (%d, %d)" % (x, y, cx, cy))

        # The panel: the other visible window of the program over the same rectangle, marked as
        # owned (transient). Wine gives the login window a new X window at its first layered
        # update, so the owner the hint names may be the login window's earlier X window.
        panels = [v for v in windows if v[0] != wid and v[6] and (v[2], v[3], v[4], v[5]) == (x, y, w, h)]
        check(len(panels) == 1, "one more visible window over the login window (%d)" % len(panels))
        check(all(transient_for(p[0], env) is not None for p in panels),
              "that window is an owned (transient) window")

        shot_path = os.path.join(work, "login-window.png")
        run(["import", "-window", "root", shot_path], env, timeout=60)
        shot = Image.open(shot_path).convert("RGB")
        print("screenshot:", shot_path)

        def under_control(px, py):
            return any(cx0 <= px < cx0 + cw and cy0 <= py < cy0 + ch for cx0, cy0, cw, ch in CONTROLS)

        opaque = same = clear = dark = 0
        for sy in range(0, SKIN_H, 7):
            for sx in range(0, SKIN_W, 7):
                if under_control(sx, sy):
                    continue
                r, g, b, a = skin.getpixel((sx, sy))
                px = shot.getpixel((x + sx, y + sy))
                if a == 255:
                    opaque += 1
                    same += all(abs(c0 - c1) <= 2 for c0, c1 in zip(px, (r, g, b)))
                elif a == 0:
                    clear += 1
                    dark += px == (0, 0, 0)
        check(opaque > 1000 and same >= 0.97 * opaque,
              "opaque skin pixels shown as the skin (%d of %d)" % (same, opaque))
        check(clear > 1000 and dark >= 0.97 * clear,
              "transparent skin pixels show the black root window (%d of %d)" % (dark, clear))

        for bx, by, name in LINK_BUTTONS:
            bmp = Image.open(os.path.join(res_dir, name)).convert("RGB")
            equal = sum(shot.getpixel((x + bx + i, y + by + j)) == bmp.getpixel((i, j))
                        for j in range(32) for i in range(70))
            check(equal >= 0.97 * 70 * 32, "%s shown at (%d, %d) (%d of %d pixels)"
                  % (name, bx, by, equal, 70 * 32))

        deadline = time.time() + 30
        wanted = ("GET http://%s:80%s " % (LOGIN_HOST, LOGIN_PATH),
                  "GET http://%s%s " % (LOGIN_HOST, LOGIN_PATH))
        while time.time() < deadline and not any(l.startswith(wanted) for l in Recorder.lines):
            time.sleep(0.2)
        check(any(l.startswith(wanted) for l in Recorder.lines),
              "guest-login page requested through the proxy (%s)" % Recorder.lines)

        run(["xdotool", "mousemove", str(x + 1140 + 17), str(y + 155 + 17), "click", "1"], env)
        try:
            code = program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "the close button ends the program with exit code 0 (%s)" % code)
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        xvfb.send_signal(signal.SIGTERM)
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
        server.shutdown()


if __name__ == "__main__":
    main()
    if failures:
        print("%d check(s) failed" % len(failures))
    sys.exit(1 if failures else 0)
