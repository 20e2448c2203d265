"""What the whole-program checks share: running commands and Wine programs, bounded waits, a
private Xvfb display, a private Wine prefix with its own wineserver, and reading the display's
top-level windows. Everything started here is ended on the way out, also on failure."""

import os
import re
import select
import signal
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Runs PE32 programs under wine, PE32+ under wine64.
WINE = os.path.join(HERE, "..", "..", "scripts", "wine-run")
# Starts a prefix's server and checks that its RPC service runs (as scripts/xenv does).
WINE_PREFIX = os.path.join(HERE, "..", "..", "scripts", "wine-prefix")
WINESERVER = "/usr/lib/wine/wineserver"
SCREEN_W, SCREEN_H = 1920, 1080


class Failure(Exception):
    """A check of a whole-program test that failed."""


def check(ok, what):
    if not ok:
        raise Failure(what)


def run(args, env, timeout=30):
    return subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=timeout)


def wine(args, env, timeout=180, stdout=subprocess.DEVNULL):
    """A Wine command. Its output goes to a file or nowhere, never to a pipe: servers that it
    starts would keep a pipe open."""
    return subprocess.run([WINE] + args, env=env, stdout=stdout, stderr=subprocess.DEVNULL,
                          timeout=timeout).returncode


def wait_until(what, timeout, step=0.2):
    deadline = time.time() + timeout
    while True:
        result = what()
        if result or time.time() >= deadline:
            return result
        time.sleep(step)


def display_in_use(n):
    return os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n)


def start_xvfb():
    """(Xvfb process, display number): $ORVANE_TEST_DISPLAY when set, else a free number that
    Xvfb picks itself (two tests starting at once never get the same one); (None, None) when no
    display could be had."""
    args = ["-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H), "-nolisten", "tcp", "-br"]
    wanted = os.environ.get("ORVANE_TEST_DISPLAY")
    if wanted:
        n = int(wanted)
        if display_in_use(n):
            return None, None
        xvfb = subprocess.Popen(["Xvfb", ":%d" % n] + args, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        up = wait_until(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n) or
                        xvfb.poll() is not None, 10, 0.1)
        if not up or xvfb.poll() is not None:
            stop_process(xvfb)
            return None, None
        return xvfb, n
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end)] + args, pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    # Xvfb writes the number once it takes connections.
    number = b""
    deadline = time.time() + 10
    while not number.endswith(b"\n") and time.time() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        stop_process(xvfb)
        return None, None
    return xvfb, int(number)


def stop_process(process, timeout=10):
    if process is None or process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=timeout)


class WineSession:
    """Its own Xvfb display and its own Wine prefix (win64) with a running wineserver:

        with WineSession(prefix_dir) as session:
            session.env ...   # DISPLAY, WINEPREFIX and the rest, for every command

    The prefix is started by scripts/wine-prefix: a new one has its server restarted once after it
    is made, and the RPC service must run (prefix_state says how it went). up is false when the
    display could not be had or that check failed. On the way out the prefix's wineserver and the
    programs in it are killed, and the display is stopped."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.display = None
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree=")
        self.xvfb = None
        self.up = False
        self.prefix_state = None

    def __enter__(self):
        self.xvfb, self.display = start_xvfb()
        if self.xvfb is None:
            return self
        self.env["DISPLAY"] = ":%d" % self.display
        try:
            started = run([WINE_PREFIX, "start"], self.env, timeout=300)
        except subprocess.TimeoutExpired:
            self.__exit__(None, None, None)
            return self
        self.prefix_state = started.stdout.strip()
        print("Wine prefix %s: %s" % (self.prefix, self.prefix_state), flush=True)
        if started.returncode != 0:
            self.__exit__(None, None, None)
            return self
        self.up = True
        return self

    def __exit__(self, *exc):
        if os.path.isdir(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        stop_process(self.xvfb)
        return False

    def restart_if_new(self):
        """After the settings of a new prefix, a new session: its first one started before they
        were made, and some are read once a session (the X11 driver's Managed). True when the
        RPC service runs afterwards; a reused prefix is left as it is."""
        if not self.prefix_state.startswith("fresh"):
            return True
        try:
            again = run([WINE_PREFIX, "restart"], self.env, timeout=300)
        except subprocess.TimeoutExpired:
            return False
        self.prefix_state = again.stdout.strip()
        print("Wine prefix %s: %s" % (self.prefix, self.prefix_state), flush=True)
        return again.returncode == 0

    def reg_add(self, key, value, view=None):
        """reg add KEY VALUE... /f, in the registry view /reg:32 or /reg:64 when given."""
        args = ["reg", "add", key] + value + ["/f"]
        if view:
            args.append("/reg:%d" % view)
        return wine(args, self.env, timeout=60) == 0


def x_windows(env):
    """Top-level X windows, topmost first: (id, name, x, y, w, h, viewable)."""
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
