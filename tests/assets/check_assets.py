#!/usr/bin/python3
"""Checks the committed artwork and resource inputs in res/.

    /usr/bin/python3 tests/assets/check_assets.py [--res DIR]

Prints each failed check and exits 1 if any failed, 0 otherwise.
"""

import argparse
import html.parser
import os
import struct
import sys
import xml.etree.ElementTree as ET

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RES = os.path.normpath(os.path.join(HERE, "..", "..", "res"))

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def png_header(path):
    """(width, height, bit depth, colour type, interlace) from the IHDR chunk."""
    with open(path, "rb") as f:
        head = f.read(33)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">IIBBBBB", head[16:29])[:3] + (head[25], head[28])


def luminance(rgb):
    r, g, b = rgb[:3]
    return 0.299 * r + 0.587 * g + 0.114 * b


# ---------------------------------------------------------------- skin

BROWSER = (428, 297, 1152, 666)             # inclusive
LINK_BUTTONS = [(485, 210), (657, 210), (853, 210), (1033, 210)]
SYS_BUTTONS = [(1105, 155), (1140, 155)]


def check_skin(res):
    path = os.path.join(res, "login_skin.png")
    hdr = png_header(path)
    if not check(hdr is not None, "login_skin.png: not a PNG file"):
        return
    w, h, depth, ctype, interlace = hdr
    check((w, h) == (1208, 762), "login_skin.png: size %dx%d, want 1208x762" % (w, h))
    check(depth == 8 and ctype == 6, "login_skin.png: bit depth %d colour type %d, want 8/6" % (depth, ctype))
    check(interlace == 0, "login_skin.png: interlaced")
    img = Image.open(path)
    if not check(img.mode == "RGBA" and img.size == (1208, 762), "login_skin.png: cannot check alpha"):
        return
    alpha = img.getchannel("A")
    hist = alpha.histogram()
    n = float(w * h)
    zero, full = hist[0] / n, hist[255] / n
    partial = (w * h - hist[0] - hist[255]) / n
    check(0.35 <= zero <= 0.41, "login_skin.png: %.2f%% of pixels transparent, want 35..41%%" % (100 * zero))
    check(0.55 <= full <= 0.61, "login_skin.png: %.2f%% of pixels opaque, want 55..61%%" % (100 * full))
    check(0.02 <= partial <= 0.06, "login_skin.png: %.2f%% partly transparent, want 2..6%%" % (100 * partial))

    px = alpha.load()
    bottom = alpha.crop((0, 740, w, h)).getextrema()
    check(bottom == (0, 0), "login_skin.png: rows 740..761 are not fully transparent")
    check(any(px[0, y] for y in range(h)), "login_skin.png: nothing visible in column 0")
    check(any(px[w - 1, y] for y in range(h)), "login_skin.png: nothing visible in column 1207")
    check(any(px[x, 0] for x in range(w)), "login_skin.png: nothing visible in row 0")
    check(any(px[x, 739] for x in range(w)), "login_skin.png: nothing visible in row 739")

    def opaque(box, what):
        x0, y0, x1, y1 = box
        lo = alpha.crop((x0, y0, x1 + 1, y1 + 1)).getextrema()[0]
        check(lo == 255, "login_skin.png: not opaque under %s (min alpha %d)" % (what, lo))

    opaque(BROWSER, "the browser")
    for x, y in LINK_BUTTONS:
        opaque((x, y, x + 69, y + 31), "the link button at %d,%d" % (x, y))
    for x, y in SYS_BUTTONS:
        part = alpha.crop((x, y, x + 35, y + 35)).histogram()
        check(part[255] >= 0.95 * 35 * 35,
              "login_skin.png: button area at %d,%d only %d of 1225 pixels opaque" % (x, y, part[255]))


# ---------------------------------------------------------------- link bitmaps

LINK_BITMAPS = [(139, 140), (141, 142), (143, 144), (145, 147)]
GREYS = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}


def bmp_header(path):
    with open(path, "rb") as f:
        head = f.read(54)
    if head[:2] != b"BM":
        return None
    size, width, height, planes, bpp, compression = struct.unpack("<IiiHHI", head[14:34])
    return width, height, bpp, compression


def mean_luminance(img):
    rgb = img.convert("RGB")
    total = sum(luminance(p) for p in rgb.getdata())
    return total / (rgb.size[0] * rgb.size[1])


def check_bitmaps(res):
    check(not os.path.exists(os.path.join(res, "btn_146.bmp")), "btn_146.bmp exists; there is no bitmap 146")
    for normal, hot in LINK_BITMAPS:
        lum = {}
        for rid in (normal, hot):
            name = "btn_%d.bmp" % rid
            path = os.path.join(res, name)
            if not check(os.path.exists(path), "%s missing" % name):
                continue
            hdr = bmp_header(path)
            if not check(hdr is not None, "%s: not a BMP file" % name):
                continue
            width, height, bpp, compression = hdr
            check((width, abs(height)) == (70, 32), "%s: %dx%d, want 70x32" % (name, width, height))
            check(bpp == 24 and compression == 0, "%s: %d bpp, compression %d, want 24/0" % (name, bpp, compression))
            img = Image.open(path).convert("RGB")
            bad = GREYS.intersection(img.getdata())
            check(not bad, "%s: holds the 3-D mapped grey(s) %s" % (name, sorted(bad)))
            lum[rid] = mean_luminance(img)
        if len(lum) == 2:
            check(lum[hot] > lum[normal] + 5,
                  "btn_%d.bmp (hot) is not brighter than btn_%d.bmp (%.1f vs %.1f)" % (hot, normal, lum[hot], lum[normal]))


# ---------------------------------------------------------------- round buttons

ROUND = [(138, 137, 31, 30), (159, 160, 31, 31)]


def check_round_buttons(res):
    for normal, hot, w, h in ROUND:
        lum = {}
        for rid in (normal, hot):
            name = "btn_%d.png" % rid
            path = os.path.join(res, name)
            hdr = png_header(path) if os.path.exists(path) else None
            if not check(hdr is not None, "%s missing or not a PNG" % name):
                continue
            check(hdr[:2] == (w, h), "%s: %dx%d, want %dx%d" % (name, hdr[0], hdr[1], w, h))
            check(hdr[2:4] == (8, 6), "%s: not 8-bit RGBA" % name)
            img = Image.open(path).convert("RGBA")
            px = img.load()
            corners = [px[0, 0], px[w - 1, 0], px[0, h - 1], px[w - 1, h - 1]]
            check(all(c[3] == 0 for c in corners), "%s: corners outside the circle are not transparent" % name)
            check(px[w // 2, h // 2][3] == 255, "%s: centre is not opaque" % name)
            pts = [p for p in img.getdata() if p[3] == 255]
            lum[rid] = sum(luminance(p) for p in pts) / max(1, len(pts))
        if len(lum) == 2:
            check(lum[hot] > lum[normal], "btn_%d.png (hot) is not brighter than btn_%d.png" % (hot, normal))


# ---------------------------------------------------------------- icon

ICON_ENTRIES = sorted([(48, 32), (48, 24), (48, 8), (32, 24), (32, 8), (16, 24), (16, 8)])


def check_icon(res):
    path = os.path.join(res, "orvane.ico")
    if not check(os.path.exists(path), "orvane.ico missing"):
        return
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    if not check(reserved == 0 and kind == 1, "orvane.ico: not an icon file"):
        return
    found = []
    for i in range(count):
        w, h, colours, _, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        blob = data[offset:offset + size]
        what = "orvane.ico entry %d (%dx%d)" % (i, w, h)
        if not check(len(blob) == size, "%s: truncated" % what):
            continue
        if not check(blob[:4] != b"\x89PNG", "%s: PNG-compressed" % what):
            continue
        hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", blob)
        check(hsize == 40 and comp == 0, "%s: not an uncompressed BITMAPINFOHEADER image" % what)
        check((bw, bh) == (w, 2 * h), "%s: bitmap header says %dx%d" % (what, bw, bh))
        check(bbpp == bpp, "%s: directory says %d bpp, bitmap %d" % (what, bpp, bbpp))
        palette = 4 * 256 if bbpp == 8 else 0
        stride = (w * bbpp + 31) // 32 * 4
        mask_stride = (w + 31) // 32 * 4
        check(size == 40 + palette + stride * h + mask_stride * h,
              "%s: %d bytes, not the size of image plus AND mask" % (what, size))
        found.append((w, bbpp))
    check(sorted(found) == ICON_ENTRIES, "orvane.ico: entries %s, want %s" % (sorted(found), ICON_ENTRIES))


# ---------------------------------------------------------------- dialog-init data

P1 = (b"<MFCButton_Style>6</MFCButton_Style><MFCButton_Autosize>FALSE</MFCButton_Autosize>"
      b"<MFCButton_Tooltip></MFCButton_Tooltip><MFCButton_FullTextTool>FALSE</MFCButton_FullTextTool>"
      b"<MFCButton_CursorType>12</MFCButton_CursorType><MFCButton_ImageType>10</MFCButton_ImageType>"
      b"<MFCButton_ImageOnTop>FALSE</MFCButton_ImageOnTop><MFCButton_ImageOnRight>FALSE</MFCButton_ImageOnRight>")
P2 = P1.replace(b"<MFCButton_ImageType>10</MFCButton_ImageType>", b"<MFCButton_ImageType>8</MFCButton_ImageType>")
P3 = P2.replace(b"<MFCButton_FullTextTool>FALSE</MFCButton_FullTextTool>",
                b"<MFCButton_FullTextTool>TRUE</MFCButton_FullTextTool>")

DLGINIT_RECORDS = [(1005, 0x0376, 160, None), (1006, 0x037C, 371, P1), (1004, 0x037C, 371, P1),
                   (1008, 0x037C, 370, P2), (1009, 0x037C, 371, P1), (1010, 0x037C, 371, P1),
                   (1012, 0x037C, 369, P3)]


def parse_dlginit(data):
    """List of (control, message, data); None if the list is malformed."""
    out, pos = [], 0
    while pos + 2 <= len(data):
        ctrl, = struct.unpack_from("<H", data, pos)
        if ctrl == 0:
            return out if pos + 2 == len(data) else None
        if pos + 8 > len(data):
            return None
        msg, length = struct.unpack_from("<HI", data, pos + 2)
        out.append((ctrl, msg, data[pos + 8:pos + 8 + length]))
        pos += 8 + length
    return None


def check_dlginit(res):
    path = os.path.join(res, "dlginit_103.bin")
    if not check(os.path.exists(path), "dlginit_103.bin missing"):
        return
    data = open(path, "rb").read()
    check(len(data) == 2441, "dlginit_103.bin: %d bytes, want 2441" % len(data))
    recs = parse_dlginit(data)
    if not check(recs is not None, "dlginit_103.bin: records do not end with a zero word at the end"):
        return
    got = [(c, m, len(d)) for c, m, d in recs]
    want = [(c, m, n) for c, m, n, _ in DLGINIT_RECORDS]
    check(got == want, "dlginit_103.bin: records %s, want %s" % (got, want))
    for (ctrl, _, blob), (_, _, _, text) in zip(recs, DLGINIT_RECORDS):
        if text is not None:
            check(blob == text, "dlginit_103.bin: property string of control %d differs" % ctrl)
        else:
            check(blob[:4] == b"\0\0\0\0", "dlginit_103.bin: browser state has a licence key")
    check(len(P1) == 371 and len(P2) == 370 and len(P3) == 369, "property strings have wrong lengths")


# ---------------------------------------------------------------- HTML start page

class Outline(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tags = []      # (tag, attrs, depth)
        self.depth = 0
        self.text = []

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs), self.depth))
        if tag != "meta":
            self.depth += 1

    def handle_endtag(self, tag):
        self.depth -= 1

    def handle_data(self, data):
        if data.strip():
            self.text.append((self.tags[-1][0] if self.tags else None, data.strip()))


def check_html(res):
    path = os.path.join(res, "game.htm")
    if not check(os.path.exists(path), "game.htm missing"):
        return
    raw = open(path, "rb").read()
    check(raw.count(b"\n") == raw.count(b"\r\n") and raw.count(b"\r") == raw.count(b"\r\n"),
          "game.htm: line ends are not all CR LF")
    check(raw.endswith(b"\r\n"), "game.htm: last line has no CR LF")
    try:
        text = raw.decode("gb2312")
    except UnicodeDecodeError:
        check(False, "game.htm: not GB2312")
        return
    p = Outline()
    p.feed(text)
    tags = p.tags
    metas = [a for t, a, _ in tags if t == "meta"]
    check(any(a.get("http-equiv", "").lower() == "content-type" and
              a.get("content", "").replace(" ", "").lower() == "text/html;charset=gb2312" for a in metas),
          "game.htm: no Content-Type meta with charset gb2312")
    bodies = [a for t, a, _ in tags if t == "body"]
    check(len(bodies) == 1 and bodies[0].get("id") == "CTalvGameDlg" and bodies[0].get("bgcolor") == "BLACK",
          "game.htm: BODY is not ID CTalvGameDlg BGCOLOR BLACK")
    tables = [(a, i) for i, (t, a, _) in enumerate(tags) if t == "table"]
    if not check(len(tables) == 1 and tables[0][0].get("width") == "100%", "game.htm: not one TABLE WIDTH 100%"):
        return
    inside = tags[tables[0][1] + 1:]
    rows = [(i, a) for i, (t, a, _) in enumerate(inside) if t == "tr"]
    cells = [(i, a) for i, (t, a, _) in enumerate(inside) if t in ("td", "th")]
    if not check(len(rows) == 2, "game.htm: table has %d rows, want 2" % len(rows)):
        return
    first = [a for i, a in cells if rows[0][0] < i < rows[1][0]]
    second = [a for i, a in cells if i > rows[1][0]]
    check(len(first) == 1 and first[0].get("align") == "RIGHT", "game.htm: first row is not one ALIGN RIGHT cell")
    check(not second, "game.htm: second row has cells")
    check(rows[1][1].get("width") == "100%" and rows[1][1].get("height") == "75",
          "game.htm: second row is not WIDTH 100% HEIGHT 75")
    check(not [t for t, d in p.text if t in ("td", "tr", "table")], "game.htm: table holds text")


# ---------------------------------------------------------------- manifest

ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"


def check_manifest(res):
    path = os.path.join(res, "orvane.manifest")
    if not check(os.path.exists(path), "orvane.manifest missing"):
        return
    raw = open(path, "rb").read()
    check(raw.startswith(b"\xef\xbb\xbf"), "orvane.manifest: no UTF-8 byte-order mark")
    try:
        root = ET.fromstring(raw[3:] if raw.startswith(b"\xef\xbb\xbf") else raw)
    except ET.ParseError as e:
        check(False, "orvane.manifest: %s" % e)
        return
    check(root.tag == ASM1 + "assembly" and root.get("manifestVersion") == "1.0",
          "orvane.manifest: root is not assembly manifestVersion 1.0")
    level = root.findall("./%strustInfo/%ssecurity/%srequestedPrivileges/%srequestedExecutionLevel" % ((ASM3,) * 4))
    check(len(level) == 1 and level[0].attrib == {"level": "asInvoker", "uiAccess": "false"},
          "orvane.manifest: requestedExecutionLevel is not exactly asInvoker / uiAccess false")
    dpi = [e for e in root.iter(WS2005 + "dpiAware")]
    check(len(dpi) == 1 and (dpi[0].text or "").strip() == "true", "orvane.manifest: dpiAware is not true")
    leaves = sorted(e.tag for e in root.iter() if len(e) == 0)
    check(leaves == sorted([ASM3 + "requestedExecutionLevel", WS2005 + "dpiAware"]),
          "orvane.manifest: declares more than the two settings: %s" % leaves)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--res", default=DEFAULT_RES)
    args = ap.parse_args()
    for fn in (check_skin, check_bitmaps, check_round_buttons, check_icon, check_dlginit, check_html,
               check_manifest):
        try:
            fn(args.res)
        except (OSError, struct.error, ValueError) as e:
            check(False, "%s: %s" % (fn.__name__, e))
    for f in failures:
        print("FAIL:", f)
    print("%d failure(s)" % len(failures) if failures else "all asset checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
