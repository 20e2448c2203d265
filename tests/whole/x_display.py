"""Queries and input on an X display through the X utilities (xdotool, xwininfo, xprop,
ImageMagick's import), for the whole-program checks."""

import re

from PIL import Image

from wine_session import run


class X:
    """Queries and input on the test's display."""

    def __init__(self, env):
        self.env = dict(env, LC_ALL="C.UTF-8")

    def search(self, pattern):
        out = run(["xdotool", "search", "--onlyvisible", "--name", pattern], self.env).stdout
        return [int(w) for w in out.split() if w.isdigit()]

    def geometry(self, wid):
        """(x, y, w, h) on the screen, or None once the window is gone."""
        out = run(["xwininfo", "-id", str(wid)], self.env).stdout
        values = [re.search(k + r":\s+(-?\d+)", out) for k in
                  ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        if not all(values) or "IsViewable" not in out:
            return None
        return tuple(int(v.group(1)) for v in values)

    def parent(self, wid):
        out = run(["xwininfo", "-tree", "-id", str(wid)], self.env).stdout
        m = re.search(r"Parent window id: (0x[0-9a-f]+)", out)
        return int(m.group(1), 16) if m else None

    def name(self, wid):
        out = run(["xprop", "-id", str(wid), "_NET_WM_NAME"], self.env).stdout
        m = re.search(r'= "(.*)"$', out.strip())
        return m.group(1) if m else None

    def state(self, wid):
        return run(["xprop", "-id", str(wid), "_NET_WM_STATE"], self.env).stdout

    def focus(self):
        out = run(["xdotool", "getwindowfocus"], self.env).stdout.strip()
        return int(out) if out.isdigit() else None

    def key(self, keys):
        run(["xdotool", "key", keys], self.env)

    def click(self, x, y):
        run(["xdotool", "mousemove", str(x), str(y), "click", "1"], self.env)

    def shot(self, wid, path):
        """A picture of the window as the screen shows it, or None once it is gone. Taken from the
        root window and cut out: a picture of the window alone sometimes comes back blank."""
        where = self.geometry(wid)
        if not where:
            return None
        if run(["import", "-window", "root", path], self.env, timeout=30).returncode != 0:
            return None
        x, y, w, h = where
        picture = Image.open(path).convert("RGB").crop((x, y, x + w, y + h))
        picture.save(path)
        return picture

    def wm_running(self):
        return "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env).stdout
