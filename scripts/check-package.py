#!/usr/bin/env python3
"""Checks the download in DIST: SHA256SUMS lists both zips and both .debs with their hashes; each
zip holds exactly one folder with LEDLumivar.exe, lumivar.exe, lumivarw.exe and README.txt; the
programs are PE files of the zip's machine, stripped, undated, of the right subsystem (lumivarw.exe
the GUI one), carrying VERSION in their version block, and importing only Windows system DLLs;
README.txt gives the version and the logon command in CRLF lines. Of the .debs: both man pages
pass mandoc's lint; the panel's desktop entry passes desktop-file-validate, its metainfo
appstreamcli validate (and the tree they stand in, its validate-tree); its icons are PNGs of the
size their folder names, with valid chunks, clear in the ring's hole and opaque red at its right
edge, and the scalable one, rendered at 256 pixels (rsvg-convert), is the 256-pixel PNG within 5 %
(ImageMagick's RMSE). The .debs' lintian, files, dependencies and programs have checks of their
own (scripts/test-steps/package.sh).

Usage: scripts/check-package.py DIST VERSION"""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

MACHINES = {"win64": (0x8664, 0x20B), "win32": (0x14C, 0x10B)}  # machine, optional-header magic
SUBSYSTEMS = {"LEDLumivar.exe": 2, "lumivar.exe": 3, "lumivarw.exe": 2}  # windows GUI, console
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll",
               "advapi32.dll", "msvcrt.dll", "wtsapi32.dll"}
VERSION_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def pe_problems(name, program, data, bits, version):
    problems = []
    if data[:2] != b"MZ":
        return [f"{name}: not an MZ file"]
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return [f"{name}: no PE signature"]
    machine, sections, stamp, symbols_at, symbols, optional_size = struct.unpack_from(
        "<HHIIIH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if (machine, magic) != MACHINES[bits]:
        problems.append(f"{name}: machine {machine:#x}, magic {magic:#x}, not {bits}")
        return problems
    if stamp != 0:
        problems.append(f"{name}: dated {stamp} in its header")
    if symbols:
        problems.append(f"{name}: carries {symbols} symbols (not stripped)")
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    if subsystem != SUBSYSTEMS[program]:
        problems.append(f"{name}: subsystem {subsystem}")

    table = optional + optional_size
    layout = []
    for i in range(sections):
        entry = table + 40 * i
        section = data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
        if section.startswith("/"):  # a long name (".eh_frame" in 32-bit): in the string table
            start = symbols_at + 18 * symbols + int(section[1:])
            section = data[start:data.index(b"\0", start)].decode("ascii", "replace")
        size, address, raw_size, raw_at = struct.unpack_from("<IIII", data, entry + 8)
        layout.append((address, max(size, raw_size), raw_at))
        if section.startswith(".debug"):
            problems.append(f"{name}: debug section {section}")

    def at(rva):
        for address, size, raw_at in layout:
            if address <= rva < address + size:
                return raw_at + rva - address
        raise ValueError(f"{name}: address {rva:#x} outside every section")

    directories = optional + (96 if magic == 0x10B else 112)
    imports_rva = struct.unpack_from("<I", data, directories + 8)[0]
    imported = []
    entry = at(imports_rva)
    while True:
        name_rva = struct.unpack_from("<IIIII", data, entry)[3]
        if name_rva == 0:
            break
        start = at(name_rva)
        imported.append(data[start:data.index(b"\0", start)].decode("ascii").lower())
        entry += 20
    foreign = sorted(set(imported) - SYSTEM_DLLS)
    if foreign:
        problems.append(f"{name}: imports {', '.join(foreign)}")

    found = data.find(VERSION_SIGNATURE)
    if found < 0:
        problems.append(f"{name}: no version block")
    else:
        high, low = struct.unpack_from("<II", data, found + 8)
        numbers = f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
        if numbers != version + ".0":
            problems.append(f"{name}: file version {numbers}, not {version}.0")
    return problems


def listed_problems(dist, name, sums):
    """Whether DIST has the file NAME, and SHA256SUMS its hash."""
    path = os.path.join(dist, name)
    if not os.path.exists(path):
        return [f"{name} is missing"]
    if sums.get(name) != hashlib.sha256(open(path, "rb").read()).hexdigest():
        return [f"{name}: SHA256SUMS does not give its hash"]
    return []


def zip_problems(dist, bits, version, sums):
    zip_name = f"LEDLumivar-{version}-{bits}.zip"
    path = os.path.join(dist, zip_name)
    problems = listed_problems(dist, zip_name, sums)
    if not os.path.exists(path):
        return problems
    top = zip_name[:-len(".zip")]
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        expected = sorted(f"{top}/{name}" for name in (*SUBSYSTEMS, "README.txt"))
        if names != expected:
            return problems + [f"{zip_name}: holds {names}"]
        for program in SUBSYSTEMS:
            problems += pe_problems(f"{zip_name}: {program}", program, archive.read(f"{top}/{program}"), bits, version)
        readme = archive.read(f"{top}/README.txt").decode("utf-8-sig")
        if readme.replace("\r\n", "").count("\n"):
            problems.append(f"{zip_name}: README.txt has lines not ended by CRLF")
        for wanted in (version, "lumivar logon enable"):
            if wanted not in readme:
                problems.append(f"{zip_name}: README.txt does not mention {wanted}")
    return problems


PANEL_ID = "com.voxa.lumivar.panel"
ICON_SIZES = (48, 128, 256)


def png_pixels(data):
    """(width, height, rows of RGBA bytes) of an 8-bit RGBA PNG that the generator writes (rows
    unfiltered), or a problem as a string."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return "no PNG signature"
    at, chunks, packed = 8, [], b""
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        crc = struct.unpack_from(">I", data, at + 8 + length)[0]
        if zlib.crc32(kind + body) != crc:
            return f"chunk {kind!r} has a wrong CRC"
        chunks.append(kind)
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack_from(">IIBB", body)
        elif kind == b"IDAT":
            packed += body
        at += 12 + length
    if chunks[0] != b"IHDR" or chunks[-1] != b"IEND":
        return f"chunks {chunks}"
    if (depth, colour) != (8, 6):
        return f"{depth}-bit, colour type {colour}, not 8-bit RGBA"
    raw = zlib.decompress(packed)
    stride = width * 4 + 1
    if len(raw) != stride * height or any(raw[y * stride] for y in range(height)):
        return "pixel rows not as written (filtered or cut)"
    return width, height, [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


def icon_problems(root):
    problems = []
    icons = os.path.join(root, "usr/share/icons/hicolor")
    for size in ICON_SIZES:
        name = f"{size}x{size}/apps/{PANEL_ID}.png"
        decoded = png_pixels(open(os.path.join(icons, name), "rb").read())
        if isinstance(decoded, str):
            problems.append(f"{name}: {decoded}")
            continue
        width, height, rows = decoded
        if (width, height) != (size, size):
            problems.append(f"{name}: {width} x {height}")
            continue
        # The hole (radius 0.22 of the size) is clear; two pixels in from the right edge, on the
        # middle row, the ring is whole and red (0 degrees).
        centre = rows[size // 2][size // 2 * 4:size // 2 * 4 + 4]
        edge = rows[size // 2][(size - 3) * 4:(size - 2) * 4]
        if centre[3] != 0 or edge[0] != 255 or edge[1] > 8 or edge[2] > 8 or edge[3] != 255:
            problems.append(f"{name}: centre {tuple(centre)}, right edge {tuple(edge)}")
    svg = os.path.join(icons, f"scalable/apps/{PANEL_ID}.svg")
    with tempfile.TemporaryDirectory() as work:
        rendered = os.path.join(work, "rendered.png")
        subprocess.run(["rsvg-convert", "-w", "256", "-h", "256", "-o", rendered, svg], check=True)
        compared = subprocess.run(
            ["compare", "-metric", "RMSE", rendered, os.path.join(icons, f"256x256/apps/{PANEL_ID}.png"),
             "null:"], capture_output=True, text=True)
        difference = float(compared.stderr.split("(")[1].split(")")[0])
        if difference > 0.05:
            problems.append(f"the scalable icon differs from the 256-pixel one by {difference:.1%}")
    return problems


def deb_problems(dist, package, version, sums):
    deb_name = f"{package}_{version}_amd64.deb"
    path = os.path.join(dist, deb_name)
    problems = listed_problems(dist, deb_name, sums)
    if not os.path.exists(path):
        return problems
    with tempfile.TemporaryDirectory() as root:
        subprocess.run(["dpkg-deb", "-x", path, root], check=True)
        manual = os.path.join(root, f"usr/share/man/man1/{package}.1.gz")
        lint = subprocess.run(["mandoc", "-Tlint", "-W", "all", manual], capture_output=True, text=True)
        if lint.returncode or lint.stdout or lint.stderr:
            problems.append(f"{deb_name}: mandoc -Tlint: {lint.stdout}{lint.stderr}".strip())
        if package == "lumivar-panel":
            checks = [
                ["desktop-file-validate", os.path.join(root, f"usr/share/applications/{PANEL_ID}.desktop")],
                ["appstreamcli", "validate", "--no-net", "--pedantic",
                 os.path.join(root, f"usr/share/metainfo/{PANEL_ID}.metainfo.xml")],
                ["appstreamcli", "validate-tree", "--no-net", "--pedantic", root],
            ]
            for check in checks:
                ran = subprocess.run(check, capture_output=True, text=True)
                # desktop-file-validate exits 0 on hints too: it must print nothing.
                quiet = check[0] != "desktop-file-validate" or not ran.stdout.strip()
                if ran.returncode or not quiet:
                    problems.append(f"{deb_name}: {check[0]} {check[1]}: {ran.stdout}{ran.stderr}".strip())
            problems += [f"{deb_name}: {problem}" for problem in icon_problems(root)]
    return problems


def main():
    dist, version = sys.argv[1], sys.argv[2]
    sums = {}
    for line in open(os.path.join(dist, "SHA256SUMS")):
        digest, name = line.split()
        sums[name] = digest
    problems = []
    for bits in MACHINES:
        problems += zip_problems(dist, bits, version, sums)
    for package in ("lumivar", "lumivar-panel"):
        problems += deb_problems(dist, package, version, sums)
    if len(sums) != len(MACHINES) + 2:
        problems.append(f"SHA256SUMS lists {sorted(sums)}")
    for problem in problems:
        print(f"package: {problem}", file=sys.stderr)
    if problems:
        sys.exit(1)
    print(f"package: both zips of {version} hold the three programs and README.txt; PE machine, "
          "subsystem, version block, no symbols, no date, system DLLs only")
    print("package: both man pages pass mandoc's lint; the panel's desktop entry, metainfo and "
          f"icons ({', '.join(map(str, ICON_SIZES))} pixels and the scalable one) pass their checks")


if __name__ == "__main__":
    main()
