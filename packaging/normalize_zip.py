#!/usr/bin/env python3
"""Rewrites a zip so that the same files always give the same bytes: entries in name order, each
dated SOURCE_DATE_EPOCH (else the source's last commit, else 2024-01-01, all in UTC), with no
owner, access time or other extra fields, compressed at level 9.

Usage: normalize_zip.py ZIP [SOURCE_DIR]"""
import os
import subprocess
import sys
import time
import zipfile

FALLBACK_EPOCH = 1704067200  # 2024-01-01 00:00:00 UTC


def build_epoch(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    if source_dir:
        commit = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                capture_output=True, text=True)
        if commit.returncode == 0 and commit.stdout.strip():
            return int(commit.stdout.strip())
    return FALLBACK_EPOCH


def main():
    path = sys.argv[1]
    # A zip cannot hold dates before 1980.
    stamp = time.gmtime(max(build_epoch(sys.argv[2] if len(sys.argv) > 2 else None), 315532800))
    with zipfile.ZipFile(path) as original:
        entries = sorted((info.filename, original.read(info)) for info in original.infolist()
                         if not info.is_dir())
    temporary = path + ".tmp"
    with zipfile.ZipFile(temporary, "w") as normalized:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp[:6])
            info.create_system = 0  # MS-DOS attributes, as Windows' own zips have
            info.external_attr = 0x20  # archive bit
            info.compress_type = zipfile.ZIP_DEFLATED
            normalized.writestr(info, data, compresslevel=9)
    os.replace(temporary, path)


if __name__ == "__main__":
    main()
