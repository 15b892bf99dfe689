#!/usr/bin/env python3
"""Draws the console's compiled-in image set into images/ beside this script.

Every picture is written as SVG source here, on a 64-unit canvas, in one flat palette; the raster
files are rendered from that source. The images are committed, so this script is only needed to
change or regenerate them. Regenerating needs, besides Python 3:
  - rsvg-convert (Debian package librsvg2-bin) to render SVG to PNG,
  - ImageMagick's convert (Debian package imagemagick) for the one JPEG.
The .ico files are packed here (PNG-compressed entries of 16, 32 and 48 px, as Windows has read
since Vista and Qt's ico plugin reads).

Usage: python3 generate_icons.py [output-folder]
"""

import math
import os
import struct
import subprocess
import sys
import tempfile

# --- palette -----------------------------------------------------------------------------------

GREEN, GREEN_DARK = "#43A047", "#2E7D32"
RED, RED_DARK = "#E53935", "#B71C1C"
YELLOW, YELLOW_DARK = "#FDD835", "#F9A825"
BLUE, BLUE_DARK, BLUE_LIGHT = "#1E88E5", "#1565C0", "#90CAF9"
SLATE, SLATE_LIGHT = "#546E7A", "#B0BEC5"
AMBER = "#FFA000"
INDIGO = "#3949AB"
WHITE = "#FFFFFF"
PAGE_EDGE, PAGE_FOLD = "#90A4AE", "#CFD8DC"

FONT = 'font-family="sans-serif" font-weight="bold" text-anchor="middle"'


def svg(body, size=32):
    """A complete SVG document on the 64-unit canvas, with a default size of `size` px."""
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
        f'viewBox="0 0 64 64">{body}</svg>\n'
    )


def stroke(colour, width, fill="none", cap="round"):
    return (
        f'fill="{fill}" stroke="{colour}" stroke-width="{width}" '
        f'stroke-linecap="{cap}" stroke-linejoin="round"'
    )


def label(text, x, y, size, colour=WHITE):
    return f'<text x="{x}" y="{y}" font-size="{size}" {FONT} fill="{colour}">{text}</text>'


def polar(cx, cy, r, degrees):
    a = math.radians(degrees)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def arc_arrow(cx, cy, r, start, end, colour, width):
    """A clockwise arc from `start` to `end` degrees (0 = east, 90 = south) with a head at `end`."""
    x0, y0 = polar(cx, cy, r, start)
    x1, y1 = polar(cx, cy, r, end)
    large = 1 if (end - start) % 360 > 180 else 0
    # The head: a triangle whose tip lies ahead of the arc's end along the tangent.
    tx, ty = -math.sin(math.radians(end)), math.cos(math.radians(end))
    nx, ny = math.cos(math.radians(end)), math.sin(math.radians(end))
    head, half = width * 1.6, width * 1.5
    tip = (x1 + tx * head, y1 + ty * head)
    left = (x1 + nx * half, y1 + ny * half)
    right = (x1 - nx * half, y1 - ny * half)
    points = " ".join(f"{x:.1f},{y:.1f}" for x, y in (tip, left, right))
    return (
        f'<path d="M{x0:.1f} {y0:.1f} A{r} {r} 0 {large} 1 {x1:.1f} {y1:.1f}" '
        f'{stroke(colour, width, cap="butt")}/>'
        f'<polygon points="{points}" {stroke(colour, 2, colour)}/>'
    )


# --- status lamps -------------------------------------------------------------------------------


def lamp(colour, edge):
    return svg(
        f'<circle cx="32" cy="32" r="27" fill="{colour}" stroke="{edge}" stroke-width="4"/>'
        '<ellipse cx="24" cy="21" rx="10" ry="6.5" fill="#FFFFFF" fill-opacity="0.45" '
        'transform="rotate(-30 24 21)"/>'
    )


# --- file types ---------------------------------------------------------------------------------

PDF_RED, DOC_BLUE, XLS_GREEN, PPT_ORANGE = "#D32F2F", "#1E63B5", "#2E7D32", "#D84315"
TXT_GREY, PIC_TEAL, VID_PURPLE, AUD_PINK, MODEL_BROWN = (
    "#546E7A", "#00897B", "#7B1FA2", "#C2185B", "#6D4C41")

PAGE = (
    f'<path d="M12 4 H42 L54 16 V60 H12 Z" {stroke(PAGE_EDGE, 2, WHITE)}/>'
    f'<path d="M42 4 V16 H54 Z" {stroke(PAGE_EDGE, 2, PAGE_FOLD)}/>'
)


def text_lines(colour):
    rows = ((12, 36), (18, 46), (24, 46), (30, 40))
    return "".join(
        f'<path d="M18 {y} H{end}" {stroke(colour, 3)}/>' for y, end in rows)


def glyph_picture(colour, scale=1.0, dx=0, dy=0):
    return (
        f'<g transform="translate({dx} {dy}) scale({scale})">'
        f'<circle cx="22" cy="13" r="3.5" fill="{colour}"/>'
        f'<polygon points="16,31 25,19 30,25 36,16 46,31" {stroke(colour, 2, colour)}/></g>'
    )


def glyph_video(colour, scale=1.0, dx=0, dy=0):
    return (
        f'<g transform="translate({dx} {dy}) scale({scale})">'
        f'<rect x="16" y="9" width="28" height="22" rx="4" fill="{colour}"/>'
        f'<polygon points="26,14 36,20 26,26" {stroke(WHITE, 2, WHITE)}/></g>'
    )


def glyph_audio(colour, scale=1.0, dx=0, dy=0):
    return (
        f'<g transform="translate({dx} {dy}) scale({scale})">'
        f'<ellipse cx="21" cy="27" rx="4.5" ry="3.5" fill="{colour}"/>'
        f'<ellipse cx="37" cy="24" rx="4.5" ry="3.5" fill="{colour}"/>'
        f'<path d="M25 27 V11 L41 8 V24" {stroke(colour, 3)}/>'
        f'<path d="M25 13 L41 10" {stroke(colour, 5)}/></g>'
    )


def glyph_sheet(colour):
    grid = "".join(f'<path d="M{x} 10 V30" {stroke(colour, 1.5)}/>' for x in (27, 36))
    grid += "".join(f'<path d="M18 {y} H45" {stroke(colour, 1.5)}/>' for y in (17, 24))
    return f'<rect x="18" y="10" width="27" height="20" {stroke(colour, 2)}/>' + grid


def glyph_slide(colour):
    bars = ((22, 22), (29, 17), (36, 12))
    return f'<rect x="17" y="8" width="28" height="24" rx="2" {stroke(colour, 2)}/>' + "".join(
        f'<rect x="{x}" y="{top}" width="5" height="{28 - top}" fill="{colour}"/>'
        for x, top in bars)


def glyph_cube(colour):
    return (
        f'<path d="M30 8 L42 14 V27 L30 33 L18 27 V14 Z" {stroke(colour, 2.5, "#D7CCC8")}/>'
        f'<path d="M18 14 L30 20 L42 14 M30 20 V33" {stroke(colour, 2.5)}/>'
    )


def document(colour, glyph, text):
    """A page with a glyph, a coloured band and the extension; `text` None draws the band bare."""
    band = f'<rect x="4" y="35" width="50" height="19" rx="3" fill="{colour}"/>'
    if text:
        band += label(text, 29, 50 if len(text) <= 3 else 49, 16 if len(text) <= 3 else 12.5)
    return svg(PAGE + glyph + band)


def generic_document(glyph):
    """The catch-all icons of a media kind: no band, a large glyph instead."""
    return svg(PAGE + glyph)


IMAGE_TYPES = ("jpg", "png", "gif", "bmp")
VIDEO_TYPES = ("webm", "mkv", "mov", "wmv", "mp4", "mpg")
AUDIO_TYPES = ("wav", "mp3", "m4a", "wma")


def file_type_icons():
    """name -> (full-size SVG, 16 px SVG without the text that would only smear at that size)."""
    kinds = {"pdf": (PDF_RED, text_lines(SLATE_LIGHT)),
             "doc": (DOC_BLUE, text_lines(BLUE_LIGHT)),
             "txt": (TXT_GREY, text_lines(SLATE_LIGHT)),
             "xls": (XLS_GREEN, glyph_sheet(XLS_GREEN)),
             "ppt": (PPT_ORANGE, glyph_slide(PPT_ORANGE)),
             "fbx": (MODEL_BROWN, glyph_cube(MODEL_BROWN))}
    kinds.update({t: (PIC_TEAL, glyph_picture(PIC_TEAL)) for t in IMAGE_TYPES})
    kinds.update({t: (VID_PURPLE, glyph_video(VID_PURPLE)) for t in VIDEO_TYPES})
    kinds.update({t: (AUD_PINK, glyph_audio(AUD_PINK)) for t in AUDIO_TYPES})
    icons = {ext: (document(colour, glyph, ext.upper()), document(colour, glyph, None))
             for ext, (colour, glyph) in kinds.items()}
    big = dict(scale=1.45, dx=-12, dy=4)
    for name, glyph in (("pic", glyph_picture(PIC_TEAL, **big)),
                        ("vid", glyph_video(VID_PURPLE, **big)),
                        ("aud", glyph_audio(AUD_PINK, **big))):
        icons[name] = (generic_document(glyph),) * 2
    return icons


# --- storage badges and the program mark ------------------------------------------------------


def badge(colour, text, size):
    return svg(
        f'<rect x="4" y="4" width="56" height="56" rx="12" fill="{colour}"/>'
        f'<rect x="8" y="8" width="48" height="48" rx="9" {stroke(WHITE, 1.5)} '
        'stroke-opacity="0.5"/>' + label(text, 32, 32 + size * 0.36, size))


LOGO = svg(
    f'<rect x="4" y="4" width="56" height="56" rx="14" fill="{INDIGO}"/>'
    f'<path d="M18 17 L32 47 L46 17" {stroke(WHITE, 9)}/>')

# --- tool icons -------------------------------------------------------------------------------

PLAY = svg(f'<polygon points="21,13 51,32 21,51" {stroke(GREEN, 6, GREEN)}/>')
PAUSE = svg(
    f'<rect x="16" y="12" width="12" height="40" rx="3" fill="{BLUE}"/>'
    f'<rect x="36" y="12" width="12" height="40" rx="3" fill="{BLUE}"/>')
ABORT = svg(
    f'<circle cx="32" cy="32" r="27" fill="{RED}"/>'
    f'<path d="M22 22 L42 42 M42 22 L22 42" {stroke(WHITE, 7)}/>')
APPLY = svg(f'<path d="M13 34 L26 47 L51 18" {stroke(GREEN, 9)}/>')
POWER = svg(
    f'<path d="M43.6 20.2 A18 18 0 1 1 20.4 20.2" {stroke(RED, 7)}/>'
    f'<path d="M32 8 V31" {stroke(RED, 7)}/>')
KEY = svg(
    '<g transform="rotate(-40 32 32)">'
    f'<circle cx="17" cy="32" r="10" {stroke(AMBER, 6)}/>'
    f'<path d="M27 32 H57 M49 32 V42 M41 32 V40" {stroke(AMBER, 6)}/></g>')
QUESTION = svg(
    f'<circle cx="32" cy="32" r="28" fill="{BLUE}"/>'
    '<path d="M23.5 24 C23.5 17.5 28 14 32.5 14 C37.5 14 41 17.5 41 22.5 '
    f'C41 27 38 28.8 35.5 30.5 C33 32.2 32 34 32 37.5 V39" {stroke(WHITE, 6.5)}/>'
    f'<circle cx="32" cy="49" r="4.2" fill="{WHITE}"/>')
LINK = svg(
    '<g transform="rotate(-45 32 32)">'
    f'<rect x="5" y="23" width="30" height="18" rx="9" {stroke(BLUE, 5.5)}/>'
    f'<rect x="29" y="23" width="30" height="18" rx="9" {stroke(BLUE, 5.5)}/></g>')
EMPTY_BOX = svg(
    f'<polygon points="14,20 50,20 52,30 12,30" fill="#6D4C41"/>'
    f'<polygon points="12,30 16,19 6,12 2,23" {stroke("#A1887F", 2, "#E0B98A")}/>'
    f'<polygon points="52,30 48,19 58,12 62,23" {stroke("#A1887F", 2, "#E0B98A")}/>'
    f'<rect x="12" y="30" width="40" height="27" {stroke("#A1887F", 2, "#D7A86E")}/>'
    f'<path d="M24 30 V38 H40 V30" {stroke("#A1887F", 2, "#E0B98A")}/>')


def lock(is_open):
    # An open lock lifts its shackle so that only the right leg stays in the body.
    shackle = ("M21 20 V14 A11 11 0 0 1 43 14 V30" if is_open
               else "M21 30 V20 A11 11 0 0 1 43 20 V30")
    return svg(
        f'<path d="{shackle}" {stroke(SLATE, 6)}/>'
        f'<rect x="13" y="28" width="38" height="29" rx="5" fill="{AMBER}"/>'
        '<circle cx="32" cy="39" r="4.5" fill="#5D4037"/>'
        '<rect x="30" y="40" width="4" height="9" rx="1.5" fill="#5D4037"/>')


def microphone(colour, extra=""):
    return svg(
        f'<rect x="25" y="6" width="14" height="30" rx="7" fill="{colour}"/>'
        f'<path d="M18 27 V30 A14 14 0 0 0 46 30 V27 M32 44 V53 M22 55 H42" '
        f'{stroke(colour, 4)}/>' + extra)


SOUND_WAVES = "".join(
    f'<path d="{d}" {stroke(GREEN, 3.5)}/>' for d in (
        "M51 15 Q56 22 51 29", "M56 9 Q64 22 56 35",
        "M13 15 Q8 22 13 29", "M8 9 Q0 22 8 35"))
SLASH = (f'<path d="M11 9 L53 55" {stroke(WHITE, 10)}/>'
         f'<path d="M11 9 L53 55" {stroke(RED, 5)}/>')

# --- tree navigation --------------------------------------------------------------------------

NAV = BLUE


def triangle(points):
    return f'<polygon points="{points}" {stroke(NAV, 5, NAV)}/>'


def bar(x):
    return f'<rect x="{x}" y="13" width="7" height="38" rx="2" fill="{NAV}"/>'


def arrow(direction):
    """A stroked arrow pointing west, east or north."""
    paths = {"west": "M13 32 H51 M29 16 L13 32 L29 48",
             "east": "M13 32 H51 M35 16 L51 32 L35 48",
             "north": "M32 57 V22 M18 36 L32 22 L46 36"}
    return f'<path d="{paths[direction]}" {stroke(NAV, 7)}/>'


def small_tree(root, child):
    return (
        f'<path d="M15 17 V50 M15 32 H30 M15 50 H30" {stroke(SLATE, 3)}/>'
        f'<rect x="6" y="6" width="18" height="12" rx="2" fill="{root}"/>'
        f'<rect x="30" y="26" width="18" height="12" rx="2" fill="{child}"/>'
        f'<rect x="30" y="44" width="18" height="12" rx="2" fill="{child}"/>')


def corner_badge(colour, mark):
    return (f'<circle cx="49" cy="49" r="13" fill="{colour}" stroke="{WHITE}" stroke-width="2.5"/>'
            f'<path d="{mark}" {stroke(WHITE, 4)}/>')


TREE_ICONS = {
    "tree_first.svg": svg(bar(13) + triangle("49,15 25,32 49,49")),
    "tree_previous.svg": svg(triangle("43,13 17,32 43,51")),
    "tree_next.svg": svg(triangle("21,13 47,32 21,51")),
    "tree_last.svg": svg(triangle("15,15 39,32 15,49") + bar(44)),
    "tree_back.svg": svg(arrow("west")),
    "tree_forward.svg": svg(arrow("east")),
    "tree_top.svg": svg(f'<path d="M14 9 H50" {stroke(NAV, 7)}/>' + arrow("north")),
    "tree.svg": svg(small_tree(BLUE, BLUE_LIGHT)),
    "tree_node.svg": svg(
        f'<path d="M12 8 V32 H28 M12 32 V56" {stroke(SLATE, 3)}/>'
        f'<rect x="28" y="21" width="28" height="22" rx="3" {stroke(BLUE, 3, BLUE_LIGHT)}/>'),
    "tree_show_options.svg": svg(
        "".join(f'<path d="M10 {y} H54" {stroke(SLATE, 4)}/>' for y in (16, 32, 48))
        + "".join(f'<circle cx="{x}" cy="{y}" r="6.5" fill="{BLUE}" stroke="{WHITE}" '
                  'stroke-width="2"/>' for x, y in ((22, 16), (42, 32), (28, 48)))),
    "tree_force_update.svg": svg(arc_arrow(32, 32, 20, 200, 330, GREEN, 6)
                                 + arc_arrow(32, 32, 20, 20, 150, GREEN, 6)),
    "tree_force_prune.svg": svg(small_tree(SLATE_LIGHT, SLATE_LIGHT)
                                + corner_badge(RED, "M43 43 L55 55 M55 43 L43 55")),
}

# --- the set ----------------------------------------------------------------------------------

SVG_FILES = {
    "green.svg": lamp(GREEN, GREEN_DARK),
    "red.svg": lamp(RED, RED_DARK),
    "yellow.svg": lamp(YELLOW, YELLOW_DARK),
    "blue.svg": lamp(BLUE, BLUE_DARK),
    "apply.svg": APPLY,
    "questionmark.svg": QUESTION,
    "link.svg": LINK,
    "empty_box.svg": EMPTY_BOX,
    **TREE_ICONS,
}

# name -> (SVG source, edge length in px)
PNG_FILES = {
    "green_16x16.png": (lamp(GREEN, GREEN_DARK), 16),
    "green_32x32.png": (lamp(GREEN, GREEN_DARK), 32),
    "red_16x16.png": (lamp(RED, RED_DARK), 16),
    "red_32x32.png": (lamp(RED, RED_DARK), 32),
    "yellow_16x16.png": (lamp(YELLOW, YELLOW_DARK), 16),
    "yellow_32x32.png": (lamp(YELLOW, YELLOW_DARK), 32),
    "play.png": (PLAY, 48),
    "pause.png": (PAUSE, 48),
    "abort.png": (ABORT, 48),
    "power.png": (POWER, 48),
    "key.png": (KEY, 48),
    "lock_open.png": (lock(True), 48),
    "lock_closed.png": (lock(False), 48),
    "mic_enabled.png": (microphone(SLATE), 48),
    "mic_disabled.png": (microphone(SLATE_LIGHT, SLASH), 48),
    "mic_talking.png": (microphone(GREEN, SOUND_WAVES), 48),
    "logo.png": (LOGO, 128),
    "aws.png": (badge("#455A64", "S3", 28), 64),
    "minio.png": (badge("#00796B", "MinIO", 15), 64),
    "nextcloud2.png": (badge(INDIGO, "NC", 26), 64),
}

JPG_FILES = {"nextcloud1.jpg": (badge(INDIGO, "NC", 26), 128)}

ICO_SIZES = (16, 32, 48)


# --- writers ----------------------------------------------------------------------------------


def render_png(source, size):
    return subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size)],
                          input=source.encode(), stdout=subprocess.PIPE, check=True).stdout


def ico(pngs):
    """A Windows icon file holding the given square PNG images."""
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = len(header) + 16 * len(pngs)
    entries, data = b"", b""
    for png in pngs:
        width, height = struct.unpack(">II", png[16:24])  # from the IHDR chunk
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png),
                               offset + len(data))
        data += png
    return header + entries + data


def jpeg(source, size):
    with tempfile.TemporaryDirectory() as scratch:
        png_path = os.path.join(scratch, "in.png")
        jpg_path = os.path.join(scratch, "out.jpg")
        with open(png_path, "wb") as f:
            f.write(render_png(source, size))
        # -strip keeps dates out of the file so that regenerating changes nothing.
        subprocess.run(["convert", png_path, "-background", "white", "-alpha", "remove",
                        "-alpha", "off", "-quality", "90", "-strip", jpg_path], check=True)
        with open(jpg_path, "rb") as f:
            return f.read()


def all_images():
    """file name -> bytes for the whole set."""
    images = {name: source.encode() for name, source in SVG_FILES.items()}
    images.update({name: render_png(source, size) for name, (source, size) in PNG_FILES.items()})
    images.update({name: jpeg(source, size) for name, (source, size) in JPG_FILES.items()})
    for ext, (full, small) in file_type_icons().items():
        images[f"{ext}.ico"] = ico([render_png(small if size == 16 else full, size)
                                    for size in ICO_SIZES])
    return images


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "images")
    os.makedirs(out_dir, exist_ok=True)
    images = all_images()
    for name, data in sorted(images.items()):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
    total = sum(len(data) for data in images.values())
    print(f"{len(images)} images, {total} bytes, in {out_dir}")


if __name__ == "__main__":
    main()
