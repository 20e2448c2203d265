#!/usr/bin/python3
"""Goes round login -> game -> login with the real program, through X input only, under a window
manager (openbox) in a private Xvfb display and Wine prefix, until the program has handed over to
fresh copies of itself at its cycle bound a few times:

- the WebBrowser control is the stand-in DLL (standin_browser.dll), registered for its class in
  the prefix; it logs what it is asked and fires, and a click into it plays the player logging in
  on the guest-login page: the page goes to the game server that the script names for the cycle;
- every cycle: the login window (top-level "Orvane", 1208 x 762) and its page, a click into the
  page, the game window (maximised, caption "Orvanes<N>服 ...") and its page, a close of the game
  window (Alt+F4 or the frame's close button), an answer to the exit box "退出游戏" (the Y key,
  Enter or a click on Yes), and the next login window with its page;
- in the first cycle, before the login and again in the game page: a click into the page, keys
  typed there, each shown to the control's TranslateAccelerator before the page gets it (the
  Delete key, which the stand-in takes, goes no further), the focus back in the page after Alt+Tab
  to another window and back; in the game window F11, Esc, F5 and F12, and the notification
  area's icon bringing the hidden window back;
- past each bound the process ends with exit code 0 and a fresh copy shows its login window (the
  watcher, a Windows program in the same prefix, logs the start and exit code of every copy);
- at the end, the login window's close button ends the last copy with exit code 0, and no copy
  is left running.

    check_cycles.py --bound N [--cycles C] [--budget S] PROGRAM.exe STANDIN.dll WATCHER.exe WORK_DIR

C defaults to max(3 N, 150); the cycles fail past S seconds (330), before the test's limit. Prints one line per cycle and the retries that keys and clicks
needed. Everything it starts is ended on the way out, and every wait is bounded.
"""

import argparse
import os
import struct
import subprocess
import sys
import time

from page_keys import CONSUMED, PageKeys
from wine_session import (WINE, Failure, WineSession, check, run, stop_process,
                          wait_until)
from x_display import X

WEB_BROWSER_CLSID = "{8856F961-340A-11D0-A96B-00C04FD705A2}"
GUEST_LOGIN_URL = "http://passport.orvane.example/guest/c/qelv/login.php"
GAME_LOCATION = "http://game.orvane.example/s%d/main.php?uid=7"
EXIT_BOX = "退出游戏"
SKIN_W, SKIN_H = 1208, 762
BROWSER = (428, 297, 724, 369)
CLOSE = (1140, 155, 35, 35)
CLOSE_WAYS = ["alt+f4", "close button"]
ANSWER_WAYS = ["y key", "enter", "click yes"]
# Nested window procedure calls Wine allows on a thread.
WINE_NESTING_LIMIT = 64
# How long one try of a key or click may take to show its effect, and how many tries.
TRY_SECONDS = 1.5
TRIES = 5


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_process(process, timeout):
    """The process's exit code, or None when it has not ended within timeout seconds."""
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        return None


def pe32(path):
    """True for a 32-bit (PE32) image."""
    with open(path, "rb") as f:
        data = f.read(4096)
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, offset + 24)[0] == 0x10B


class Lines:
    """The lines that a file has gained, read as they come."""

    def __init__(self, path):
        self.path = path
        self.lines = []
        self._offset = 0
        self._rest = b""

    def read(self):
        if os.path.exists(self.path):
            with open(self.path, "rb") as f:
                f.seek(self._offset)
                data = f.read()
            self._offset += len(data)
            parts = (self._rest + data).split(b"\n")
            self._rest = parts.pop()
            self.lines.extend(p.rstrip(b"\r").decode("utf-8", "replace") for p in parts)
        return self.lines


class StandInLog(Lines):
    """The stand-in browsers' log: "PID INSTANCE TEXT" lines."""

    def entries(self, start=0):
        result = []
        for line in self.read()[start:]:
            pid, instance, text = (line.split(" ", 2) + ["", ""])[:3]
            result.append((pid, instance, text))
        return result

    def instance_that(self, start, pid, wanted):
        """(pid, instance) of the first browser made at or after line start, in process pid
        (any process but those in pid when it is a set, any at all for None), that logged every text in wanted."""
        made = []
        for p, i, text in self.entries(start):
            if text == "created" and (pid is None or (p == pid if isinstance(pid, str)
                                                      else p not in pid)):
                made.append((p, i))
        for key in made:
            texts = {t for p, i, t in self.entries(start) if (p, i) == key}
            if all(w in texts for w in wanted):
                return key
        return None


def yes_button(picture):
    """Centre of the exit box's Yes button in its client area: Wine draws Yes left of No, each
    with a shadow line along its bottom; the lowest row with two such lines holds them."""
    w, h = picture.size
    pixels = list(picture.getdata())
    background = max(set(pixels), key=pixels.count)
    for y in range(h - 1, 0, -1):
        runs, start = [], None
        for x in range(w + 1):
            dark = x < w and sum(picture.getpixel((x, y))) < 600
            if dark and start is None:
                start = x
            elif not dark and start is not None:
                if x - start >= 30:
                    runs.append((start, x))
                start = None
        if len(runs) == 2:
            left, right = runs[0]
            top = y
            while top > 0 and picture.getpixel((left, top - 1)) != background:
                top -= 1
            return (left + right) // 2, (top + y) // 2
    return None


class Cycles(PageKeys):
    def __init__(self, args, session, work):
        self.args = args
        self.env = session.env
        self.x = X(session.env)
        self.work = work
        self.log = StandInLog(os.path.join(work, "standin.log"))
        self.watch = Lines(os.path.join(work, "watcher.log"))
        self.server_file = os.path.join(work, "server.txt")
        self.retries = {"click into the page": 0, "close": 0, "answer": 0, "key": 0}
        self.repaint_nudges = 0  # boxes whose buttons showed only once the pointer came over
        self.first = None        # the script's own child: the first process
        self.pid = None          # Windows process id of the program in front
        self.pids = []           # every process, in order
        self.in_process = 0      # cycles started by the process in front
        self.hand_overs = []     # cycles each process went through before it handed over
        # Ends in time for the clean-up inside the test's own time limit.
        self.deadline = time.time() + args.budget
        self.login = None        # (X window, x, y)
        self.click_headroom = None
        # Per cycle: process, calls left at the click, fewest left while windows were made,
        # close way, answer way.
        self.nesting = []

    # -- the program's processes, as the watcher sees them

    def watcher_exit(self, pid):
        for line in self.watch.read():
            parts = line.split()
            if len(parts) == 3 and parts[0] == "exit" and parts[1] == pid:
                return int(parts[2])
        return None

    def exit_code(self, pid, timeout):
        """The process's exit code once the watcher saw it end, or None."""
        wait_until(lambda: self.watcher_exit(pid) is not None, timeout, 0.05)
        return self.watcher_exit(pid)

    def watcher_started(self):
        return [l.split()[1] for l in self.watch.read() if l.startswith("start ")]

    # -- windows

    def find_login(self, timeout):
        """The login window: with the skin's size. (The one before it went when the game window
        came; X window ids come back in a later process.)"""
        def found():
            for wid in self.x.search("^Orvane$"):
                geo = self.x.geometry(wid)
                if geo and geo[2:] == (SKIN_W, SKIN_H):
                    return wid, geo[0], geo[1]
            return None
        login = wait_until(found, timeout, 0.05)
        check(login, "a new login window (top-level \"Orvane\", 1208 x 762) appears")
        return login

    def login_page(self, start, pid, timeout=10):
        return wait_until(lambda: self.log.instance_that(
            start, pid, ["navigate " + GUEST_LOGIN_URL, "fire 252 " + GUEST_LOGIN_URL]),
            timeout, 0.05)

    def find_box(self, timeout):
        def found():
            for wid in self.x.search("^%s$" % EXIT_BOX):
                geo = self.x.geometry(wid)
                if geo:
                    return wid, geo
            return None
        return wait_until(found, timeout, 0.05)

    def headroom(self, start, prefix, pid=None, lowest=False):
        """The nested window procedure calls left that the stand-in logged after line start with
        that prefix (in process pid, or the one in front): the last or the lowest, or None."""
        pid = pid or self.pid
        values = [int(t[len(prefix):]) for p, _, t in self.log.entries(start)
                  if p == pid and t.startswith(prefix)]
        return (min(values) if lowest else values[-1]) if values else None

    def until_focused(self, wid, timeout=2):
        wait_until(lambda: self.x.focus() == wid, timeout, 0.02)

    def tries(self, kind, attempt, effect):
        """Tries attempt until effect shows; counts the tries past the first."""
        for n in range(TRIES):
            attempt()
            result = wait_until(effect, TRY_SECONDS, 0.05)
            if result:
                return result
            self.retries[kind] += 1
            print("  retry %s (%d)" % (kind, n + 1), flush=True)
        return None

    # -- the steps of a cycle

    def log_in(self, server, keys=False):
        wid, x, y = self.login
        with open(self.server_file, "w") as f:
            f.write("%d\n" % server)
        start = len(self.log.read())
        bx, by, bw, bh = BROWSER
        if keys:
            self.keys_in_page(self.page, x + bx + bw // 2, y + by + bh // 4, "login")
        clicked = "click server %d" % server
        # The lower half of the page plays the login.
        ok = self.tries("click into the page", lambda: self.x.click(x + bx + bw // 2, y + by + bh * 3 // 4),
                        lambda: any(p == self.pid and t == clicked
                                    for p, _, t in self.log.entries(start)))
        check(ok, "the click into the login page reaches the browser (%s)" % clicked)
        # Logged right after the click's line.
        self.click_headroom = wait_until(lambda: self.headroom(start, "headroom at click "), 5,
                                         0.02)
        check(self.click_headroom is not None, "the stand-in measured the nesting at the click")
        self.in_process += 1

        def game():
            for gid in self.x.search("^Orvanes"):
                if self.x.geometry(gid):
                    return gid
            return None
        gid = wait_until(game, 10, 0.05)
        check(gid, "the game window appears")
        check(wait_until(lambda: self.x.geometry(wid) is None, 5, 0.05),
              "the login window goes when the game window comes")
        caption = wait_until(lambda: (lambda n: n if n and n.startswith("Orvanes") else None)(
            self.x.name(gid)), 5, 0.05)
        check(caption and "Orvane" in caption and ("s%d服" % server) in caption,
              "the game window's caption names server %d: %r" % (server, caption))
        check(wait_until(lambda: "MAXIMIZED_HORZ" in self.x.state(gid), 5, 0.05),
              "the game window is maximised (%s)" % self.x.state(gid).strip())
        view = wait_until(lambda: self.log.instance_that(
            start, self.pid, ["navigate " + GAME_LOCATION % server]), 10, 0.05)
        check(view, "the game window's view navigates to %s" % (GAME_LOCATION % server))
        if keys:
            gx, gy, gw, gh = self.x.geometry(gid)
            self.keys_in_page(view, gx + gw // 2, gy + gh // 4, "game")
            self.hot_keys(gid, view, GAME_LOCATION % server)
        return gid

    def close_game(self, gid, way):
        if way == "alt+f4":
            def attempt():
                self.until_focused(gid)
                self.x.key("alt+F4")
        else:
            frame = self.x.parent(gid)
            fx, fy, fw, _ = self.x.geometry(frame)
            _, gy, _, _ = self.x.geometry(gid)
            title = gy - fy
            check(title > 8, "the game window has a title bar (%d px)" % title)
            # The frame's rightmost title button is its close button, as high as the bar.
            def attempt():
                self.x.click(fx + fw - 1 - title // 2, fy + title // 2)
        box = self.tries("close", attempt, lambda: self.find_box(0))
        check(box, "closing the game window (%s) shows the exit box" % way)
        return box

    def answer(self, box, way):
        bid, (bx, by, _, _) = box
        if way == "click yes":
            # A box that has just appeared may not have painted yet. Under Wine its buttons now
            # and then show only once the pointer comes over the box, as a player's does.
            def buttons():
                picture = self.x.shot(bid, os.path.join(self.work, "exit-box.png"))
                return yes_button(picture) if picture else None
            yes = wait_until(buttons, 1, 0.1)
            if not yes:
                self.repaint_nudges += 1
                self.x.click(bx + 8, by + 8)   # the box's text, away from its buttons
                yes = wait_until(buttons, 4, 0.1)
            if not yes:
                # What the player can still do with a box drawn empty: the report says.
                self.until_focused(bid)
                self.x.key("y")
                took = wait_until(lambda: self.x.geometry(bid) is None, TRY_SECONDS, 0.05)
                check(False, "the exit box shows its Yes and No buttons (it does not; the Y key "
                      "%s)" % ("closes it" if took else "does not close it either"))
            def attempt():
                self.x.click(bx + yes[0], by + yes[1])
        else:
            keys = "y" if way == "y key" else "Return"
            def attempt():
                self.until_focused(bid)
                self.x.key(keys)
        gone = self.tries("answer", attempt, lambda: self.x.geometry(bid) is None)
        check(gone, "the exit box takes the answer (%s)" % way)

    def next_login(self, start):
        """After a confirmed close: a new login window of the same process, or of a fresh copy
        that took over from this one, which ended with exit code 0. The copy takes over at the
        close after the bound at the latest (earlier when Wine's nesting room runs short)."""
        login = self.find_login(15)
        key = self.login_page(start, None)
        check(key, "the new login window's browser navigates to %s" % GUEST_LOGIN_URL)
        if key[0] == self.pid:
            check(self.in_process <= self.args.bound,
                  "past the bound (%d cycles in process %s) a fresh copy takes over"
                  % (self.in_process, self.pid))
            check(self.watcher_exit(self.pid) is None,
                  "process %s goes on running after its own next login window" % self.pid)
            return login, False
        old = self.pid
        check(key[0] not in self.pids, "the new login window belongs to a new process (%s)"
              % key[0])
        code = self.exit_code(old, 10)
        check(code == 0, "process %s ends with exit code 0 at the hand-over (%s)" % (old, code))
        if old == self.pids[0]:
            child = wait_until(lambda: self.first.poll() is not None, 10, 0.05)
            check(child and self.first.returncode == 0,
                  "wine returns the first process's exit code 0 (%s)" % self.first.returncode)
        self.pid = key[0]
        check(self.pid in self.watcher_started(), "the watcher saw the copy %s start" % self.pid)
        self.pids.append(self.pid)
        self.hand_overs.append(self.in_process)
        self.in_process = 0
        return login, True

    def run(self):
        args = self.args
        self.first = subprocess.Popen([WINE, args.program], env=self.program_env(),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.login = self.find_login(60)
            key = self.login_page(0, set())
            check(key, "the first login window's browser navigates to %s" % GUEST_LOGIN_URL)
            self.pid = key[0]
            self.page = key
            self.pids.append(self.pid)
            print("first process %s" % self.pid, flush=True)
            for cycle in range(1, args.cycles + 1):
                began = time.time()
                cycle_start = len(self.log.read())
                check(began < self.deadline, "all cycles within %d s (cycle %d of %d due)"
                      % (args.budget, cycle, args.cycles))
                retries = sum(self.retries.values())
                server = cycle
                close_way = CLOSE_WAYS[cycle % len(CLOSE_WAYS)]
                answer_way = ANSWER_WAYS[cycle % len(ANSWER_WAYS)]
                pid = self.pid
                try:
                    gid = self.log_in(server, keys=cycle == 1)
                    box = self.close_game(gid, close_way)
                    start = len(self.log.read())
                    self.answer(box, answer_way)
                    self.login, handed = self.next_login(start)
                except Failure as failure:
                    raise Failure("cycle %d (process %s, %d in it): %s"
                                  % (cycle, pid, self.in_process, failure))
                made = [v for v in (self.headroom(cycle_start, "headroom at window ", p, True)
                                    for p in {pid, self.pid}) if v is not None]
                check(made, "the stand-in measured the nesting while the cycle's windows were made")
                lowest = min(made)
                self.nesting.append((pid, self.click_headroom, lowest, close_way, answer_way))
                print("cycle %3d  process %-5s server %3d  close %-12s answer %-9s %.2f s"
                      "  retries %d  calls left %d at the click, %d at the least%s"
                      % (cycle, pid, server, close_way, answer_way, time.time() - began,
                         sum(self.retries.values()) - retries, self.click_headroom, lowest,
                         "  -> fresh copy %s" % self.pid if handed else ""), flush=True)
            self.report_nesting()
            self.end()
        finally:
            stop_process(self.first)

    def report_nesting(self):
        """Nested window procedure calls each way round leaves behind (measured between the
        clicks of two cycles of one process); they must leave the bound twice that as margin."""
        per_way = {}
        for (pid, left, _, close, answer), (next_pid, next_left, _, _, _) in zip(
                self.nesting, self.nesting[1:]):
            if pid == next_pid:
                per_way.setdefault((close, answer), set()).add(left - next_left)
        for (close, answer), costs in sorted(per_way.items()):
            print("nesting per cycle, close by %s, answer by %s: %s calls"
                  % (close, answer, "/".join(str(c) for c in sorted(costs))), flush=True)
        check(per_way, "a process went round two cycles in a row, so the nesting per cycle shows")
        deepest = max(max(c) for c in per_way.values())
        lowest = min(n[2] for n in self.nesting)
        print("deepest cycle %d calls; fewest calls left while windows were made: %d"
              % (deepest, lowest), flush=True)
        reserve = self.args.reserve
        check(2 * deepest * self.args.bound + reserve <= WINE_NESTING_LIMIT,
              "%d cycles of twice the deepest way round (%d) and the reserve (%d) fit in Wine's "
              "%d nested calls" % (self.args.bound, deepest, reserve, WINE_NESTING_LIMIT))
        check(lowest >= reserve, "the program never goes below its reserve of %d "
              "nested calls (%d)" % (reserve, lowest))

    def end(self):
        wid, x, y = self.login
        cx, cy, cw, ch = CLOSE
        last = self.pid
        self.x.click(x + cx + cw // 2, y + cy + ch // 2)
        code = self.exit_code(last, 15)
        check(code == 0, "the login window's close button ends process %s with exit code 0 (%s)"
              % (last, code))
        if last == self.pids[0]:
            check(wait_process(self.first, 15) == 0, "wine returns exit code 0")
        print("close button: process %s ended with exit code 0" % last, flush=True)

    def program_env(self):
        return dict(self.env, ORVANE_STANDIN_LOG=windows_path(self.log.path),
                    ORVANE_STANDIN_SERVER=windows_path(self.server_file),
                    ORVANE_STANDIN_CONSUME=CONSUMED)


def register_standin(session, dll, view):
    key = r"HKLM\Software\Classes\CLSID\%s\InprocServer32" % WEB_BROWSER_CLSID
    check(session.reg_add(key, ["/ve", "/d", windows_path(dll)], view) and
          session.reg_add(key, ["/v", "ThreadingModel", "/d", "Apartment"], view),
          "the stand-in registered for the WebBrowser class (/reg:%d)" % view)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bound", type=int, required=True)
    parser.add_argument("--reserve", type=int, required=True,
                        help="nested calls the program keeps in reserve at a confirmed close")
    parser.add_argument("--cycles", type=int)
    parser.add_argument("--budget", type=int, default=330,
                        help="seconds the cycles may take in all")
    parser.add_argument("program")
    parser.add_argument("standin")
    parser.add_argument("watcher")
    parser.add_argument("work")
    args = parser.parse_args()
    args.cycles = args.cycles or max(3 * args.bound, 150)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    for name in ("standin.log", "watcher.log", "watcher.stop", "server.txt"):
        if os.path.exists(os.path.join(work, name)):
            os.remove(os.path.join(work, name))
    view = 32 if pe32(args.program) else 64
    print("bound %d, %d cycles, %d-bit program" % (args.bound, args.cycles, view), flush=True)
    check(pe32(args.standin) == (view == 32), "the stand-in DLL has the program's bitness")

    began = time.time()
    openbox = watcher = None
    with WineSession(os.path.join(work, "wineprefix")) as session:
        try:
            check(session.up, "own Xvfb display :%s and Wine prefix with its RPC service running"
                  % session.display)
            register_standin(session, args.standin, view)
            config = os.path.join(work, "openbox-config")
            os.makedirs(config, exist_ok=True)
            # Openbox with its default configuration (nothing from the user's own).
            openbox = subprocess.Popen(["openbox"], env=dict(session.env, XDG_CONFIG_HOME=config),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            x = X(session.env)
            check(wait_until(x.wm_running, 10, 0.1), "openbox manages the display")

            cycles = Cycles(args, session, work)
            stop_file = os.path.join(work, "watcher.stop")
            watcher = subprocess.Popen([WINE, args.watcher, "orvane.exe",
                                        windows_path(cycles.watch.path), windows_path(stop_file),
                                        "900"], env=session.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            check(wait_until(lambda: "watching" in cycles.watch.read(), 30, 0.05),
                  "the watcher runs")
            print("set-up %.1f s" % (time.time() - began), flush=True)
            cycles_began = time.time()
            try:
                cycles.run()
            finally:
                print("retries: " + ", ".join("%s %d" % kv for kv in cycles.retries.items()),
                      flush=True)
                print("exit boxes whose buttons showed only once the pointer came over them: %d"
                      % cycles.repaint_nudges, flush=True)
            with open(stop_file, "w"):
                pass
            check(wait_process(watcher, 15) == 0, "the watcher stops")
            lines = cycles.watch.read()
            started = [l.split()[1] for l in lines if l.startswith("start ")]
            ended = {l.split()[1]: l.split()[2] for l in lines if l.startswith("exit ")}
            check(started == cycles.pids, "the watcher saw these processes start: %s (the "
                  "cycles saw %s)" % (started, cycles.pids))
            check(all(ended.get(p) == "0" for p in started),
                  "every process ended with exit code 0: %s" % ended)
            check(lines[-1] == "stop 0", "no orvane.exe is left running (%s)" % lines[-1])
            print("cycles of each process up to its hand-over: %s" % cycles.hand_overs)
            print("%d cycles, %d processes, %.1f s (%.2f s a cycle)"
                  % (args.cycles, len(started), time.time() - cycles_began,
                     (time.time() - cycles_began) / args.cycles), flush=True)
        except Failure as failure:
            print("FAIL " + str(failure), flush=True)
            run(["import", "-window", "root", os.path.join(work, "failure.png")], session.env,
                timeout=60)
            tail = StandInLog(os.path.join(work, "standin.log")).read()[-12:]
            print("stand-in log, last lines:\n  " + "\n  ".join(tail))
            print("screenshot: " + os.path.join(work, "failure.png"))
            return 1
        finally:
            stop_process(watcher)
            stop_process(openbox)
    print("PASS (%.1f s)" % (time.time() - began))
    return 0


if __name__ == "__main__":
    sys.exit(main())
