#!/usr/bin/env python3
"""Writes the desktop icon of the package into hicolor/ beside this script.

The icon is the console's own window logo, drawn by console/resources/generate_icons.py; this
script only renders it at the sizes desktops look for. The files are committed, so this is only
needed when the logo changes. Needs rsvg-convert (Debian package librsvg2-bin).

Usage: python3 generate_icons.py
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "console", "resources"))
import generate_icons as console_images  # noqa: E402

ICON_NAME = "com.vorel.Console"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    theme = os.path.join(HERE, "hicolor")
    write(os.path.join(theme, "scalable", "apps", ICON_NAME + ".svg"), console_images.LOGO.encode())
    for size in SIZES:
        folder = os.path.join(theme, f"{size}x{size}", "apps")
        write(os.path.join(folder, ICON_NAME + ".png"), console_images.render_png(console_images.LOGO, size))


if __name__ == "__main__":
    main()
