"""Keys in the pages of the real program, for the cycle check: a click into a page, keys typed
there and what the stand-in browser logs of them, Alt+Tab away and back, and the game window's hot
keys and notification-area icon. A mixin of the check's Cycles: it uses their display (x), the
stand-in's log (log) and their tries."""

from wine_session import SCREEN_H, SCREEN_W, check, wait_until

# Keys typed into a page, and what the stand-in must log for each, in this order: shown to its
# TranslateAccelerator ("A"), then received by the page ("V"); "*" marks the key it takes (the
# program's environment names Delete), which must not reach the page.
CONSUMED = "2e"
TYPED = [("a", ["key A down 41", "key V down 41", "key A char 61", "key V char 61"], []),
         ("BackSpace", ["key A down 08", "key V down 08"], []),
         ("ctrl+c", ["key A down 43 ^", "key V down 43 ^"], []),
         ("Delete", ["key A down 2e *", "key A up 2e *"], ["key V down 2e", "key V up 2e"])]


class PageKeys:
    def said(self, page, start, text):
        """page ((pid, instance) of a stand-in) logged text after line start."""
        return any((p, i) == page and t == text for p, i, t in self.log.entries(start))

    # -- keys in the pages

    def type_into(self, page, keys, expected, absent=()):
        """Types keys; the page logs the expected lines in this order, and none of absent."""
        def effect():
            texts = [t for p, i, t in self.log.entries(mark) if (p, i) == page]
            at = 0
            for text in texts:
                if at < len(expected) and text == expected[at]:
                    at += 1
            return at == len(expected)
        mark = len(self.log.read())
        ok = self.tries("key", lambda: self.x.key(keys), effect)
        seen = [t for p, i, t in self.log.entries(mark) if (p, i) == page]
        check(ok, "%s typed into the page: %s in this order (seen %s)" % (keys, expected, seen))
        check(not any(t in seen for t in absent), "%s goes no further than the control (%s)"
              % (keys, seen))

    def keys_in_page(self, page, x, y, what):
        """A click into the upper half of a page (which gives it the focus), the keys of TYPED,
        Alt+Tab to another window and back, a key that must reach the page again, and Up."""
        start = len(self.log.read())
        ok = self.tries("click into the page", lambda: self.x.click(x, y),
                        lambda: self.said(page, start, "click focus"))
        check(ok, "a click into the %s page reaches its browser" % what)
        for keys, expected, absent in TYPED:
            self.type_into(page, keys, expected, absent)
        front = self.x.focus()
        mark = len(self.log.read())
        self.x.key("alt+Tab")
        check(wait_until(lambda: self.x.focus() != front and self.said(page, mark, "focus out"),
                         5, 0.05), "Alt+Tab takes the focus from the %s page" % what)
        mark = len(self.log.read())
        self.x.key("alt+Tab")
        check(wait_until(lambda: self.said(page, mark, "focus in"), 5, 0.05),
              "Alt+Tab back gives the %s page the focus again" % what)
        self.type_into(page, "b", ["key A down 42", "key V down 42"])
        # Last: the dialog manager may move the focus on an arrow key the control declines.
        self.type_into(page, "Up", ["key A down 26"])
        print("  keys in the %s page: each shown to the control first; focus back after Alt+Tab"
              % what, flush=True)

    def hot_keys(self, gid, page, game_location):
        """F11, Esc, F5 and F12 in the game page, then the notification area's icon."""
        maximised = self.x.geometry(gid)
        whole = (0, 0, SCREEN_W, SCREEN_H)
        ok = self.tries("key", lambda: self.x.key("F11"), lambda: self.x.geometry(gid) == whole)
        check(ok, "F11: the game window covers the screen without its frame (%s)"
              % (self.x.geometry(gid),))
        ok = self.tries("key", lambda: self.x.key("Escape"),
                        lambda: self.x.geometry(gid) == maximised)
        check(ok, "Esc: back to the maximised window with its frame (%s, was %s)"
              % (self.x.geometry(gid), maximised))
        mark = len(self.log.read())
        location = "navigate " + game_location
        ok = self.tries("key", lambda: self.x.key("F5"), lambda: self.said(page, mark, location))
        check(ok, "F5: the view goes to the game page again")
        ok = self.tries("key", lambda: self.x.key("F12"), lambda: self.x.geometry(gid) is None)
        check(ok, "F12 hides the game window")
        trays = self.x.search("^Wine System Tray$")
        check(trays and self.x.geometry(trays[0]), "Wine's notification area shows")
        tx, ty, _, _ = self.x.geometry(trays[0])
        ok = self.tries("click into the page", lambda: self.x.click(tx + 8, ty + 10),
                        lambda: self.x.geometry(gid) == maximised)
        check(ok, "a click on the icon brings the game window back, maximised")
        self.type_into(page, "c", ["key A down 43", "key V down 43"])
        print("  F11, Esc, F5, F12 and the icon in the game window", flush=True)
