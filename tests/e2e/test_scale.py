"""Scaled screens, pictured by screenshot mode: at 2 device pixels to the point
the launcher lies where it lies at 1, in points, and an icon is drawn from its
full source, not from a smaller picture blown up; a laptop of 1920 by 1080
pixels at 1.5 still shows a full page between the search field and the dots.
A folder open over the full page is frosted glass: nothing of the tiles behind
shows through it, only the blurred desktop picture, where the screen shows it."""

import colorsys
import json
import os
import subprocess
from statistics import correlation

from harness import SCREEN, main
from PIL import Image, ImageChops

APPS = [("org.test.app%02d" % n, "App %02d" % n, tuple(round(255 * c) for c in colorsys.hsv_to_rgb(n / 35, .8, .9)))
        for n in range(35)]
# Its icon is the striped one, on the first page.
STRIPED = APPS[34][0]


def shot(launcher, scale, size):
    config, path = launcher.path("screen.json"), os.path.join(launcher.artifacts, "scale-%s-%dx%d.png" % (scale, *size))
    with open(config, "w") as screens:
        json.dump({"screens": [{"name": "s", "x": 0, "y": 0, "width": size[0], "height": size[1]}]}, screens)
    env = dict(launcher.env, QT_SCALE_FACTOR=str(scale), QT_QPA_PLATFORM="offscreen:configfile=" + config)
    done = subprocess.run([launcher.binary, "--root", launcher.path("root"), "--screenshot", path], env=env,
                          capture_output=True, text=True, timeout=120)
    image = done.returncode == 0 and Image.open(path).convert("RGB")
    assert image and image.size == size, done
    return image, launcher.tiles(image, least=2000 * scale ** 2, most=6000 * scale ** 2, region=(0, 0) + size)


def scaled_screens(launcher):
    # Lines one pixel apart: drawn from a smaller picture blown up, they would be grey.
    Image.frombytes("L", (128, 128), (bytes(128) + bytes([255]) * 128) * 64).save(launcher.path(STRIPED + ".png"))
    _, base = shot(launcher, 1, SCREEN)
    assert len(base) == 34 and None not in base.values(), base
    image, at = shot(launcher, 2, (SCREEN[0] * 2, SCREEN[1] * 2))
    assert all(at.get(ident) and max(abs(a / 2 - b) for a, b in zip(at[ident], base[ident])) <= 2
               for ident in base), at
    assert launcher.patch((0, 0, 0), (0, 0) + image.size, image)[1] > 3000, "the striped icon is not sharp at 2"
    # 1280 by 720 points: every tile whole, below the search field, above the dots.
    _, at = shot(launcher, 1.5, SCREEN)
    rows = [place[1] for place in at.values() if place]
    assert len(rows) == 34 and min(rows) - 40 > 63 * 1.5 and max(rows) + 40 < SCREEN[1] - 47 * 1.5, at


def sharp(image, box):
    """How many pixels of `box` differ by more than 8 grey levels from their right or lower neighbour."""
    grey = image.convert("L").crop(box)
    return sum(sum(ImageChops.difference(grey.crop(near), grey.crop((0, 0, *far))).histogram()[9:]) for near, far in (
        ((1, 0, *grey.size), (grey.width - 1, grey.height)), ((0, 1, *grey.size), (grey.width, grey.height - 1))))


def frosted_folder(launcher):
    # Wide black and white stripes for the desktop picture; the launcher shows them blurred.
    Image.frombytes("L", (8, 1), bytes([20, 235] * 4)).resize((800, 600), Image.NEAREST).save(launcher.path("pic.png"))
    with open(launcher.path("config_home", "plasma-org.kde.plasma.desktop-appletsrc"), "w") as rc:
        rc.write("[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://%s\n" % launcher.path("pic.png"))
    launcher.env["XDG_CURRENT_DESKTOP"] = "KDE"
    launcher.start()
    first, second, third = (ident for ident, *_ in APPS[:3])
    at = launcher.wait("a full page", lambda: len(shown := launcher.tiles()) == 34 and shown)
    launcher.drag(at[second], at[first], via=at[third], rest=True)
    grid = launcher.wait("the folder in the first cell", lambda: len(launcher.tiles()) == 32 and launcher.last)
    launcher.click(at[first]).shows("frosted-folder", second, first)
    # Parts of the panel clear of its contents: right of its two applications (over icons and names of the grid)
    # and between its title and icons (between two rows of the grid).
    empty, between = (900, 540, 1290, 705), (630, 510, 1290, 530)
    edges = sharp(grid, empty), sharp(launcher.last, empty)
    assert edges[0] > 200 and edges[1] == 0, edges
    stripes = [[sum(image.convert("L").crop(between).crop((x, 0, x + 1, 20)).getdata()) for x in range(660)]
               for image in (grid, launcher.last)]
    assert correlation(*stripes) > 0.95, "the panel's picture does not line up with the background"


if __name__ == "__main__":
    main("scale", APPS, scaled_screens, frosted_folder)
