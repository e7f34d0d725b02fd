#!/usr/bin/env python3
"""Generates the demo catalogue under demo/ (or the folder given as argument).

Everything is drawn here: each application gets a rounded tile in its own
colour with its initials. The output is deterministic, so running this again
reproduces the committed files byte for byte.

Layout:
  share/applications/*.desktop          desktop entries (Exec=true: harmless)
  share/icons/hicolor/128x128/apps/*.png their icons
  root/Applications/...                 application bundles with Info.plist and .icns
  root/System/Applications/...
"""
import colorsys
import os
import plistlib
import shutil
import struct
import sys
import unicodedata
import zlib

FONT = {  # 5 x 7 bitmap glyphs, one string per row
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
}

# Desktop entries: (name, category, comment). The names exercise the folder-name
# keywords: office/word/excel, chrome/safari, terminal/code, photoshop/
# illustrator/figma, including "code" inside longer words.
ENTRIES = [
    ("Office Hours", "Office", "Plan the working week"),
    ("Wordsmith", "Office", "Write long documents"),
    ("Excelsior Sheets", "Office", "Spreadsheets for everyone"),
    ("Password Keeper", "Utility", "Keep passwords safe"),
    ("Chrome Canvas", "Network", "Browse the web"),
    ("Safari Maps", "Education", "Maps of wild places"),
    ("Terminal Deck", "Development", "Several terminals side by side"),
    ("Code Garden", "Development", "A small code editor"),
    ("Barcode Scanner", "Utility", "Read barcodes with the camera"),
    ("Decoder Ring", "Game", "Secret messages for kids"),
    ("Photoshoppe", "Graphics", "Retouch photographs"),
    ("Illustrator Pad", "Graphics", "Vector drawing"),
    ("Figmatic Board", "Graphics", "Wireframes and mock-ups"),
    ("Abacus", "Education", "Count on beads"),
    ("Aurora Weather", "Utility", "Forecasts and northern lights"),
    ("Beacon Mail", "Network", "Read and send mail"),
    ("Calendar Plus", "Office", "Days, weeks and months"),
    ("Compass", "Utility", "Find north"),
    ("Dice Roller", "Game", "Roll any dice"),
    ("Echo Recorder", "AudioVideo", "Record sound"),
    ("Ember Reader", "Office", "Read e-books"),
    ("Galaxy Atlas", "Education", "Stars and planets"),
    ("Harbor Chat", "Network", "Talk with friends"),
    ("Ivy Journal", "Office", "A private diary"),
    ("Jigsaw", "Game", "Puzzles from your pictures"),
    ("Kettle Recipes", "Utility", "Recipes and timers"),
    ("Lantern", "Utility", "A torch for dark rooms"),
    ("Lighthouse Monitor", "System", "Watch the system's load"),
    ("Maple Finance", "Office", "Household accounts"),
    ("Meadow Music", "AudioVideo", "Play music"),
    ("Nebula Player", "AudioVideo", "Play films"),
    ("Nimbus Cloud", "Network", "Files in the cloud"),
    ("Orbit Tracker", "Education", "Where the satellites are"),
    ("Pebble Notes", "Office", "Quick notes"),
    ("Quill", "Office", "Calligraphy practice"),
    ("Radar", "Network", "Find devices nearby"),
    ("Saffron Kitchen", "Utility", "Plan meals"),
    ("Solitaire", "Game", "Card games"),
    ("Tide Charts", "Education", "High and low water"),
    ("Tundra Backup", "System", "Back up your files"),
    ("Umbra Photos", "Graphics", "Organise photographs"),
    ("Vortex Video", "AudioVideo", "Edit video"),
    ("Willow Paint", "Graphics", "Paint with brushes"),
    ("Yarn Counter", "Utility", "Count stitches and rows"),
    ("Zephyr Timer", "Utility", "Timers and alarms"),
    ("ant farm", "Game", "Watch a colony grow"),
    ("\u00c9mile Dictionary", "Education", "Words and meanings"),
    ("2048 Tiles", "Game", "Slide and merge"),
]

# Bundles: (path under root, identifier or None, declared name, plist format,
# icon key or None). The hidden one, the one without an identifier and the
# second Sketchbook (same identifier, later folder) are never shown.
BUNDLES = [
    ("Applications/Stellar Calculator.app", "io.quorlin.demo.StellarCalculator",
     "Stellar Calc", plistlib.FMT_XML, "AppIcon"),
    ("Applications/Sketchbook.app", "io.quorlin.demo.Sketchbook", "Sketchbook",
     plistlib.FMT_BINARY, "Sketchbook.icns"),
    ("Applications/Studio Tools/Waveform Code Editor.app", "io.quorlin.demo.WaveformCode",
     "Waveform", plistlib.FMT_XML, "AppIcon"),
    ("Applications/.Hidden Helper.app", "io.quorlin.demo.HiddenHelper", "Hidden Helper",
     plistlib.FMT_XML, "AppIcon"),
    ("Applications/Unfinished.app", None, "Unfinished", plistlib.FMT_XML, None),
    ("System/Applications/Sketchbook.app", "io.quorlin.demo.Sketchbook", "Old Sketchbook",
     plistlib.FMT_XML, "AppIcon"),
    ("System/Applications/Clockwork.app", "io.quorlin.demo.Clockwork", "Clockwork",
     plistlib.FMT_BINARY, "AppIcon"),
    ("System/Applications/Utilities/Disk Gauge.app", "io.quorlin.demo.DiskGauge", "Disk Gauge",
     plistlib.FMT_XML, None),
]


def slug(name):
    plain = unicodedata.normalize("NFKD", name).encode("ascii", "ignore").decode()
    return "".join(part.capitalize() for part in plain.replace("-", " ").split())


def initials(name):
    plain = unicodedata.normalize("NFKD", name).encode("ascii", "ignore").decode().upper()
    words = [w for w in plain.split() if w[0] in FONT]
    letters = "".join(w[0] for w in words[:2])
    return letters or "?"


def png(width, height, rgba):
    raw = b"".join(b"\x00" + bytes(rgba[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def draw_icon(name, index, size):
    """A rounded tile with a vertical gradient in the app's own hue and its
    initials in white, drawn with smooth edges."""
    hue = (index * 0.6180339887) % 1.0
    top = colorsys.hsv_to_rgb(hue, 0.55, 0.98)
    bottom = colorsys.hsv_to_rgb((hue + 0.06) % 1.0, 0.85, 0.62)
    letters = initials(name)
    cell = max(1, round(size * (0.075 if len(letters) == 1 else 0.055)))
    text_w = len(letters) * 5 * cell + (len(letters) - 1) * cell
    text_h = 7 * cell
    x0 = (size - text_w) // 2
    y0 = (size - text_h) // 2
    margin = size * 0.0625
    radius = size * 0.22
    pixels = bytearray(size * size * 4)
    for y in range(size):
        t = y / (size - 1)
        base = [top[i] * (1 - t) + bottom[i] * t for i in range(3)]
        for x in range(size):
            # Coverage of the rounded rectangle, one pixel of feathering.
            cx = min(max(x + 0.5, margin + radius), size - margin - radius)
            cy = min(max(y + 0.5, margin + radius), size - margin - radius)
            distance = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            alpha = min(max(radius - distance + 0.5, 0.0), 1.0)
            if alpha == 0.0:
                continue
            colour = list(base)
            # A soft highlight across the upper third.
            if y < size * 0.38:
                colour = [c + (1 - c) * 0.10 for c in colour]
            gx, gy = x - x0, y - y0
            if 0 <= gx < text_w and 0 <= gy < text_h:
                letter = gx // (6 * cell)
                col = (gx % (6 * cell)) // cell
                row = gy // cell
                if col < 5 and FONT.get(letters[letter], ["00000"] * 7)[row][col] == "1":
                    colour = [0.98, 0.98, 0.98]
            offset = (y * size + x) * 4
            pixels[offset:offset + 4] = bytes(
                [round(c * 255) for c in colour] + [round(alpha * 255)])
    return png(size, size, pixels)


def icns(entries):
    body = b"".join(kind + struct.pack(">I", len(data) + 8) + data for kind, data in entries)
    return b"icns" + struct.pack(">I", len(body) + 8) + body


def write(path, data, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)
    os.chmod(path, mode)


def desktop_entry(name, category, comment, icon):
    lines = [
        "[Desktop Entry]",
        "Type=Application",
        "Name=" + name,
        "Comment=" + comment,
        # A demo application launches nothing: `true` exists everywhere.
        "Exec=true",
        "Icon=" + icon,
        "Terminal=false",
        "Categories=" + category + ";",
    ]
    return ("\n".join(lines) + "\n").encode()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "demo")
    for part in ("share", "root"):
        shutil.rmtree(os.path.join(target, part), ignore_errors=True)

    for index, (name, category, comment) in enumerate(ENTRIES):
        icon = "quorlin-demo-" + slug(name).lower()
        write(os.path.join(target, "share/icons/hicolor/128x128/apps", icon + ".png"),
              draw_icon(name, index, 128))
        write(os.path.join(target, "share/applications", "io.quorlin.demo." + slug(name) + ".desktop"),
              desktop_entry(name, category, comment, icon))

    for index, (path, identifier, declared, fmt, icon_key) in enumerate(BUNDLES):
        bundle = os.path.join(target, "root", path)
        name = os.path.splitext(os.path.basename(path))[0].lstrip(".")
        info = {"CFBundleName": declared, "CFBundleExecutable": slug(name),
                "CFBundlePackageType": "APPL", "CFBundleShortVersionString": "1.0"}
        if identifier:
            info["CFBundleIdentifier"] = identifier
        if icon_key:
            info["CFBundleIconFile"] = icon_key
            file = icon_key if icon_key.endswith(".icns") else icon_key + ".icns"
            colour_index = len(ENTRIES) + index
            write(os.path.join(bundle, "Contents/Resources", file),
                  icns([(b"ic07", draw_icon(name, colour_index, 128)),
                        (b"ic08", draw_icon(name, colour_index, 256))]))
        write(os.path.join(bundle, "Contents/Info.plist"),
              plistlib.dumps(info, fmt=fmt, sort_keys=True))
        write(os.path.join(bundle, "Contents/MacOS", slug(name)), b"#!/bin/sh\nexit 0\n", 0o755)


if __name__ == "__main__":
    main()
