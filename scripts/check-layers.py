#!/usr/bin/env python3
"""Fails when a product folder includes a folder that stands above it or beside it, when a folder
of one platform includes a folder of the other, when a folder is missing from the layers below,
or when a portable folder includes a Windows or Linux system header. Tests, benchmarks, tools and
fuzz targets stand outside the layers and may include any of them.

Usage: scripts/check-layers.py [ROOT]"""
import os
import re
import subprocess
import sys

# Lowest first: a folder may include itself and the folders of the levels before its own. The
# folders of one level stand side by side and never include each other.
LEVELS = [
    ["resources"],          # resource identifiers and the resource script
    ["core/locks"],         # the locks several programs share, as an interface
    ["core/nvapi/loader"],  # trusted module loading
    ["core/nvapi"],         # the driver access layer
    ["core/gpus"],          # GPU discovery and the slot table
    ["core/led"],           # LED command encoding
    ["core/skins"],         # skin decoding
    ["core/rules"],         # the rules of the panel's window and its colour picker
    ["core/settings"],      # the saved options of each board and the settings file's format
    ["core/keeper"],        # what both keepers share: triggers, schedule, log, the keeper itself
    ["panel/portable"],     # what both panels share: texts, the help overlay, the settings rule
    ["simdriver"],          # the simulated driver, beside the program
    ["platform/windows",    # the core's operations on Windows
     "platform/linux",      # the core's operations on Linux
     "cli/commands"],       # lumivar's commands, the same on both
    ["panel/windows/gdi"],     # LEDLumivar.exe: drawing-object wrappers and their checked build
    ["panel/windows/state"],   # LEDLumivar.exe: what the program keeps for the whole run
    ["panel/windows/help"],    # LEDLumivar.exe: the help overlay
    ["panel/windows/window"],  # LEDLumivar.exe: the window and controls, its procedure, commands, picker, painting
    ["panel/windows/app"],     # LEDLumivar.exe: entry, start-up sequence, skins
    ["cli/windows",         # lumivar.exe and lumivarw.exe: entry, host, Run key, the keeper's window
     "cli/linux",           # lumivar on Linux: entry, host, autostart entry, the keeper's event loop
     "panel/linux"],        # lumivar-panel: the panel on Linux in Qt 6
]
# What runs on one platform only; everything else in the layers is portable or stands beside.
PLATFORM_OF = {"platform/windows": "windows", "panel/windows": "windows", "cli/windows": "windows",
               "platform/linux": "linux", "cli/linux": "linux",
               "panel/linux": "linux"}
PORTABLE = ("core", "cli/commands", "panel/portable")
OUTSIDE = ("tests", "bench", "tools", "fuzz", "build")
SYSTEM_HEADERS = re.compile(
    r"^\s*#\s*include\s+<((windows|windowsx|commctrl|winuser|wingdi|shellapi|shlobj|wtsapi32|dbt)"
    r"\.h|unistd\.h|fcntl\.h|dlfcn\.h|signal\.h|poll\.h|pthread\.h|(sys|linux|systemd)/[^>]+)>",
    re.M | re.I)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
listed = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard", "*.cpp",
                         "*.h", "*.rc"], capture_output=True, text=True, check=True).stdout.split()
level = {folder: i for i, folders in enumerate(LEVELS) for folder in folders}
problems = []
edges = set()


def platform_of(folder):
    for prefix, platform in PLATFORM_OF.items():
        if folder == prefix or folder.startswith(prefix + "/"):
            return platform
    return None


for path in sorted(listed):
    if path.split("/")[0] in OUTSIDE or not os.path.exists(os.path.join(root, path)):
        continue
    source = os.path.dirname(path)
    if source not in level:
        problems.append(f"{path}: folder {source or '.'} is not in the layers of this script")
        continue
    text = open(os.path.join(root, path), errors="replace").read()
    if source.startswith(PORTABLE) and SYSTEM_HEADERS.search(text):
        problems.append(f"{path}: a portable folder includes a system header of one platform")
    for included in INCLUDE.findall(text):
        target = os.path.dirname(included)
        if target == source or target == "":
            continue
        edges.add((source, target))
        if target not in level:
            problems.append(f"{path}: includes {included}, outside the layers")
        elif level[target] >= level[source]:
            where = "beside" if level[target] == level[source] else "above"
            problems.append(f"{path}: includes {included}, from {target}, which stands {where} "
                            f"{source}")
        elif platform_of(target) and platform_of(source) != platform_of(target):
            problems.append(f"{path}: includes {included}, from {target}, a folder of "
                            f"{platform_of(target)} only")

for source, target in sorted(edges, key=lambda e: (level.get(e[0], 99), e[0], e[1])):
    print(f"{source} -> {target}")
for problem in problems:
    print("layers:", problem, file=sys.stderr)
sys.exit(1 if problems else 0)
