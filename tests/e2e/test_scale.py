"""Scaled screens, pictured by screenshot mode: at 2 device pixels to the point
the launcher lies where it lies at 1, in points, and an icon is drawn from its
full source, not from a smaller picture blown up; a laptop of 1920 by 1080
pixels at 1.5 still shows a full page between the search field and the dots."""

import colorsys
import json
import os
import subprocess

from harness import SCREEN, main
from PIL import Image

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


if __name__ == "__main__":
    main("scale", APPS, scaled_screens)
