#!/usr/bin/env python3
"""Fails when a product folder includes a folder that stands above it (which is also how two
folders would include each other), when a folder is missing from the layers below, or when the
portable core includes a Windows header. Tests, benchmarks, tools and fuzz targets stand outside
the layers and may include any of them.

Usage: scripts/check-layers.py [ROOT]"""
import os
import re
import subprocess
import sys

# Lowest first: each folder may include itself and the folders listed before it.
LAYERS = [
    "resources",          # resource identifiers and the resource script
    "core/locks",         # the locks several programs share, as an interface
    "core/nvapi/loader",  # trusted module loading
    "core/nvapi",         # the driver access layer
    "core/gpus",          # GPU discovery and the slot table
    "core/led",           # LED command encoding
    "core/skins",         # skin decoding
    "core/rules",         # the rules of the panel's window and its colour picker
    "core/settings",      # the saved options of each board and the settings file's format
    "core/keeper",        # the keeper's rules: logon command, triggers, schedule, log
    "simdriver",          # the simulated driver, beside the program
    "platform",           # the core's Windows operations
    "linux",              # the core's Linux operations
    "shell/gdi",          # LEDLumivar.exe: drawing-object wrappers and their checked build
    "shell/state",        # LEDLumivar.exe: what the program keeps for the whole run
    "shell/help",         # LEDLumivar.exe: the help overlay
    "shell/window",       # LEDLumivar.exe: the window and controls, its procedure, commands, picker, painting
    "shell/app",          # LEDLumivar.exe: entry, start-up sequence, skins
    "cli/keeper",         # lumivar keep on Windows: window, triggers, tray, log; told how to restore
    "cli",                # lumivar.exe
    "cli/linux",          # lumivar on Linux: entry, host, autostart entry, keeper
]
OUTSIDE = ("tests", "bench", "tools", "fuzz", "build")
WINDOWS_HEADERS = re.compile(r"^\s*#\s*include\s+<(windows|windowsx|commctrl|winuser|wingdi)\.h>",
                             re.M | re.I)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
listed = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard", "*.cpp",
                         "*.h", "*.rc"], capture_output=True, text=True, check=True).stdout.split()
rank = {folder: i for i, folder in enumerate(LAYERS)}
problems = []
edges = set()


def folder_of(path):
    return os.path.dirname(path)


for path in sorted(listed):
    if path.split("/")[0] in OUTSIDE or not os.path.exists(os.path.join(root, path)):
        continue
    source = folder_of(path)
    if source not in rank:
        problems.append(f"{path}: folder {source or '.'} is not in the layers of this script")
        continue
    text = open(os.path.join(root, path), errors="replace").read()
    if source.startswith("core") and WINDOWS_HEADERS.search(text):
        problems.append(f"{path}: the portable core includes a Windows header")
    for included in INCLUDE.findall(text):
        target = folder_of(included)
        if target == source or target == "":
            continue
        edges.add((source, target))
        if target not in rank:
            problems.append(f"{path}: includes {included}, outside the layers")
        elif rank[target] > rank[source]:
            problems.append(f"{path}: includes {included}, from {target}, which stands above "
                            f"{source}")

for source, target in sorted(edges, key=lambda e: (rank.get(e[0], 99), e[1])):
    print(f"{source} -> {target}")
for problem in problems:
    print("layers:", problem, file=sys.stderr)
sys.exit(1 if problems else 0)
