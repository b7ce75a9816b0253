#!/usr/bin/env python3
"""The resources a Windows executable carries, read from the compiled file.

Usage: check_pe_resources.py EXE ICO

The icon group must hold the four images of ICO (16x16 8-bit, 16x16 24-bit,
32x32 8-bit, 48x48 8-bit) byte for byte, and the version record must say
1.0.0.0, "1.00" and "Vantrel v2.0". Reads the PE file itself: no Windows and
no third-party module needed.
"""

import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
EXPECTED_ICONS = [(16, 16, 8), (16, 16, 24), (32, 32, 8), (48, 48, 8)]
EXPECTED_STRINGS = {
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "ProductName": "Vantrel v2.0",
    "FileDescription": "Vantrel v2.0",
    "OriginalFilename": "vantrel.exe",
}

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an executable (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        sections, = struct.unpack_from("<H", data, pe + 6)
        optional_size, = struct.unpack_from("<H", data, pe + 20)
        optional = pe + 24
        magic, = struct.unpack_from("<H", data, optional)
        directories = optional + (112 if magic == 0x20B else 96)  # PE32+ or PE32
        self.resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            vsize, vaddr, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((vaddr, max(vsize, raw_size), raw_at))
        if not self.resource_rva:
            raise ValueError("no resource section")
        self.root = self.offset(self.resource_rva)

    def offset(self, rva):
        for vaddr, size, raw_at in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw_at + rva - vaddr
        raise ValueError(f"address {rva:#x} is in no section")

    def entries(self, directory):
        named, ids = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            yield name, target

    def resources(self):
        """{(type, id): bytes}, first language of each."""
        found = {}
        for rtype, types in self.entries(self.root):
            for rid, names in self.entries(self.root + (types & 0x7FFFFFFF)):
                _, leaf = next(self.entries(self.root + (names & 0x7FFFFFFF)))
                rva, size = struct.unpack_from("<II", self.data, self.root + leaf)
                start = self.offset(rva)
                found[(rtype, rid)] = self.data[start:start + size]
        return found


def read_ico(path):
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    images = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, at = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append(((w or 256, h or 256, bits), data[at:at + size]))
    return images


def check_icons(res, ico_path):
    groups = [data for (rtype, _), data in res.items() if rtype == RT_GROUP_ICON]
    check(len(groups) == 1, f"one icon group (found {len(groups)})")
    if not groups:
        return
    group = groups[0]
    _, _, count = struct.unpack_from("<HHH", group, 0)
    shown = []
    for i in range(count):
        w, h, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        shown.append(((w or 256, h or 256, bits), res.get((RT_ICON, icon_id)), size))
    sizes = [s for s, _, _ in shown]
    check(sizes == EXPECTED_ICONS, f"icon images {sizes}, expected {EXPECTED_ICONS}")
    for (size, data, length), (ico_size, ico_data) in zip(shown, read_ico(ico_path)):
        check(data is not None and len(data) == length, f"icon {size}: image missing or its length wrong")
        check(size == ico_size and data == ico_data, f"icon {size}: differs from {ico_path}")


def walk_version(data, at=0):
    """(key, value, children) of one VS_VERSIONINFO block and its children."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_at = at + 6
    key_end = key_at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_at:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < end:
        block = walk_version(data, child)
        children.append(block)
        child = (child + struct.unpack_from("<H", data, child)[0] + 3) & ~3
    return key, value, kind, children


def check_version(res):
    records = [data for (rtype, _), data in res.items() if rtype == RT_VERSION]
    check(len(records) == 1, f"one version record (found {len(records)})")
    if not records:
        return
    key, fixed, _, children = walk_version(records[0])
    check(key == "VS_VERSION_INFO", f"version record key {key!r}")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed, 0)
    check(signature == 0xFEEF04BD, "fixed file info signature")

    def dotted(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    check(dotted(file_ms, file_ls) == "1.0.0.0", f"file version {dotted(file_ms, file_ls)}")
    check(dotted(product_ms, product_ls) == "1.0.0.0", f"product version {dotted(product_ms, product_ls)}")
    strings = {}
    for name, _, _, tables in children:
        if name == "StringFileInfo":
            for _, _, _, values in tables:
                for value_key, value, _, _ in values:
                    strings[value_key] = value.decode("utf-16-le").rstrip("\0")
    for name, expected in EXPECTED_STRINGS.items():
        check(strings.get(name) == expected, f'"{name}" is {strings.get(name)!r}, expected {expected!r}')


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    exe, ico = sys.argv[1:]
    try:
        res = PeFile(open(exe, "rb").read()).resources()
    except (ValueError, struct.error) as error:
        print(f"FAIL {exe}: {error}")
        return 1
    check_icons(res, ico)
    check_version(res)
    for failure in failures:
        print(f"FAIL {failure}")
    if not failures:
        print(f"ok   {exe}: four icon images as in {ico}; version 1.0.0.0, \"1.00\", \"Vantrel v2.0\"")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
