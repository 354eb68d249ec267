#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: small stored pictures, sound and broken, each prefixed with
the bitmap width + 8, height + 8 and the signed 16-bit step count."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def stored(file_size, pixel_offset, width, height, bits, pixels=b""):
    header = b"BM" + struct.pack("<IHHI", file_size, 0, 0, pixel_offset)
    header += struct.pack("<IHHHH", 12, width, height, 1, bits)
    return bytes((b + 1) & 0xFF for b in header + pixels)


def seed(name, width, height, steps, resource):
    prefix = bytes([width + 8, height + 8]) + struct.pack("<h", steps)
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(prefix + resource)


two_by_two = bytes([0xFF, 0, 0, 0x30, 0x20, 0x10, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0])
badge_row = bytes(range(228))  # one row of a 75-pixel picture
os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
seed("two-by-two", 2, 2, 11, stored(42, 26, 2, 2, 24, two_by_two) + b"\x01\x01")
seed("header-cut-short", 2, 2, 11, stored(42, 26, 2, 2, 24)[:10])
seed("header-only", 2, 2, 7, stored(26, 26, 2, 2, 24))
seed("file-size-past-end", 2, 2, 11, stored(1000000, 26, 2, 2, 24, two_by_two[:8]))
seed("offset-past-file-size", 2, 2, 11, stored(30, 0xFFFFFFFF, 2, 2, 24, two_by_two))
seed("wide-rows", 4, 3, 100, stored(42, 26, 65535, 3, 65535, two_by_two))
seed("tall", 4, 3, -5, stored(42, 26, 2, 65535, 24, two_by_two))
seed("no-bits-per-pixel", 2, 2, 11, stored(42, 26, 2, 2, 0, two_by_two))
seed("badge-size-one-row", 75, 38, 2173, stored(8692, 26, 75, 38, 24, badge_row))
