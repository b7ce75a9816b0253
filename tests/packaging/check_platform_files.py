#!/usr/bin/env python3
"""The generated Windows resource script and macOS Info.plist, and the .icns.

Usage: check_platform_files.py VANTREL_RC INFO_PLIST PACKAGING_DIR

Both files are configured on every platform, so a Linux build checks what a
Windows or macOS build would compile in.
"""

import os
import plistlib
import re
import struct
import sys

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def check_rc(path, packaging):
    text = open(path, encoding="utf-8").read()
    icon = re.search(r'^\w+\s+ICON\s+"([^"]+)"\s*$', text, re.M)
    check(icon and os.path.exists(icon.group(1))
          and os.path.samefile(icon.group(1), os.path.join(packaging, "vantrel.ico")),
          "rc: the ICON line names packaging/vantrel.ico")
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        check(re.search(rf"^{key}\s+1,0,0,0\s*$", text, re.M), f"rc: {key} 1,0,0,0")
    for name, value in (("FileVersion", "1.00"), ("ProductVersion", "1.00"),
                        ("ProductName", "Vantrel v2.0"), ("FileDescription", "Vantrel v2.0"),
                        ("OriginalFilename", "vantrel.exe")):
        check(re.search(rf'^\s*VALUE\s+"{name}",\s*"{re.escape(value)}"\s*$', text, re.M),
              f'rc: VALUE "{name}", "{value}"')


def check_plist(path):
    with open(path, "rb") as f:
        plist = plistlib.load(f)  # raises on malformed XML
    expected = {
        "CFBundleName": "Vantrel v2.0",
        "CFBundleDisplayName": "Vantrel v2.0",
        "CFBundleShortVersionString": "1.00",
        "CFBundleVersion": "1.0.0.0",
        "CFBundleIconFile": "vantrel.icns",
        "CFBundleIdentifier": "org.vantrel.Vantrel",
        "CFBundleExecutable": "vantrel",
        "CFBundlePackageType": "APPL",
    }
    for key, value in expected.items():
        check(plist.get(key) == value, f"plist: {key} = {value!r}, got {plist.get(key)!r}")
    # CMake configures the plist once more on macOS: nothing may be left for it.
    for key, value in plist.items():
        if isinstance(value, str):
            check("${" not in value, f"plist: {key} has no variable left for that pass")


def check_icns(path):
    """An 'icns' header whose length is the file's, then PNG entries of the right sizes."""
    data = open(path, "rb").read()
    check(data[:4] == b"icns" and struct.unpack(">I", data[4:8])[0] == len(data),
          "icns: header and total length")
    sizes = {}
    pos = 8
    while pos + 8 <= len(data):
        kind, length = data[pos:pos + 4], struct.unpack(">I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + length]
        if length < 8 or pos + length > len(data):
            check(False, f"icns: entry {kind!r} runs past the end")
            break
        check(body[:8] == b"\x89PNG\r\n\x1a\n" and body[12:16] == b"IHDR", f"icns: {kind!r} is a PNG")
        sizes[kind] = struct.unpack(">II", body[16:24])
        pos += length
    check(pos == len(data), "icns: entries fill the file")
    check(sizes == {b"icp4": (16, 16), b"icp5": (32, 32), b"ic07": (128, 128)},
          f"icns: icp4 16 px, icp5 32 px, ic07 128 px; got {sizes}")


def main():
    rc, plist, packaging = sys.argv[1:4]
    check_rc(rc, packaging)
    check_plist(plist)
    check_icns(os.path.join(packaging, "vantrel.icns"))
    for what in failures:
        print("FAIL:", what, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
