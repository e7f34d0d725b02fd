#!/usr/bin/env python3
"""Folders end to end, on the real binary under Xvfb: open a folder, rename it
and close it by the backdrop, rename it from the tile's menu, add an
application from the picker, launch from the panel, and take applications out
until the folder disappears.

The launcher is found on screen by colours it is known to draw: every test
application has a flat icon of its own colour, the folder tile is the only
blue-to-purple square, and the panel's two header buttons are the only
light-grey discs. Everything else is placed from those and the panel's fixed
layout (700 wide, 40 padding, five columns 128 apart)."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import uuid

SCREEN_W, SCREEN_H = 1920, 1080

# name, bundle identifier, icon colour; identifiers sort like the names.
APPS = [
    ("Alpha", "alpha", (220, 60, 50)),
    ("Beta", "beta", (60, 190, 80)),
    ("Gamma", "gamma", (240, 150, 40)),
    ("Delta", "delta", (230, 210, 60)),
    ("Epsilon", "epsilon", (240, 120, 170)),
    ("Zeta", "zeta", (40, 180, 160)),
]
COLOUR = {ident: colour for _, ident, colour in APPS}


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(0)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Image:
    def __init__(self, path):
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        self.width, self.height = SCREEN_W, SCREEN_H
        if len(raw) != self.width * self.height * 3:
            fail("unexpected screenshot size in " + path)
        self.raw = raw

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.raw[i], self.raw[i + 1], self.raw[i + 2]

    def pixels(self, box=None, step=1):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x1), min(self.height, y1)
        raw, width = self.raw, self.width
        for y in range(y0, y1, step):
            row = y * width
            for x in range(x0, x1, step):
                i = (row + x) * 3
                yield x, y, raw[i], raw[i + 1], raw[i + 2]

    def count_colour(self, colour, box=None, tolerance=12, step=1):
        cr, cg, cb = colour
        return sum(1 for _, _, r, g, b in self.pixels(box, step)
                   if abs(r - cr) <= tolerance and abs(g - cg) <= tolerance
                   and abs(b - cb) <= tolerance)


def clusters(points, cell=4):
    """Groups points that lie within a few pixels of each other."""
    grid = {}
    for x, y in points:
        grid.setdefault((x // cell, y // cell), []).append((x, y))
    seen, groups = set(), []
    for start in grid:
        if start in seen:
            continue
        seen.add(start)
        stack, members = [start], []
        while stack:
            cx, cy = stack.pop()
            members.extend(grid[(cx, cy)])
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    n = (cx + dx, cy + dy)
                    if n in grid and n not in seen:
                        seen.add(n)
                        stack.append(n)
        groups.append(members)
    return groups


def bbox(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def folder_square(image):
    """Bounding box of the folder tile's gradient square, or None."""
    points = [(x, y) for x, y, r, g, b in image.pixels(step=2)
              if b > 130 and b - g > 50 and b - r > 20]
    groups = [g for g in clusters(points, cell=6) if len(g) > 200]
    if not groups:
        return None
    return bbox(max(groups, key=len))


def header_buttons(image):
    """Centres of the panel's plus and close buttons, or None when not shown."""
    points = [(x, y) for x, y, r, g, b in image.pixels()
              if 196 <= r <= 232 and 196 <= g <= 232 and 196 <= b <= 232
              and max(r, g, b) - min(r, g, b) < 14]
    discs = []
    for group in clusters(points, cell=3):
        x0, y0, x1, y1 = bbox(group)
        if len(group) > 150 and 20 <= x1 - x0 <= 36 and 20 <= y1 - y0 <= 36:
            discs.append(((x0 + x1) / 2, (y0 + y1) / 2))
    discs.sort()
    for (ax, ay), (bx, by) in zip(discs, discs[1:]):
        if abs(ay - by) <= 3 and 30 <= bx - ax <= 42:
            return (round(ax), round(ay)), (round(bx), round(by))
    return None


class Launcher:
    def __init__(self, binary, root, artifacts):
        self.binary = binary
        self.root = root
        self.artifacts = artifacts
        self.xvfb = None
        self.process = None
        self.env = None
        self.shots = 0

    # -- setting up -------------------------------------------------------

    def write_catalogue(self):
        data_dirs = os.path.join(self.root, "data-dirs")
        applications = os.path.join(self.root, "data-home", "applications")
        os.makedirs(applications)
        os.makedirs(os.path.join(data_dirs, "applications"))
        icons = os.path.join(self.root, "icons")
        os.makedirs(icons)
        self.launch_log = os.path.join(self.root, "launched.log")
        for name, ident, colour in APPS:
            icon = os.path.join(icons, ident + ".png")
            subprocess.run(["convert", "-size", "128x128", "xc:rgb(%d,%d,%d)" % colour, icon],
                           check=True)
            script = os.path.join(self.root, "run-" + ident + ".sh")
            with open(script, "w") as f:
                f.write("#!/bin/sh\necho %s >> '%s'\n" % (ident, self.launch_log))
            os.chmod(script, 0o755)
            with open(os.path.join(applications, ident + ".desktop"), "w") as f:
                f.write("[Desktop Entry]\nType=Application\nName=%s\nExec=%s\nIcon=%s\n"
                        % (name, script, icon))

    def write_settings(self, folders):
        folder = os.path.join(self.root, "config", "Quorlin")
        os.makedirs(folder, exist_ok=True)
        text = json.dumps(folders, separators=(",", ":"))
        escaped = text.replace("\\", "\\\\").replace('"', '\\"')
        with open(os.path.join(folder, "Quorlin.conf"), "w") as f:
            f.write('[General]\nfolders="@ByteArray(%s)"\n' % escaped)

    def stored_folders(self):
        path = os.path.join(self.root, "config", "Quorlin", "Quorlin.conf")
        with open(path) as f:
            for line in f:
                if line.startswith("folders="):
                    value = line[len("folders="):].strip()
                    if value.startswith('"'):
                        value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
                    return json.loads(value[len("@ByteArray("):-1])
        return []

    def start(self):
        if shutil.which("Xvfb") is None:
            skip("Xvfb is not installed")
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             "%dx%dx24" % (SCREEN_W, SCREEN_H), "-nolisten", "tcp"],
            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            display = pipe.readline().strip()
        if not display:
            fail("Xvfb did not start")
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": ":" + display,
            "HOME": self.root,
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            "XDG_DATA_HOME": os.path.join(self.root, "data-home"),
            "XDG_DATA_DIRS": os.path.join(self.root, "data-dirs"),
            "XDG_RUNTIME_DIR": runtime,
            "QT_QPA_PLATFORM": "xcb",
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.output = open(os.path.join(self.root, "quorlin.out"), "w")
        self.process = subprocess.Popen([self.binary], env=self.env, stdout=self.output,
                                        stderr=subprocess.STDOUT)
        if not self.wait(self.is_visible, 20):
            fail("the launcher window never appeared")
        # Give the scan and the first frames time to land.
        self.wait(lambda: folder_square(self.shot("start")) is not None, 15)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(5)

    # -- looking and acting -----------------------------------------------

    def is_visible(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.process.pid)], env=self.env, capture_output=True)
        return found.returncode == 0 and found.stdout.strip() != b""

    def shot(self, name):
        self.shots += 1
        path = os.path.join(self.artifacts, "folders-%02d-%s.png" % (self.shots, name))
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return Image(path)

    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True)

    def click(self, x, y, button=1):
        self.xdo("mousemove", int(x), int(y))
        time.sleep(0.15)
        self.xdo("click", button)
        time.sleep(0.4)

    def type(self, text):
        self.xdo("type", "--delay", "40", text)
        time.sleep(0.3)

    def key(self, name):
        self.xdo("key", name)
        time.sleep(0.3)

    @staticmethod
    def wait(condition, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if condition():
                return True
            time.sleep(0.3)
        return False


class Panel:
    """Where the open panel's parts are, from its two header buttons."""

    def __init__(self, buttons):
        (self.plus_x, self.plus_y), (self.close_x, self.close_y) = buttons
        self.right = self.close_x + 14 + 40
        self.left = self.right - 700
        # The header is a little taller than the buttons (the title's line);
        # tiles are 110 high, so a few points either way do not matter.
        self.grid_top = self.plus_y + 17 + 30

    def tile(self, index):
        column, row = index % 5, index // 5
        return self.left + 94 + 128 * column, self.grid_top + 140 * row + 32

    def title(self):
        return self.left + 40 + 20, self.plus_y

    def picker_row(self, index):
        # Popover 4 below the button, a 10 arrow, the search field with its
        # margins (52), a divider, then rows of 48 plus a divider.
        return self.plus_x, self.plus_y + 14 + 4 + 10 + 52 + 1 + 24 + 49 * index

    def picker_icon(self, index):
        x, y = self.picker_row(index)
        return x - 150 + 16 + 16, y

    def backdrop(self):
        return max(20, self.left - 120), self.plus_y + 300


def near(image, point, colour, radius=6, tolerance=14):
    x, y = int(point[0]), int(point[1])
    return image.count_colour(colour, (x - radius, y - radius, x + radius, y + radius),
                              tolerance) > radius * radius


def loose_on_grid(image, colour, square):
    """Whether an icon of this colour is on the grid outside the folder tile."""
    x0, y0, x1, y1 = square if square else (0, 0, 0, 0)
    hits = [(x, y) for x, y, r, g, b in image.pixels(step=2)
            if abs(r - colour[0]) <= 12 and abs(g - colour[1]) <= 12 and abs(b - colour[2]) <= 12
            and not (x0 - 30 <= x <= x1 + 30 and y0 - 30 <= y <= y1 + 30)]
    return len(hits) > 300


def open_folder(launcher, name):
    square = folder_square(launcher.shot(name + "-grid"))
    if square is None:
        fail("no folder tile on the grid")
    launcher.click((square[0] + square[2]) / 2, (square[1] + square[3]) / 2)
    buttons = None

    def shown():
        nonlocal buttons
        buttons = header_buttons(launcher.shot(name))
        return buttons is not None

    if not launcher.wait(shown, 8):
        fail("the folder panel did not open (%s)" % name)
    return Panel(buttons)


def menu_surface(r, g, b):
    """A pixel of a menu's surface or highlighted entry: the launcher's neutral greys, or
    the light grey of a desktop theme's menus. The backdrop and the desktop
    behind are tinted, never neutral."""
    neutral = max(r, g, b) - min(r, g, b) <= 4
    return neutral and (36 <= min(r, g, b) <= 80 or min(r, g, b) >= 200)


def menu_at(image, x, y):
    """Whether a context menu (opening at the click) covers the spot just right
    of and below (x, y)."""
    box = (int(x) + 60, int(y) + 6, int(x) + 120, int(y) + 14)
    surface = sum(1 for _, _, r, g, b in image.pixels(box) if menu_surface(r, g, b))
    return surface > 0.8 * 60 * 8


def choose_from_menu(launcher, x, y, entry, name):
    """Right-clicks at (x, y) and clicks the menu's `entry`-th item."""
    launcher.click(x, y, button=3)
    if not shows(launcher, name, lambda image: menu_at(image, x, y)):
        fail("no context menu at %d, %d" % (x, y))
    launcher.click(x + 40, y + 20 + 40 * entry)


def shows(launcher, name, check, timeout=8):
    """Takes screenshots until `check` holds for one; whether it came to hold."""
    return launcher.wait(lambda: check(launcher.shot(name)), timeout)


def panel_closed(launcher, name):
    return launcher.wait(lambda: header_buttons(launcher.shot(name)) is None, 8)


def main():
    binary = os.environ.get("QUORLIN_BINARY")
    if not binary or not os.access(binary, os.X_OK):
        fail("QUORLIN_BINARY does not name the built launcher")
    for tool in ("xdotool", "import", "convert"):
        if shutil.which(tool) is None:
            fail(tool + " is missing; scripts/install-deps.sh installs it")
    artifacts = os.environ.get("QUORLIN_ARTIFACTS") or tempfile.mkdtemp(prefix="quorlin-e2e-")
    os.makedirs(artifacts, exist_ok=True)
    root = tempfile.mkdtemp(prefix="quorlin-folders-")
    launcher = Launcher(binary, root, artifacts)
    try:
        launcher.write_catalogue()
        folder_id = str(uuid.uuid4()).upper()
        launcher.write_settings([{"id": folder_id, "name": "Work",
                                  "appBundleIds": ["alpha", "beta"]}])
        launcher.start()
        run(launcher, folder_id)
    finally:
        launcher.stop()
        # QUORLIN_KEEP_E2E_ROOT keeps the launcher's output, settings and
        # catalogue for a look after a failed run.
        if not os.environ.get("QUORLIN_KEEP_E2E_ROOT"):
            shutil.rmtree(root, ignore_errors=True)
    print("PASS: folders end to end; screenshots in " + artifacts)


def run(launcher, folder_id):
    def stored():
        return {f["id"]: f for f in launcher.stored_folders()}

    start = launcher.shot("grid")
    square = folder_square(start)
    for ident in ("alpha", "beta"):
        if loose_on_grid(start, COLOUR[ident], square):
            fail(ident + " is in the folder but also loose on the grid")
    if not loose_on_grid(start, COLOUR["gamma"], square):
        fail("gamma should be on the grid")

    # Open, rename, and close by a click on the backdrop.
    panel = open_folder(launcher, "panel")
    if not shows(launcher, "panel-open", lambda image: near(
            image, panel.tile(0), COLOUR["alpha"]) and near(image, panel.tile(1), COLOUR["beta"])):
        fail("the panel does not show Alpha and Beta in the folder's order")
    launcher.click(*panel.title())
    launcher.key("ctrl+a")
    launcher.type("Games")
    launcher.shot("panel-renaming")
    launcher.click(*panel.backdrop())
    if not panel_closed(launcher, "after-rename"):
        fail("a click on the backdrop did not close the panel")
    if stored()[folder_id]["name"] != "Games":
        fail("the new name was not stored: %r" % stored()[folder_id]["name"])

    # "Rename Folder" opens the panel with the name ready to be typed over.
    square = folder_square(launcher.shot("rename-grid"))
    x, y = (square[0] + square[2]) / 2, (square[1] + square[3]) / 2
    choose_from_menu(launcher, x, y, 0, "folder-menu")
    buttons = None

    def opened():
        nonlocal buttons
        buttons = header_buttons(launcher.shot("rename-panel"))
        return buttons is not None

    if not launcher.wait(opened, 8):
        fail("Rename Folder did not open the panel")
    panel = Panel(buttons)
    launcher.key("ctrl+a")
    launcher.type("Play")
    launcher.key("Return")
    if not launcher.wait(lambda: stored()[folder_id]["name"] == "Play", 5):
        fail("Return in the title field did not store the name typed after Rename Folder")
    launcher.shot("renamed-by-menu")
    launcher.click(panel.close_x, panel.close_y)
    if not panel_closed(launcher, "closed-after-menu-rename"):
        fail("the close button did not close the panel")

    # Add Delta from the picker (candidates come in the grid's order: by name):
    # it joins the folder, leaves the grid and is not offered again.
    panel = open_folder(launcher, "panel-again")
    launcher.click(panel.plus_x, panel.plus_y)
    order = ("delta", "epsilon", "gamma", "zeta")
    if not shows(launcher, "picker", lambda image: all(
            near(image, panel.picker_icon(row), COLOUR[ident])
            for row, ident in enumerate(order))):
        fail("the picker did not open offering %s in that order" % ", ".join(order))
    launcher.click(*panel.picker_row(0))
    if not launcher.wait(lambda: "delta" in stored()[folder_id]["appBundleIds"], 5):
        fail("choosing Delta in the picker did not add it")
    if not shows(launcher, "picker-chosen", lambda image: near(
            image, panel.tile(2), COLOUR["delta"])):
        fail("the open panel does not show the added application")
    if near(launcher.shot("picker-closed"), panel.picker_icon(0), COLOUR["epsilon"]):
        fail("the picker stayed open after a choice")
    launcher.click(panel.plus_x, panel.plus_y)
    if not shows(launcher, "picker-reopened", lambda image: near(
            image, panel.picker_icon(0), COLOUR["epsilon"])):
        fail("Delta is offered again, or the picker did not reopen")
    launcher.click(panel.plus_x, panel.plus_y)
    launcher.click(panel.close_x, panel.close_y)
    if not panel_closed(launcher, "closed-by-button"):
        fail("the close button did not close the panel")
    image = launcher.shot("grid-after-add")
    if loose_on_grid(image, COLOUR["delta"], folder_square(image)):
        fail("Delta is still loose on the grid after joining the folder")

    # Launch from the panel: the application starts, the launcher hides.
    panel = open_folder(launcher, "panel-launch")
    launcher.click(*panel.tile(1))
    if not launcher.wait(lambda: os.path.exists(launcher.launch_log), 8):
        fail("clicking Beta in the panel launched nothing")
    with open(launcher.launch_log) as f:
        if f.read().split() != ["beta"]:
            fail("the wrong application was launched")
    if not launcher.wait(lambda: not launcher.is_visible(), 5):
        fail("the launcher did not hide after launching from the panel")
    subprocess.run([launcher.binary, "--toggle"], env=launcher.env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not launcher.wait(launcher.is_visible, 8):
        fail("the launcher did not come back on --toggle")
    if not panel_closed(launcher, "shown-again"):
        fail("the panel was still open after launching from it")

    # Take the applications out one by one; the last one takes the folder.
    panel = open_folder(launcher, "panel-remove")
    for remaining in (2, 1, 0):
        choose_from_menu(launcher, *panel.tile(0), 0, "menu-%d" % remaining)
        if remaining:
            if not launcher.wait(
                    lambda: len(stored()[folder_id]["appBundleIds"]) == remaining, 5):
                fail("Remove from Folder did not take the application out")
            image = launcher.shot("removed-%d" % remaining)
            if header_buttons(image) is None:
                fail("the panel closed while the folder still had applications")
    if not launcher.wait(lambda: folder_id not in stored(), 5):
        fail("removing the last application did not delete the folder")
    if not panel_closed(launcher, "folder-gone"):
        fail("the panel stayed open on a deleted folder")
    image = launcher.shot("grid-without-folder")
    if folder_square(image) is not None:
        fail("the folder tile is still on the grid")
    for ident in ("alpha", "beta", "delta"):
        if not loose_on_grid(image, COLOUR[ident], None):
            fail(ident + " did not come back to the grid")


if __name__ == "__main__":
    main()
