#!/usr/bin/python3
"""Checks the resources linked into a built executable.

    /usr/bin/python3 tests/assets/check_resources.py PROGRAM.exe [--res DIR]

Reads the resource tree with python3-pefile when it is installed, otherwise with a small
reader of its own (windres -O res drops the resource languages). Prints each failed check
and exits 1 if any failed, 0 otherwise.
"""

import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RES = os.path.normpath(os.path.join(HERE, "..", "..", "res"))

RT_BITMAP, RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_HTML, RT_MANIFEST = 2, 3, 5, 14, 16, 23, 24
RT_DLGINIT = 240
ZH_CN, EN_US = 2052, 1033

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


# ---------------------------------------------------------------- loading

def load_with_pefile(path):
    import pefile
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    out = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return out

    def key(entry):
        return str(entry.name) if entry.name is not None else entry.id

    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for lang in n.directory.entries:
                d = lang.data.struct
                out[(key(t), key(n), lang.id)] = pe.get_data(d.OffsetToData, d.Size)
    return out


def read_sz_or_ord(data, pos):
    if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def load_with_struct(path):
    """Reads the resource directory of a PE file without any library."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    nsect, = struct.unpack_from("<H", data, pe + 6)
    opt_size, = struct.unpack_from("<H", data, pe + 20)
    opt = pe + 24
    magic, = struct.unpack_from("<H", data, opt)
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva, _ = struct.unpack_from("<II", data, dirs + 2 * 8)
    sections = []
    for i in range(nsect):
        vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, opt + opt_size + 40 * i + 8)
        sections.append((va, max(vsize, rawsize), rawptr))

    def offset(rva):
        for va, size, rawptr in sections:
            if va <= rva < va + size:
                return rva - va + rawptr
        raise ValueError("RVA 0x%X outside every section" % rva)

    base = offset(rsrc_rva)
    out = {}

    def entries(pos):
        named, ids = struct.unpack_from("<HH", data, base + pos + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + pos + 16 + 8 * i)
            if name & 0x80000000:
                n = base + (name & 0x7FFFFFFF)
                length, = struct.unpack_from("<H", data, n)
                name = data[n + 2:n + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    if rsrc_rva == 0:
        return out
    for t, tdir in entries(0):
        for n, ndir in entries(tdir & 0x7FFFFFFF):
            for lang, leaf in entries(ndir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                out[(t, n, lang)] = data[offset(rva):offset(rva) + size]
    return out


def load_resources(path):
    try:
        return load_with_pefile(path)
    except ImportError:
        return load_with_struct(path)


# ---------------------------------------------------------------- dialog templates

def parse_dialogex(data):
    ver, sig, help_id, ex, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", data)
    if (ver, sig) != (1, 0xFFFF):
        return None
    pos = 26
    menu, pos = read_sz_or_ord(data, pos)
    cls, pos = read_sz_or_ord(data, pos)
    title, pos = read_sz_or_ord(data, pos)
    dlg = dict(help=help_id, exstyle=ex, style=style, rect=(x, y, cx, cy), menu=menu, cls=cls,
               title=title, font=None, items=[])
    if style & 0x48:  # DS_SETFONT / DS_SHELLFONT
        pt, weight, italic, charset = struct.unpack_from("<HHBB", data, pos)
        face, pos = read_sz_or_ord(data, pos + 6)
        dlg["font"] = (pt, weight, italic, charset, face)
    for _ in range(count):
        pos = (pos + 3) & ~3
        _, iex, istyle, ix, iy, icx, icy, iid = struct.unpack_from("<IIIhhhhI", data, pos)
        icls, pos = read_sz_or_ord(data, pos + 24)
        itext, pos = read_sz_or_ord(data, pos)
        extra, = struct.unpack_from("<H", data, pos)
        pos += 2 + extra
        dlg["items"].append((iid, icls, itext, istyle, iex, (ix, iy, icx, icy)))
    return dlg


BROWSER_CLASS = "{8856F961-340A-11D0-A96B-00C04FD705A2}"

DIALOGS = {
    102: dict(style=0x10C90048, exstyle=0x00040000, rect=(0, 0, 315, 208), title="Orvane",
              font=(9, 0, 0, 1, "MS Shell Dlg"), items=[]),
    103: dict(style=0x80000040, exstyle=0, rect=(0, 0, 662, 388), title="",
              font=(9, 0, 0, 0, "MS Sans Serif"), items=[
                  (104, 0x0080, "官方网站", 0x40010C81, 0, (3, 1, 55, 17)),
                  (1005, BROWSER_CLASS, "", 0x50000000, 0, (141, 108, 37, 20)),
                  (1006, "MfcButton", "", 0x50010001, 0x20, (201, 113, 57, 13)),
                  (1004, "MfcButton", "", 0x50000000, 0, (531, 61, 16, 16)),
                  (1008, "MfcButton", "", 0x50000000, 0, (274, 110, 50, 14)),
                  (1009, "MfcButton", "", 0x50000000, 0, (425, 114, 50, 14)),
                  (1010, "MfcButton", "", 0x50000000, 0, (524, 114, 50, 14)),
                  (105, 0x0080, "", 0x40010001, 0, (62, 3, 50, 14)),
                  (1012, "MfcButton", "", 0x50010000, 0, (137, 155, 50, 14)),
              ]),
    150: dict(style=0x80C008C8, exstyle=0x00040000, rect=(0, 0, 835, 415), title="Orvane",
              font=(8, 400, 0, 1, "MS Shell Dlg"), items=[]),
}


def same_class(got, want):
    # window class names compare without regard to case (windres stores them upper-cased)
    if isinstance(want, int) or isinstance(got, int):
        return got == want
    return got.lower() == want.lower()


def check_dialog(rid, data):
    want = DIALOGS[rid]
    dlg = parse_dialogex(data)
    if not check(dlg is not None, "dialog %d: not an extended template" % rid):
        return
    for field in ("style", "exstyle", "rect", "title", "font"):
        check(dlg[field] == want[field], "dialog %d: %s %r, want %r" % (rid, field, dlg[field], want[field]))
    check(dlg["help"] == 0 and dlg["menu"] == "" and dlg["cls"] == "",
          "dialog %d: has a help id, menu or window class" % rid)
    ids = [i[0] for i in dlg["items"]]
    check(ids == [i[0] for i in want["items"]], "dialog %d: control order %s" % (rid, ids))
    for got, exp in zip(dlg["items"], want["items"]):
        iid, cls, text, style, ex, rect = got
        if iid != exp[0]:
            continue
        check(same_class(cls, exp[1]), "dialog %d control %d: class %r, want %r" % (rid, iid, cls, exp[1]))
        check(text == exp[2], "dialog %d control %d: text %r, want %r" % (rid, iid, text, exp[2]))
        check(style == exp[3], "dialog %d control %d: style 0x%08X, want 0x%08X" % (rid, iid, style, exp[3]))
        check(ex == exp[4], "dialog %d control %d: ex-style 0x%X, want 0x%X" % (rid, iid, ex, exp[4]))
        check(rect == exp[5], "dialog %d control %d: rectangle %s, want %s" % (rid, iid, rect, exp[5]))


# ---------------------------------------------------------------- version

def parse_version_node(data, pos):
    length, vlen, vtype = struct.unpack_from("<HHH", data, pos)
    key, p = read_sz_or_ord(data, pos + 6)
    p = (p + 3) & ~3
    vbytes = vlen * 2 if vtype == 1 else vlen
    value = data[p:p + vbytes]
    p = (p + vbytes + 3) & ~3
    children = []
    while p < pos + length:
        child, size = parse_version_node(data, p)
        children.append(child)
        p = (p + size + 3) & ~3
    return (key, vtype, value, children), length


def check_version(data):
    (key, _, fixed, children), _ = parse_version_node(data, 0)
    check(key == "VS_VERSION_INFO", "version: root key %r" % key)
    if not check(len(fixed) >= 52 and struct.unpack_from("<I", fixed)[0] == 0xFEEF04BD,
                 "version: no fixed file information"):
        return
    fms, fls, pms, pls = struct.unpack_from("<IIII", fixed, 8)
    check((fms, fls) == (0x00010000, 0x00000001), "version: file version %08X.%08X, want 1.0.0.1" % (fms, fls))
    check((pms, pls) == (0x00010000, 0x00000001), "version: product version %08X.%08X, want 1.0.0.1" % (pms, pls))
    strings, translation = {}, None
    for ckey, _, value, sub in children:
        if ckey == "StringFileInfo":
            for table in sub:
                for skey, _, sval, _ in table[3]:
                    strings[(table[0], skey)] = sval.decode("utf-16-le").rstrip("\0")
        elif ckey == "VarFileInfo":
            for vkey, _, vval, _ in sub:
                if vkey == "Translation":
                    translation = struct.unpack_from("<HH", vval)
    for name in ("FileVersion", "ProductVersion"):
        check(strings.get(("080404b0", name)) == "1.0.0.1", "version: %s string is %r" % (name, strings.get(("080404b0", name))))
    check(strings.get(("080404b0", "ProductName")) == "Orvane", "version: ProductName is not Orvane")
    check(translation == (0x0804, 1200), "version: translation %r, want (0x804, 1200)" % (translation,))


# ---------------------------------------------------------------- all resources

def read(res, name):
    with open(os.path.join(res, name), "rb") as f:
        return f.read()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("exe")
    ap.add_argument("--res", default=DEFAULT_RES)
    args = ap.parse_args()
    try:
        found = load_resources(args.exe)
    except Exception as e:  # unreadable file: report and fail
        print("FAIL: cannot read resources of %s: %s" % (args.exe, e))
        return 1
    by_id = {}
    for (t, n, lang), data in found.items():
        by_id.setdefault((t, n), []).append((lang, data))

    expected = {}  # (type, name) -> file contents to compare, or None

    def expect(t, n, content=None):
        expected[(t, n)] = content

    for rid in DIALOGS:
        expect(RT_DIALOG, rid)
    expect(RT_DLGINIT, 103, read(args.res, "dlginit_103.bin"))
    for rid, name in [(158, "login_skin.png"), (137, "btn_137.png"), (138, "btn_138.png"),
                      (159, "btn_159.png"), (160, "btn_160.png")]:
        expect("PNG", rid, read(args.res, name))
    for rid in (139, 140, 141, 142, 143, 144, 145, 147):
        expect(RT_BITMAP, rid, read(args.res, "btn_%d.bmp" % rid)[14:])  # without BITMAPFILEHEADER
    expect(RT_GROUP_ICON, 155)
    expect(RT_HTML, 106, read(args.res, "game.htm"))
    expect(RT_VERSION, 1)
    expect(RT_MANIFEST, 1, read(args.res, "orvane.manifest"))

    for key, content in expected.items():
        entries = by_id.get(key, [])
        if not check(len(entries) == 1, "resource %r/%r: %d language(s) present, want 1" % (key + (len(entries),))):
            continue
        lang, data = entries[0]
        want_lang = EN_US if key[0] == RT_MANIFEST else ZH_CN
        check(lang == want_lang, "resource %r/%r: language %d, want %d" % (key + (lang, want_lang)))
        if content is not None:
            check(data == content, "resource %r/%r: bytes differ from the file in res/" % key)
    check((RT_BITMAP, 146) not in by_id, "bitmap 146 exists")

    # icons referenced by the group, and nothing else unexpected
    icon_ids = set()
    group = by_id.get((RT_GROUP_ICON, 155))
    if group:
        data = group[0][1]
        _, kind, count = struct.unpack_from("<HHH", data)
        entries = []
        for i in range(count):
            w, h, _, _, _, bpp, _, iid = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
            entries.append((w or 256, bpp))
            icon_ids.add(iid)
            icon = by_id.get((RT_ICON, iid), [])
            if check(len(icon) == 1, "icon %d of group 155 missing" % iid):
                check(icon[0][0] == ZH_CN, "icon %d: language %d" % (iid, icon[0][0]))
                check(icon[0][1][:4] != b"\x89PNG" and struct.unpack_from("<I", icon[0][1])[0] == 40,
                      "icon %d: not an uncompressed bitmap image" % iid)
        want = sorted([(48, 32), (48, 24), (48, 8), (32, 24), (32, 8), (16, 24), (16, 8)])
        check(sorted(entries) == want, "icon group 155: entries %s, want %s" % (sorted(entries), want))
    for key in by_id:
        if key not in expected and not (key[0] == RT_ICON and key[1] in icon_ids):
            check(False, "unexpected resource %r/%r" % key)

    for rid in DIALOGS:
        if by_id.get((RT_DIALOG, rid)):
            check_dialog(rid, by_id[(RT_DIALOG, rid)][0][1])
    if by_id.get((RT_VERSION, 1)):
        check_version(by_id[(RT_VERSION, 1)][0][1])

    for f in failures:
        print("FAIL:", f)
    print("%d failure(s)" % len(failures) if failures else "all resource checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
