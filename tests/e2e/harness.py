"""Runs the real quorlin binary on a private Xvfb for the end-to-end flows.

Each flow gets its own X server and XDG folders, and a catalogue of desktop
entries whose command leaves a marker file, so a launch can be seen from
outside. The launcher is read from screenshots: every fixture application has
a flat icon of its own colour, so its tile is found by that colour.
"""

import json
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import time

from PIL import Image, ImageChops, ImageGrab

SCREEN = (1920, 1080)
# The plate of the menus and of the delete alert.
PLATE = (44, 44, 46)


class Launcher:
    def __init__(self, name, apps):
        """`apps`: (identifier, display name, icon colour[, script to run instead]) of each fixture entry."""
        self.name, self.last, self.process = name, None, None
        self.colours = {ident: colour for ident, _, colour, *_ in apps}
        self.binary = os.environ["QUORLIN_BINARY"]
        self.artifacts = os.environ.get("QUORLIN_ARTIFACTS") or tempfile.mkdtemp(prefix="quorlin-shots-")
        self.home = tempfile.mkdtemp(prefix="quorlin-e2e-")
        # Nothing of the user's desktop: folders of its own, no session bus.
        xdg = ("CONFIG_HOME", "DATA_HOME", "CACHE_HOME", "DATA_DIRS", "CONFIG_DIRS", "RUNTIME_DIR")
        self.env = {"XDG_" + kind: self.path(kind.lower()) for kind in xdg}
        for folder in (self.artifacts, "markers", "root", "data_home/applications", *self.env.values()):
            os.makedirs(self.path(folder), mode=0o700, exist_ok=True)
        for ident, title, colour, *script in apps:
            Image.new("RGB", (128, 128), colour).save(self.path(ident + ".png"))
            command = self.path(ident) if script else "touch " + self.path("markers", ident)
            if script:
                pathlib.Path(command).write_text(script[0])
                os.chmod(command, 0o700)
            with open(self.path("data_home", "applications", ident + ".desktop"), "w") as entry:
                entry.write("[Desktop Entry]\nType=Application\nName=%s\nIcon=%s\nExec=%s\n"
                            % (title, self.path(ident + ".png"), command))
        # Xvfb picks a free display and writes its number once it takes clients.
        display, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
                                      "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        self.display = ":" + os.read(display, 16).decode().strip()
        self.env.update(PATH=os.environ["PATH"], HOME=self.home, DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                        QT_QUICK_CONTROLS_STYLE="Basic", LANG="C.UTF-8",
                        DBUS_SESSION_BUS_ADDRESS="unix:path=" + self.path("no-bus"))

    def start_weston(self):
        """A Wayland compositor, Weston, in a window as big as the X screen and
        without its on-screen keyboard; the launcher is then given no X display."""
        with open(self.path("weston.ini"), "w") as ini:
            ini.write("[input-method]\npath=/bin/true\n")
        self.weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--socket=wayland-e2e",
                                        "--width=%d" % SCREEN[0], "--height=%d" % SCREEN[1],
                                        "--config=" + self.path("weston.ini")], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait("Weston to take clients", lambda: os.path.exists(self.path("runtime_dir", "wayland-e2e")))
        self.wayland_env = dict(self.env, WAYLAND_DISPLAY="wayland-e2e", QT_QPA_PLATFORM="wayland")
        del self.wayland_env["DISPLAY"]

    def path(self, *parts):
        return os.path.join(self.home, *parts)

    def launched(self):
        return sorted(os.listdir(self.path("markers")))

    def setting(self, key):
        """The JSON value stored under `key`, or None."""
        conf = self.path("config_home", "Quorlin", "Quorlin.conf")
        text = open(conf, encoding="utf-8").read() if os.path.exists(conf) else ""
        found = re.search(r'^%s="@ByteArray\((.*)\)"$' % key, text, re.M)
        return json.loads(found.group(1).replace('\\"', '"').replace("\\\\", "\\")) if found else None

    def wait(self, what, condition, label=None, timeout=30):
        """Polls `condition` until it gives a true value, and returns that. The
        screenshot it was seen on is kept under `label`; on timeout the last
        one is kept to show what was there instead."""
        deadline = time.monotonic() + timeout
        while not (value := condition()) and time.monotonic() < deadline:
            time.sleep(0.05)
        if label or not value:
            shot = self.last if value else self.shot()
            shot.save(os.path.join(self.artifacts, "%s-%s.png" % (self.name, label if value else "timeout")))
        assert value, "timed out waiting for " + what
        return value

    def shot(self):
        self.last = ImageGrab.grab(xdisplay=self.display).convert("RGB")
        return self.last

    def patch(self, colour, region=None, image=None, tolerance=8):
        """Bounding box and number of the pixels close to `colour`, on a fresh screenshot by default."""
        region = region or (0, 0) + SCREEN
        crop = (image or self.shot()).crop(region)
        red, green, blue = ImageChops.difference(crop, Image.new("RGB", crop.size, colour)).split()
        mask = ImageChops.lighter(ImageChops.lighter(red, green), blue).point(lambda v: 255 * (v <= tolerance))
        box = mask.getbbox()
        return box and tuple(a + b for a, b in zip(box, region[:2] * 2)), mask.histogram()[255]

    def tiles(self, image=None, least=2000, most=6000, region=None):
        """Centres of the fixture icons shown in `least` to `most` pixels of
        their colour, by default at tile size (64 points). An icon whose pixels
        do not make one solid patch is shown in more than one place: it maps
        to None, and no order of tiles matches it."""
        image, found = image or self.shot(), {}
        for ident, colour in self.colours.items():
            box, count = self.patch(colour, region, image)
            if box and least <= count <= most:
                solid = count > 0.6 * (box[2] - box[0]) * (box[3] - box[1])
                found[ident] = ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2) if solid else None
        return found

    def shows(self, label, *idents):
        """Waits until exactly these icons show, by rows and left to right; where they are."""
        def shown():
            at = self.tiles()
            rows = None in at.values() or sorted(at, key=lambda ident: (at[ident][1] // 40, at[ident][0]))
            return rows == list(idents) and [at]
        return self.wait(label + ": " + ", ".join(idents), shown, label)[0]

    def start(self, *extra):
        self.process = subprocess.Popen([self.binary, "--root", self.path("root"), *extra], env=self.env)
        # The toolkit's leader window, "quorlin", is never mapped.
        self.window = self.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Quorlin$").stdout.split()[0]
        self.wait("the launcher to take the keyboard", self.focused)

    def restart(self):
        self.process.terminate()
        self.process.wait(30)
        self.start()

    def run(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60)

    def viewable(self):
        return "IsViewable" in self.run("xwininfo", "-id", self.window).stdout

    def focused(self):
        return self.run("xdotool", "getwindowfocus").stdout.strip() == self.window

    def xdo(self, *args):
        """Runs xdotool; returns the launcher, to wait next for what it did."""
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=60)
        return self

    def click(self, point, button=1):
        return self.xdo("mousemove", "--sync", *point, "click", button)

    def choose(self, point, row):
        """Opens the context menu at `point`, waits for it to be drawn and clicks entry `row`."""
        self.click(point, 3)
        menu = (point[0], point[1], point[0] + 240, point[1] + 60)
        self.wait("a menu", lambda: (box := self.patch(PLATE, menu, tolerance=1)[0]) and box[2] - box[0] >= 190)
        return self.click((point[0] + 40, point[1] + 20 + 40 * row))

    def ring_over(self, tile):
        """Whether the drop ring is drawn along the top edge of the application tile whose icon is at `tile`."""
        image = self.shot()
        return all(min(image.getpixel((tile[0] + dx, tile[1] - 34))) > 100 for dx in range(-30, 31, 10))

    def drag(self, start, end, via=None, rest=False):
        """A real system drag of the icon at `start` to the tile at `end`. The
        launcher times a drop from the moment it takes the pointer's entry, and
        a busy one can take a pointer's steps much later than they were made.
        So the pointer first goes to the tile `via` and waits until the launcher
        has drawn that tile's drop ring: it has caught up. Then it enters the
        target and lets go at once, a quick drop; with `rest`, it rests there,
        from the moment the target's ring shows, for longer than the half
        second that makes a folder. Held by the icon's middle, the dragged
        picture hangs below the pointer, so the pointer stays 40 points low
        to leave the rings' top edges in sight."""
        waypoint, target = [(x, y + 40) for x, y in (via or end, end)]
        steps = [(a + (b - a) * i // 10 for a, b in zip(start, waypoint)) for i in range(1, 11)]
        self.xdo("mousemove", "--sync", *start, "mousedown", 1, *[a for s in steps for a in ("mousemove", *s)])
        if via:
            self.wait("the drag to reach a tile on the way", lambda: self.ring_over(via), "on-the-way")
        if rest:
            self.xdo("mousemove", "--sync", *target).wait("the drag to rest", lambda: self.ring_over(end), "resting")
            time.sleep(0.9)
        self.xdo("mousemove", target[0] + 1, target[1] + 1, "mouseup", 1)


def main(name, apps, *steps):
    """Runs the steps of a flow, in order, on a fresh launcher; a failed check ends it with its traceback."""
    launcher = Launcher(name, apps)
    try:
        for step in steps:
            step(launcher)
    except Exception:
        # The screenshots stay on the machine that ran the flow; what the launcher stored travels with the log.
        conf = launcher.path("config_home", "Quorlin", "Quorlin.conf")
        print("stored settings:", open(conf).read() if os.path.exists(conf) else "none", flush=True)
        raise
    finally:
        for process in filter(None, (launcher.process, getattr(launcher, "weston", None), launcher.xvfb)):
            process.kill()
        shutil.rmtree(launcher.home, ignore_errors=True)
