#!/usr/bin/env python3
"""Checks the download in DIST: SHA256SUMS lists both zips with their hashes; each zip holds
exactly one folder with LEDLumivar.exe, lumivar.exe, lumivarw.exe and README.txt; the programs
are PE files of the zip's machine, stripped, undated, of the right subsystem (lumivarw.exe the
GUI one), carrying VERSION in their version block, and importing only Windows system DLLs;
README.txt gives the version and the logon command in CRLF lines.

Usage: scripts/check-package.py DIST VERSION"""
import hashlib
import os
import struct
import sys
import zipfile

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


def zip_problems(dist, bits, version, sums):
    zip_name = f"LEDLumivar-{version}-{bits}.zip"
    path = os.path.join(dist, zip_name)
    if not os.path.exists(path):
        return [f"{zip_name} is missing"]
    problems = []
    if sums.get(zip_name) != hashlib.sha256(open(path, "rb").read()).hexdigest():
        problems.append(f"{zip_name}: SHA256SUMS does not give its hash")
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


def main():
    dist, version = sys.argv[1], sys.argv[2]
    sums = {}
    for line in open(os.path.join(dist, "SHA256SUMS")):
        digest, name = line.split()
        sums[name] = digest
    problems = []
    for bits in MACHINES:
        problems += zip_problems(dist, bits, version, sums)
    # The Linux .deb listed beside them has checks of its own (scripts/test-steps/package.sh).
    if len([name for name in sums if name.endswith(".zip")]) != len(MACHINES):
        problems.append(f"SHA256SUMS lists {sorted(sums)}")
    for problem in problems:
        print(f"package: {problem}", file=sys.stderr)
    if problems:
        sys.exit(1)
    print(f"package: both zips of {version} hold the three programs and README.txt; PE machine, "
          "subsystem, version block, no symbols, no date, system DLLs only")


if __name__ == "__main__":
    main()
