#!/usr/bin/env python3
"""Arranging the grid by drag and drop, on the real binary under Xvfb with
xdotool: a quick drop reorders and the order survives a restart, a drop made
while a search hides some applications moves the right ones, resting on a
tile before dropping makes a named folder, a drop on a folder adds the
application once, and a drag let go over empty space leaves nothing dimmed.

Drags are real system drags: press, move in steps, rest, release."""

import json
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from launcher_harness import SCREEN, TOP_BAR, App, Launcher, run  # noqa: E402

# Names sort in this order, so the first start shows them in this order.
APPS = [
    App("org.test.atlas", "Atlas", (220, 60, 50)),
    App("org.test.beacon", "Beacon", (60, 190, 80)),
    App("org.test.chrome", "Chrome Canary", (240, 150, 40)),
    App("org.test.delta", "Delta", (230, 210, 60)),
    App("org.test.firefox", "Firefox Nightly", (240, 120, 170)),
    App("org.test.gamma", "Gamma", (40, 180, 160)),
]


def drag(launcher, start, end, rest=0.0, label=None):
    """Presses at `start`, moves to `end` in small steps, rests, and lets go.
    With `label`, a screenshot is taken while resting over the target."""
    (sx, sy), (ex, ey) = start, end
    launcher.run_tool("xdotool", "mousemove", "--sync", str(sx), str(sy))
    time.sleep(0.1)
    launcher.run_tool("xdotool", "mousedown", "1")
    steps = 12
    for i in range(1, steps + 1):
        x = sx + (ex - sx) * i // steps
        y = sy + (ey - sy) * i // steps
        launcher.run_tool("xdotool", "mousemove", "--sync", str(x), str(y))
        time.sleep(0.02)
    started = time.time()
    shot = launcher.screenshot(label) if label else None
    remaining = rest - (time.time() - started)
    if remaining > 0:
        time.sleep(remaining)
    # A last small move, as a hand makes: the pointer's drop action is updated on moves.
    launcher.run_tool("xdotool", "mousemove", "--sync", str(ex + 1), str(ey + 1))
    launcher.run_tool("xdotool", "mouseup", "1")
    time.sleep(0.6)
    return shot


def setting(launcher, key):
    """A settings value decoded from its JSON, or None when not stored."""
    for line in launcher.settings_text().splitlines():
        match = re.match(r'^%s="@ByteArray\((.*)\)"$' % re.escape(key), line)
        if match:
            return json.loads(match.group(1).replace('\\"', '"').replace("\\\\", "\\"))
    return None


def tile_centre(launcher, picture, ident):
    """Centre of the application's own 64-point icon; the small preview icons
    inside a folder tile do not count."""
    box = picture.find(launcher.apps[ident].colour,
                       region=(0, TOP_BAR + 60, SCREEN[0], SCREEN[1]))
    if box is None or box[2] - box[0] < 40 or box[3] - box[1] < 40:
        return None
    return ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2)


def order_on_screen(launcher, label):
    """Identifiers of the application tiles shown, left to right, top to bottom."""
    picture = launcher.picture(label)
    placed = []
    for ident in launcher.apps:
        centre = tile_centre(launcher, picture, ident)
        if centre:
            placed.append(((centre[1] // 40, centre[0]), ident))
    return [ident for _, ident in sorted(placed)], picture


def centres(launcher, picture):
    return {ident: tile_centre(launcher, picture, ident) for ident in launcher.apps}


def is_dimmed(launcher, picture, ident):
    """True when the icon is drawn at reduced opacity over the dark background,
    which shifts every pixel away from the icon's own colour."""
    return tile_centre(launcher, picture, ident) is None


def test():
    launcher = Launcher(APPS, "dragdrop")
    try:
        launcher.start()
        order, picture = order_on_screen(launcher, "start")
        assert order == [app.ident for app in APPS], order
        at = centres(launcher, picture)

        # A quick drop of Delta on Atlas puts Delta first and stores the order.
        drag(launcher, at["org.test.delta"], at["org.test.atlas"])
        expected = ["org.test.delta", "org.test.atlas", "org.test.beacon", "org.test.chrome",
                    "org.test.firefox", "org.test.gamma"]
        launcher.wait_for(lambda: setting(launcher, "customAppOrder") == expected,
                          "the new order to be stored")
        order, picture = order_on_screen(launcher, "reordered")
        assert order == expected, order
        assert setting(launcher, "folders") is None, "a quick drop makes no folder"

        # The order survives a restart.
        launcher.stop()
        launcher.start()
        order, picture = order_on_screen(launcher, "reordered-restarted")
        assert order == expected, order

        # While a search hides some applications, a drop still moves the two
        # that were dragged and dropped on: "e" leaves Delta, Beacon, Chrome
        # Canary and Firefox Nightly, and Firefox Nightly goes to Beacon's place.
        launcher.type("e")
        launcher.wait_for(lambda: order_on_screen(launcher, "searching")[0] == [
            "org.test.delta", "org.test.beacon", "org.test.chrome", "org.test.firefox"],
            "the search to narrow the grid")
        at = centres(launcher, launcher.picture("searching"))
        drag(launcher, at["org.test.firefox"], at["org.test.beacon"])
        expected = ["org.test.delta", "org.test.atlas", "org.test.firefox", "org.test.beacon",
                    "org.test.chrome", "org.test.gamma"]
        launcher.wait_for(lambda: setting(launcher, "customAppOrder") == expected,
                          "the order changed through the search to be stored")
        launcher.key("BackSpace")
        launcher.wait_for(lambda: order_on_screen(launcher, "search-cleared")[0] == expected,
                          "the whole grid in the new order")
        order, picture = order_on_screen(launcher, "reordered-while-searching")
        at = centres(launcher, picture)

        # Resting on Chrome Canary with Firefox Nightly makes a "Web" folder of
        # the two, the dragged one first, after the existing (no) folders.
        ring = drag(launcher, at["org.test.firefox"], at["org.test.chrome"], rest=0.9,
                    label="ring-on-application")
        launcher.wait_for(lambda: setting(launcher, "folders"), "the folder to be stored")
        folders = setting(launcher, "folders")
        assert len(folders) == 1, folders
        assert folders[0]["name"] == "Web", folders
        assert folders[0]["appBundleIds"] == ["org.test.firefox", "org.test.chrome"], folders
        order, picture = order_on_screen(launcher, "new-folder")
        assert order == ["org.test.delta", "org.test.atlas", "org.test.beacon", "org.test.gamma"], \
            order
        assert ring is not None
        # The folder stays closed: the grid still shows its tiles, no panel over them.
        assert tile_centre(launcher, picture, "org.test.delta") is not None

        # The folder is the first cell now, where Delta was before.
        folder_cell = at["org.test.delta"]
        at = centres(launcher, picture)
        drag(launcher, at["org.test.gamma"], folder_cell, rest=0.3, label="ring-on-folder")
        launcher.wait_for(lambda: len(setting(launcher, "folders")[0]["appBundleIds"]) == 3,
                          "Gamma to join the folder")
        members = setting(launcher, "folders")[0]["appBundleIds"]
        assert members == ["org.test.firefox", "org.test.chrome", "org.test.gamma"], members
        order, picture = order_on_screen(launcher, "added-to-folder")
        assert order == ["org.test.delta", "org.test.atlas", "org.test.beacon"], order

        # A drag let go over empty space changes nothing and leaves nothing dimmed.
        at = centres(launcher, picture)
        before = launcher.settings_text()
        drag(launcher, at["org.test.beacon"], (SCREEN[0] // 2, SCREEN[1] - 150))
        order, picture = order_on_screen(launcher, "released-on-empty-space")
        assert order == ["org.test.delta", "org.test.atlas", "org.test.beacon"], order
        for ident in order:
            assert not is_dimmed(launcher, picture, ident), ident + " stays dimmed"
        assert launcher.settings_text() == before

        # The tiles still take clicks after all these drags.
        launcher.click(*at["org.test.atlas"])
        launcher.wait_for(lambda: os.path.exists(launcher.marker_path("org.test.atlas")),
                          "a click after dragging to launch")
    finally:
        launcher.close()


if __name__ == "__main__":
    run(test)
