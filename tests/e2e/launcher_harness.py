"""Drives the real quorlin binary on a private X server for end-to-end tests.

Each test gets its own Xvfb display, its own XDG folders (settings, data, trash,
desktop picture) and a catalogue of desktop entries whose command leaves a
marker file, so launching can be seen from outside. Tiles are found on screen
by the unique colour of their icon.
"""

import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SCREEN = (1920, 1080)
TOP_BAR = 25


def skip_without_xvfb():
    """Exits with a SKIP line when no X server for tests is installed."""
    missing = [tool for tool in ("Xvfb", "xdotool", "xwininfo", "xprop", "import", "convert")
               if shutil.which(tool) is None]
    if "Xvfb" in missing:
        print("SKIP: Xvfb is not installed")
        sys.exit(0)
    if missing:
        raise SystemExit("missing test tools: " + ", ".join(missing))


def write_png(path, size, colour):
    """A solid RGB picture, written without any imaging library."""
    width, height = size
    row = b"\x00" + bytes(colour) * width
    raw = row * height

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


class Picture:
    """A screenshot as rows of RGB triples."""

    def __init__(self, png_path):
        ppm = subprocess.run(["convert", png_path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not ppm[pos:pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm[pos + 1:]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def find(self, colour, tolerance=6, step=2, region=None):
        """Bounding box (x0, y0, x1, y1) of pixels close to `colour`, or None."""
        x0, y0, x1, y1 = region or (0, 0, self.width, self.height)
        found = None
        for y in range(y0, y1, step):
            base = 3 * y * self.width
            for x in range(x0, x1, step):
                i = base + 3 * x
                r, g, b = self.data[i], self.data[i + 1], self.data[i + 2]
                if abs(r - colour[0]) <= tolerance and abs(g - colour[1]) <= tolerance \
                        and abs(b - colour[2]) <= tolerance:
                    if found is None:
                        found = [x, y, x, y]
                    else:
                        found = [min(found[0], x), min(found[1], y), max(found[2], x), max(found[3], y)]
        return tuple(found) if found else None


class App:
    """One fixture application: a desktop entry with a marker-leaving command."""

    def __init__(self, ident, name, colour):
        self.ident = ident
        self.name = name
        self.colour = colour


class Launcher:
    """A private X server, a fixture catalogue and the launcher running on them."""

    def __init__(self, apps, name):
        self.name = name
        self.apps = {app.ident: app for app in apps}
        self.binary = os.environ["QUORLIN_BINARY"]
        self.artifacts = os.environ.get("QUORLIN_ARTIFACTS") or tempfile.mkdtemp(prefix="quorlin-shots-")
        os.makedirs(self.artifacts, exist_ok=True)
        self.home = tempfile.mkdtemp(prefix="quorlin-e2e-")
        self.markers = os.path.join(self.home, "markers")
        self.data_home = os.path.join(self.home, "data")
        self.config_home = os.path.join(self.home, "config")
        self.entries = os.path.join(self.data_home, "applications")
        self.root = os.path.join(self.home, "root")
        for folder in (self.markers, self.entries, self.config_home, self.root,
                       os.path.join(self.home, "dirs"), os.path.join(self.home, "runtime"),
                       os.path.join(self.home, "cache")):
            os.makedirs(folder, exist_ok=True)
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        icons = os.path.join(self.home, "icons")
        os.makedirs(icons, exist_ok=True)
        for app in apps:
            icon = os.path.join(icons, app.ident + ".png")
            write_png(icon, (128, 128), app.colour)
            with open(self.entry_path(app.ident), "w") as entry:
                entry.write("[Desktop Entry]\nType=Application\nName=%s\nIcon=%s\n"
                            "Exec=touch %s\n" % (app.name, icon, self.marker_path(app.ident)))
        self.xvfb = None
        self.process = None
        self.outputs = []
        self.env = None
        self._start_x()

    # Paths -------------------------------------------------------------

    def entry_path(self, ident):
        return os.path.join(self.entries, ident + ".desktop")

    def marker_path(self, ident):
        return os.path.join(self.markers, "marker-" + ident)

    def trash_path(self, ident):
        return os.path.join(self.data_home, "Trash", "files", ident + ".desktop")

    def settings_text(self):
        path = os.path.join(self.config_home, "Quorlin", "Quorlin.conf")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as settings:
            return settings.read()

    # The X server ------------------------------------------------------

    def _start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            piece = os.read(read_end, 16)
            if not piece:
                break
            number += piece
        os.close(read_end)
        if not number.strip():
            raise SystemExit("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "DISPLAY": self.display,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_DATA_HOME": self.data_home,
            "XDG_DATA_DIRS": os.path.join(self.home, "dirs"),
            "XDG_CONFIG_DIRS": os.path.join(self.home, "dirs"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "GSETTINGS_BACKEND": "keyfile",
            "QT_QPA_PLATFORM": "xcb",
            "QT_QUICK_CONTROLS_STYLE": "Basic",
            "LANG": os.environ.get("LANG", "C.UTF-8"),
            # No session bus: the test must not reach the user's desktop services.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.home, "no-bus"),
        }

    def set_desktop_picture(self, path):
        """Names the desktop picture the way KDE Plasma keeps it, and says Plasma
        is the running desktop (its settings are a plain file, needing no schema)."""
        with open(os.path.join(self.config_home, "plasma-org.kde.plasma.desktop-appletsrc"), "w") as rc:
            rc.write("[Containments][1]\nplugin=org.kde.plasma.folder\n\n"
                     "[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://%s\n" % path)
        self.env["XDG_CURRENT_DESKTOP"] = "KDE"

    def run_tool(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, check=check, capture_output=True,
                              text=True, timeout=30)

    # The launcher ------------------------------------------------------

    def start(self, *extra):
        """Starts the launcher and waits until its window is on screen with the grid."""
        output = open(os.path.join(self.home, "stdout-%d.txt" % len(self.outputs)), "w+")
        self.outputs.append(output)
        self.process = subprocess.Popen([self.binary, "--root", self.root, *extra], env=self.env,
                                        stdout=output, stderr=subprocess.STDOUT)
        self.window = self.wait_for(self.find_window, "the launcher window")
        self.wait_for(self.is_viewable, "the launcher on screen")
        self.wait_for(lambda: "PagedGridView loaded with" in self.output() or
                      self.process.poll() is not None, "the grid")
        time.sleep(0.5)

    def output(self):
        out = self.outputs[-1]
        out.flush()
        out.seek(0)
        return out.read()

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None

    def close(self):
        self.stop()
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait(10)
        for out in self.outputs:
            out.close()
        shutil.rmtree(self.home, ignore_errors=True)

    def launcher_windows(self):
        """Windows titled exactly "Quorlin" (xdotool matches titles ignoring case,
        and the toolkit's hidden leader window is called "quorlin")."""
        result = self.run_tool("xdotool", "search", "--name", "^Quorlin$", check=False)
        return [window for window in result.stdout.split()
                if self.run_tool("xdotool", "getwindowname", window, check=False).stdout.strip()
                == "Quorlin"]

    def find_window(self):
        windows = self.launcher_windows()
        return windows[0] if windows else None

    def window_info(self):
        return self.run_tool("xwininfo", "-id", self.window).stdout

    def is_viewable(self):
        return "Map State: IsViewable" in self.window_info()

    def has_focus(self):
        focused = self.run_tool("xdotool", "getwindowfocus").stdout.strip()
        return focused == self.window

    def geometry(self):
        info = self.window_info()

        def value(label):
            for line in info.splitlines():
                if line.strip().startswith(label):
                    return int(line.split(":")[1].strip())
            return None

        return (value("Absolute upper-left X"), value("Absolute upper-left Y"),
                value("Width"), value("Height"))

    def window_property(self, name):
        return self.run_tool("xprop", "-id", self.window, name).stdout

    @staticmethod
    def wait_for(condition, what, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError("timed out waiting for " + what)

    # Input and pictures -------------------------------------------------

    def key(self, *keys):
        self.run_tool("xdotool", "key", "--delay", "60", *keys)

    def type(self, text):
        self.run_tool("xdotool", "type", "--delay", "80", text)

    def click(self, x, y, button=1):
        self.run_tool("xdotool", "mousemove", "--sync", str(x), str(y))
        time.sleep(0.15)
        self.run_tool("xdotool", "click", str(button))

    def screenshot(self, label):
        path = os.path.join(self.artifacts, "%s-%s.png" % (self.name, label))
        self.run_tool("import", "-window", "root", path)
        return path

    def picture(self, label):
        return Picture(self.screenshot(label))

    def tile_centre(self, picture, ident):
        """Centre of the app's icon on screen, or None when it is not shown."""
        box = picture.find(self.apps[ident].colour, region=(0, TOP_BAR + 60, SCREEN[0], SCREEN[1]))
        if box is None or box[2] - box[0] < 20 or box[3] - box[1] < 20:
            return None
        return ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2)

    def shown_apps(self, label):
        picture = self.picture(label)
        return sorted(ident for ident in self.apps if self.tile_centre(picture, ident))

    def open_other_window(self):
        """Another application's window, holding the keyboard focus."""
        other = subprocess.Popen(["xmessage", "-geometry", "300x100+40+40", "another application"],
                                 env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = self.wait_for(lambda: (self.run_tool("xdotool", "search", "--name", "^xmessage$",
                                                      check=False).stdout.split() or [None])[0],
                               "the other window")
        self.run_tool("xdotool", "windowfocus", "--sync", window)
        return other, window


def run(test):
    """Runs `test` and reports like the other end-to-end tests."""
    skip_without_xvfb()
    try:
        test()
    except AssertionError as failure:
        print("FAIL:", failure)
        sys.exit(1)
    print("PASS")
