#!/usr/bin/env python3
"""Compiles the program's Windows resource script with llvm-rc and reads the result back the way
Windows does: the version block's fixed and string fields, its language, and icon group 1 with
images 30001 to 30010 taken from lumo.ico.

Usage: windows_rc_test.py LLVM_RC RC_FILE ICO_FILE PRODUCT_NAME DISPLAY_VERSION NUMERIC_VERSION
"""

import os
import struct
import subprocess
import sys
import tempfile

LANGUAGE = 0x0804
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def read_res(data):
    """The resources of a .res file as {(type, name): (language, body)}; ids only, no names."""
    resources, pos = {}, 0
    while pos + 8 <= len(data):
        size, header_size = struct.unpack_from("<II", data, pos)
        marker, rtype, marker2, name = struct.unpack_from("<HHHH", data, pos + 8)
        if marker != 0xFFFF or marker2 != 0xFFFF:
            sys.exit("resource with a string type or name: not expected here")
        (language,) = struct.unpack_from("<H", data, pos + header_size - 10)
        if size:
            resources[(rtype, name)] = (language, data[pos + header_size : pos + header_size + size])
        pos = (pos + header_size + size + 3) & ~3
    return resources


def read_version_node(data, pos):
    """One node of a VERSIONINFO tree: (key, value, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    at, key = pos + 6, ""
    while True:
        (c,) = struct.unpack_from("<H", data, at)
        at += 2
        if c == 0:
            break
        key += chr(c)
    at = (at + 3) & ~3
    if kind == 1:  # text: value_length counts UTF-16 units, terminator included
        value = data[at : at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        at += 2 * value_length
    else:
        value = data[at : at + value_length]
        at += value_length
    children = []
    at = (at + 3) & ~3
    while at < end:
        child = read_version_node(data, at)
        children.append(child)
        at = (child[3] + 3) & ~3
    return key, value, children, end


def main():
    llvm_rc, rc_file, ico_file, product, display, numeric = sys.argv[1:7]
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "lumo.res")
        # Dash options and "--": llvm-rc reads a slash-led path such as /check/... as its /C option.
        subprocess.run([llvm_rc, "-no-preprocess", "-fo", out, "--", rc_file], check=True)
        resources = read_res(open(out, "rb").read())

    for (rtype, name), (language, _) in resources.items():
        check(language == LANGUAGE, f"resource {rtype}/{name}: language {language:#06x}")

    # Version block.
    check((RT_VERSION, 1) in resources, "no version block")
    if (RT_VERSION, 1) in resources:
        key, fixed, children, _ = read_version_node(resources[(RT_VERSION, 1)][1], 0)
        check(key == "VS_VERSION_INFO", f"version block key {key!r}")
        sig, _, fms, fls, pms, pls, _, _, _, ftype = struct.unpack_from("<10I", fixed)
        check(sig == 0xFEEF04BD, "VS_FIXEDFILEINFO signature")
        want = [int(n) for n in numeric.split(".")]
        for label, ms, ls in (("file", fms, fls), ("product", pms, pls)):
            got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
            check(got == want, f"numeric {label} version {got}, want {want}")
        check(ftype == 1, f"file type {ftype}, want 1 (application)")
        blocks = {child[0]: child for child in children}
        tables = {t[0]: t for t in blocks.get("StringFileInfo", ("", b"", [], 0))[2]}
        check(list(tables) == ["080404B0"], f"string tables {list(tables)}")
        strings = {s[0]: s[1] for s in tables.get("080404B0", ("", b"", [], 0))[2]}
        check(strings.get("ProductName") == product, f"ProductName {strings.get('ProductName')!r}")
        check(strings.get("FileVersion") == display, f"FileVersion {strings.get('FileVersion')!r}")
        check(strings.get("ProductVersion") == display, f"ProductVersion {strings.get('ProductVersion')!r}")
        translation = [v[1] for v in blocks.get("VarFileInfo", ("", b"", [], 0))[2] if v[0] == "Translation"]
        check(translation == [struct.pack("<HH", LANGUAGE, 1200)], f"Translation {translation}")

    # Icon group 1: the directory of lumo.ico, with resource ids in place of file offsets.
    ico = open(ico_file, "rb").read()
    (count,) = struct.unpack_from("<H", ico, 4)
    group = resources.get((RT_GROUP_ICON, 1), (0, b""))[1]
    check(group[:6] == ico[:6], "icon group 1 missing or its header differs from lumo.ico")
    for i in range(count):
        entry = ico[6 + 16 * i : 6 + 16 * (i + 1)]
        size, offset = struct.unpack_from("<II", entry, 8)
        ident = 30001 + i
        check(group[6 + 14 * i : 6 + 14 * (i + 1)] == entry[:12] + struct.pack("<H", ident),
              f"icon group entry {i} does not name image {ident}")
        image = resources.get((RT_ICON, ident), (0, b""))[1]
        check(image == ico[offset : offset + size], f"icon image {ident} differs from lumo.ico")

    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
