#!/usr/bin/python3
"""Quorlin beside rofi, measured from outside as a new user meets them.

Both programs run as real binaries on an X server of their own (Xvfb,
1920 x 1080, no window manager, no GPU), each start with fresh XDG folders,
over the same generated catalogue: N desktop entries with distinct names and
distinct 128 px PNG icons in an hicolor theme. rofi shows them full screen in
seven columns of 128 px icons. Starts alternate between the two programs, and
a bare Qt Quick window (bench/quick_floor.cpp) starts in turn with them: what
any launcher built on Qt Quick pays before it does anything of its own.

"settled" is the last repaint before the screen stays unchanged for 300 ms, so
every icon that shows has been drawn (a quiet screen counts only once it shows
at least 20 of the catalogue's icons: a launcher may wait, quiet, with a
"loading" line); "key" is a typed letter to the next repaint, and "results"
to the first repaint in the screen's lower half, where both programs list what
matches (the same repaint when a program draws the letter and its results
together). Repaints are seen by reading the X server's framebuffer, which Xvfb
keeps in a memory-mapped file (-fbdir), every POLL seconds: a time is the
start of the first poll that saw the change, so it is late by up to one poll
interval (more while the previous poll was busy classifying a change). Changes
no wider than a text cursor are its blinking and are not counted as repaints.

Usage: side_by_side.py BUILD_FOLDER [--sizes 200,1000,5000] [--runs 3] [--bin DIR] [--keep]
"""

import argparse
import mmap
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from PIL import Image, ImageChops, ImageDraw
from Xlib import X, XK
from Xlib import display as xdisplay
from Xlib.ext import xtest

SCREEN = (1920, 1080)
POLL = 0.010
QUIET = 0.3
CAP = 20.0
IDLE_SECONDS = 5.0
# Idle is measured this long after the typed letter's results have settled:
# what a start leaves for a moment later (Quorlin's checking scan and cache
# write) is work, not idleness, and would otherwise land in the window.
IDLE_AFTER = 2.0
TOGGLES = 10
# Bumped whenever the generated catalogue changes, so old ones are made again.
CATALOGUE_FORMAT = "1"

ROFI_THEME = ("window { fullscreen: true; } "
              "listview { columns: 7; lines: 5; flow: horizontal; fixed-columns: true; } "
              "element { orientation: vertical; } element-icon { size: 128px; } "
              "element-text { horizontal-align: 0.5; }")

SYLLABLES = ["ka", "lo", "mi", "ne", "ru", "sa", "ti", "vo", "ze", "pa", "gu", "fi", "do", "be",
             "ha", "jo", "wy", "xe", "qui", "ly", "mo", "na", "so", "ri", "ca", "del", "bon", "tar"]
# The command of every entry. rofi also matches typed text against it, so the
# letter typed for "key" must not be one of its letters.
EXEC = "true"

INDEX_THEME = """[Icon Theme]
Name=Hicolor
Comment=Fallback icon theme
Hidden=true
Directories=128x128/apps

[128x128/apps]
Size=128
Context=Applications
Type=Threshold
"""


# ---------------------------------------------------------------- catalogue

def entry_names(count):
    """`count` distinct two-word names, the same ones on every run (and the
    first ones of a bigger catalogue are those of a smaller one)."""
    rng, names, seen = random.Random(7), [], set()
    while len(names) < count:
        words = ["".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 3))) for _ in range(2)]
        name = " ".join(word.capitalize() for word in words)
        if name not in seen:
            seen.add(name)
            names.append(name)
    return names


def search_letter(names):
    """A letter found in about a quarter of the names: typing it leaves some
    icons and removes others, in both programs. Not one of the name first in
    alphabetical order, so that the first page changes from its first icon."""
    first = min(names, key=str.lower).lower()
    letters = [c for c in "bcdfghjklmnpqsvwxyz" if c not in EXEC and c not in first]
    share = {c: sum(c in name.lower() for name in names) / len(names) for c in letters}
    return min(letters, key=lambda c: (abs(share[c] - 0.25), c))


def icon_colour(index):
    """The colour of icon `index`: 20 levels a channel, so 8,000 of them."""
    return tuple(60 + 9 * ((index // 20 ** k) % 20) for k in range(3))


def icon(index):
    """A flat rounded square of a colour of its own with a lighter disc placed
    by the index: distinct, and quick to write."""
    levels = icon_colour(index)
    image = Image.new("RGBA", (128, 128), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((6, 6, 121, 121), radius=24, fill=tuple(levels) + (255,))
    x, y = 24 + (index * 7) % 48, 24 + (index * 13) % 48
    draw.ellipse((x, y, x + 32, y + 32), fill=tuple(min(255, v + 80) for v in levels) + (255,))
    return image


def catalogue(root, count):
    """The catalogue of `count` entries under root/<count>/share, made once:
    a stamp file marks a complete one, which later runs reuse."""
    folder = os.path.join(root, str(count))
    stamp = os.path.join(folder, "complete")
    if not (os.path.exists(stamp) and open(stamp).read() == CATALOGUE_FORMAT):
        started = time.monotonic()
        shutil.rmtree(folder, ignore_errors=True)
        partial = folder + ".partial"
        shutil.rmtree(partial, ignore_errors=True)
        applications = os.path.join(partial, "share", "applications")
        theme = os.path.join(partial, "share", "icons", "hicolor")
        icons = os.path.join(theme, "128x128", "apps")
        os.makedirs(applications)
        os.makedirs(icons)
        with open(os.path.join(theme, "index.theme"), "w") as index:
            index.write(INDEX_THEME)
        for i, name in enumerate(entry_names(count)):
            ident = "bench-app-%05d" % i
            with open(os.path.join(applications, "org.example.%s.desktop" % ident), "w") as entry:
                entry.write("[Desktop Entry]\nType=Application\nName=%s\nIcon=%s\nExec=%s\n" % (name, ident, EXEC))
            icon(i).save(os.path.join(icons, ident + ".png"), compress_level=1)
        with open(os.path.join(partial, "complete"), "w") as done:
            done.write(CATALOGUE_FORMAT)
        os.rename(partial, folder)
        print("   (catalogue of %d entries made in %.1f s)" % (count, time.monotonic() - started), flush=True)
    return os.path.join(folder, "share"), search_letter(entry_names(count))


# ---------------------------------------------------------------- screen

class Screen:
    """An Xvfb server whose framebuffer is read straight from its file."""

    def __init__(self, scratch):
        self.fbdir = fbdir = tempfile.mkdtemp(prefix="fb-", dir=scratch)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                      "%dx%dx24" % SCREEN, "-nolisten", "tcp", "-fbdir", fbdir],
                                     pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Read up to the newline: the server ends if it cannot write all of it.
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            assert chunk, "Xvfb did not start"
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        self.file = open(os.path.join(fbdir, "Xvfb_screen0"), "rb")
        self.map = mmap.mmap(self.file.fileno(), 0, access=mmap.ACCESS_READ)
        # An XWD file: big-endian header, colour map, then the pixels.
        fields = struct.unpack(">25I", self.map[:100])
        header, bits, self.stride, colours = fields[0], fields[11], fields[12], fields[19]
        assert bits == 32, "expected 32-bit pixels, got %d" % bits
        start = header + 12 * colours
        self.pixels = memoryview(self.map)[start:start + self.stride * SCREEN[1]]
        self.x = xdisplay.Display(self.name)
        # The pointer waits in a corner, away from anything that reacts to hovering.
        xtest.fake_input(self.x, X.MotionNotify, x=SCREEN[0] - 1, y=SCREEN[1] - 1)
        self.x.sync()

    def checksum(self):
        return zlib.crc32(self.pixels)

    def frame(self):
        return bytes(self.pixels)

    def changed_box(self, old, new):
        """The box (left, top, right, bottom) where two frames differ, or None."""
        rows = [y for y in range(SCREEN[1])
                if old[y * self.stride:(y + 1) * self.stride] != new[y * self.stride:(y + 1) * self.stride]]
        if not rows:
            return None
        top, bottom = rows[0], rows[-1] + 1
        if bottom - top > 64:
            return (0, top, SCREEN[0], bottom)
        strip = [Image.frombuffer("RGB", (SCREEN[0], bottom - top), frame[top * self.stride:bottom * self.stride],
                                  "raw", "BGRX", self.stride, 1) for frame in (old, new)]
        box = ImageChops.difference(*strip).getbbox()
        return box and (box[0], top + box[1], box[2], top + box[3])

    def icons_shown(self, frame, colours):
        """How many of the icon `colours` show in `frame` (sampled every 4
        pixels, which finds every icon's flat face at 64 px and up)."""
        rows = b"".join(frame[y * self.stride:(y + 1) * self.stride] for y in range(0, SCREEN[1], 4))
        image = Image.frombuffer("RGB", (SCREEN[0], SCREEN[1] // 4), rows, "raw", "BGRX", self.stride, 1)
        sampled = image.resize((SCREEN[0] // 4, SCREEN[1] // 4), Image.NEAREST)
        return sum(colour in colours for _, colour in sampled.getcolors(SCREEN[0] * SCREEN[1] // 16))

    def watch(self, since, frame, cap=CAP, ready=None, below=None):
        """Polls until the screen has stayed unchanged for QUIET seconds after
        a repaint (or `cap` seconds pass); with `ready`, a quiet screen counts
        only once ready(frame) holds: a screen that waits, quiet, for the
        catalogue to load is not settled. Returns the times of the first and
        the last repaint, from `since`, None for none, the last frame, and the
        time of the first repaint that reaches below row `below`."""
        first = last = deep = unready = None
        crc = zlib.crc32(frame)
        deadline = since + cap
        while True:
            now = time.monotonic()
            seen = self.checksum()
            if seen != crc:
                new = self.frame()
                crc = zlib.crc32(new)
                box = self.changed_box(frame, new)
                # A text cursor blinking: a thin upright bar.
                if box and not (box[2] - box[0] <= 4 and box[3] - box[1] <= 64):
                    last = now
                    first = first or now
                    if below is not None and box[3] > below:
                        deep = deep or now
                frame = new
            # A frame found not ready is not looked at again: that takes longer than a poll.
            if last and now - last >= QUIET and crc != unready:
                if ready is None or ready(frame):
                    break
                unready = crc
            if now >= deadline:
                if ready is not None:
                    last = None  # never settled: no time rather than a wrong one
                break
            time.sleep(max(0.0, POLL - (time.monotonic() - now)))
        return first and first - since, last and last - since, frame, deep and deep - since

    def type_letter(self, letter):
        code = self.x.keysym_to_keycode(XK.string_to_keysym(letter))
        xtest.fake_input(self.x, X.KeyPress, code)
        xtest.fake_input(self.x, X.KeyRelease, code)
        self.x.sync()

    def close(self):
        self.x.close()
        self.pixels.release()
        self.map.close()
        self.file.close()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.fbdir, ignore_errors=True)


# ---------------------------------------------------------------- one start

def peak_rss_mib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return None


def thread_cpu(pid):
    """Nanoseconds on a CPU so far, per live thread of `pid`. The scheduler's
    own count, where /proc/PID/stat counts whole clock ticks: a program idling
    with a blinking cursor runs for about a millisecond a few times a second,
    which ticks either miss or charge several times over."""
    times = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, tid)) as stat:
                times[tid] = int(stat.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # the thread ended meanwhile
    return times


def cpu_between(before, after):
    """Seconds of CPU between two thread_cpu() readings; a thread started
    since counts whole, one ended since is lost with what it did."""
    return sum(ns - before.get(tid, 0) for tid, ns in after.items() if ns >= before.get(tid, 0)) / 1e9


class Start:
    """One start of one program on a screen of its own, with XDG folders
    under `home` (made fresh unless they are already there)."""

    def __init__(self, scratch, home, command, extra_env, letter, colours):
        self.scratch, self.letter = scratch, letter
        self.screen = Screen(scratch)
        for folder in ("config", "cache", "data"):
            os.makedirs(os.path.join(home, folder), mode=0o700, exist_ok=True)
        # A folder of its own for every start: only the launcher's socket lives there.
        runtime = tempfile.mkdtemp(prefix="runtime-", dir=scratch)
        self.env = dict(extra_env, PATH=os.environ["PATH"], HOME=home, DISPLAY=self.screen.name, LANG="C.UTF-8",
                        XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_CACHE_HOME=os.path.join(home, "cache"),
                        XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=runtime,
                        DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(scratch, "no-bus"))
        self.log = open(os.path.join(scratch, "log.txt"), "ab")
        blank = self.screen.frame()
        started = time.monotonic()
        self.process = subprocess.Popen(command, env=self.env, stdout=self.log, stderr=self.log)
        # Settled is checked once a first page of icons shows (but not that it
        # is complete: the quiet time is for that).
        shown = min(20, len(colours))
        ready = lambda frame: self.screen.icons_shown(frame, colours) >= shown
        _, self.settled, self.frame, _ = self.screen.watch(started, blank, ready=ready)

    def key(self):
        """Types the letter; the times to the first repaint and to the results."""
        pressed = time.monotonic()
        self.screen.type_letter(self.letter)
        first, _, self.frame, results = self.screen.watch(pressed, self.frame, below=SCREEN[1] // 2)
        return first, results

    def idle_cpu(self):
        """Per cent of one core used over IDLE_SECONDS with nothing happening."""
        time.sleep(IDLE_AFTER)
        before, clock = thread_cpu(self.process.pid), time.monotonic()
        time.sleep(IDLE_SECONDS)
        return 100 * cpu_between(before, thread_cpu(self.process.pid)) / (time.monotonic() - clock)

    def toggle_client(self, command):
        """Median wall times of `command` (the toggle client) against this
        launcher and, to show what starting any program costs here, of true(1)."""
        baseline = []
        for _ in range(TOGGLES):
            clock = time.monotonic()
            subprocess.run(["true"], env=self.env, check=True)
            baseline.append(time.monotonic() - clock)
        times = []
        for _ in range(TOGGLES):
            clock = time.monotonic()
            subprocess.run(command, env=self.env, stdout=self.log, stderr=self.log, check=True, timeout=30)
            times.append(time.monotonic() - clock)
            # Let the launcher hide or show before the next press.
            _, _, self.frame, _ = self.screen.watch(time.monotonic(), self.frame, cap=2.0)
        return statistics.median(times), statistics.median(baseline)

    def peak_rss(self):
        return peak_rss_mib(self.process.pid)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        self.screen.close()


# ---------------------------------------------------------------- the series

class Series:
    """The starts of both programs over one catalogue, and what they measured."""

    KEYS = ("rofi settled", "Quorlin settled", "Quorlin warm", "rofi key", "Quorlin key", "rofi RSS", "Quorlin RSS",
            "rofi results", "Quorlin results", "floor settled", "floor key", "floor RSS")

    def __init__(self, setup, count):
        self.setup, self.count = setup, count
        self.share, self.letter = catalogue(os.path.join(setup.build, "bench-catalogue"), count)
        self.colours = {icon_colour(i) for i in range(count)}
        self.found = {key: [] for key in self.KEYS}
        self.extras = []
        print("   N = %d, typing '%s'" % (count, self.letter), flush=True)

    def start(self, name, home, command, env):
        setup = self.setup
        run = Start(setup.scratch, home, command, dict(env, XDG_DATA_DIRS=self.share + ":" + setup.system),
                    self.letter, self.colours)
        if setup.keep:
            Image.frombuffer("RGB", SCREEN, run.frame, "raw", "BGRX", run.screen.stride, 1).save(
                os.path.join(setup.scratch, "%s-%d-%d.png" % (name, self.count, time.monotonic_ns())))
        return run

    def measure(self, name, command, env, home, last):
        """One cold start: settled, key, peak memory; on the last round also
        the idle CPU (after the letter, so a search field's cursor blinks)."""
        run = self.start(name, home, command, env)
        try:
            self.found[name + " settled"].append(run.settled)
            key, results = run.key()
            self.found[name + " key"].append(key)
            if name + " results" in self.found:
                self.found[name + " results"].append(results)
            self.found[name + " RSS"].append(run.peak_rss())
            if last:
                self.extras.append(("%s shown and idle" % name, "%.1f %% of a core" % run.idle_cpu()))
            if last and name == "Quorlin" and self.setup.toggle_at == self.count:
                toggle, baseline = run.toggle_client([self.setup.quorlin, "--toggle"])
                self.extras.append(("quorlin --toggle client", "%.1f ms (median of %d; true(1) started the same "
                                    "way: %.1f ms)" % (1000 * toggle, TOGGLES, 1000 * baseline)))
        finally:
            run.stop()

    def run(self, runs):
        setup = self.setup
        for attempt in range(runs):
            last = attempt == runs - 1
            # Turn about: no program always starts right after the same other.
            names = ("rofi", "Quorlin", "floor")[:3 if setup.floor else 2]
            for name in names if attempt % 2 == 0 else reversed(names):
                home = tempfile.mkdtemp(prefix="home-", dir=setup.scratch)
                if name == "rofi":
                    self.measure(name, setup.rofi, {}, home, last)
                elif name == "floor":
                    self.measure(name, setup.floor, SOFTWARE, home, False)
                else:
                    self.measure(name, setup.quorlin_command, SOFTWARE, home, last)
                    # The same user again: what the first start left in the XDG folders is there.
                    run = self.start("Quorlin-warm", home, setup.quorlin_command, SOFTWARE)
                    self.found["Quorlin warm"].append(run.settled)
                    run.stop()
                shutil.rmtree(home, ignore_errors=True)

    def median(self, key):
        values = [v for v in self.found[key] if v is not None]
        return statistics.median(values) if values else None


SOFTWARE = {"QT_QUICK_BACKEND": "software"}


def ms(value):
    return "-" if value is None else "%.0f ms" % (1000 * value)


def mib(value):
    return "-" if value is None else "%.0f MiB" % value


def report(setup, series, runs, load, seconds):
    print()
    print("Quorlin beside rofi %s (rofi -show drun -show-icons, full screen, 7 columns, 128 px icons)"
          % rofi_version())
    print("Xvfb 1920x1080x24, no window manager, no GPU; medians of %d cold starts each, interleaved;" % runs)
    print("load average %.1f at the start, %.1f at the end, %d cores" % (load, os.getloadavg()[0], os.cpu_count()))
    header = ("N apps", "rofi settled", "Quorlin settled (sw)", "rofi key", "Quorlin key", "rofi RSS", "Quorlin RSS")
    widths = [max(len(h), 9) for h in header]
    print("  ".join(h.rjust(w) for h, w in zip(header, widths)))
    for one in series:
        cells = ("{:,}".format(one.count), ms(one.median("rofi settled")), ms(one.median("Quorlin settled")),
                 ms(one.median("rofi key")), ms(one.median("Quorlin key")),
                 mib(one.median("rofi RSS")), mib(one.median("Quorlin RSS")))
        print("  ".join(c.rjust(w) for c, w in zip(cells, widths)))
    print()
    if setup.floor:
        print("A bare Qt Quick window started the same way (bench/quick_floor.cpp: 35 flat tiles with names,")
        print("a text field, the software renderer; no catalogue, no pictures):")
        for one in series:
            print("  N = {:>5,}: settled {:>8}, key {:>8}, RSS {:>8}".format(
                one.count, ms(one.median("floor settled")), ms(one.median("floor key")),
                mib(one.median("floor RSS"))))
    print("A typed letter to its results (the first repaint in the screen's lower half):")
    for one in series:
        print("  N = {:>5,}: rofi {:>8}, Quorlin {:>8}".format(one.count, ms(one.median("rofi results")),
                                                             ms(one.median("Quorlin results"))))
    print("Quorlin settled with an empty cache, and warm (a second start with the same XDG folders):")
    for one in series:
        print("  N = {:>5,}: empty {:>8}, warm {:>8}".format(one.count, ms(one.median("Quorlin settled")),
                                                             ms(one.median("Quorlin warm"))))
    for one in series:
        for label, value in one.extras:
            print("  %s, N = %d: %s" % (label, one.count, value))
    print("Each start (ms, in the order run; '-' did not settle within %.0f s):" % CAP)
    for one in series:
        print("  N = {:>5,}: ".format(one.count) + "; ".join(
            "%s %s" % (key, "/".join("-" if v is None else "%.0f" % (1000 * v) for v in one.found[key]))
            for key in Series.KEYS if "RSS" not in key))
    print("  (polled every %d ms: times are late by up to one poll; side-by-side took %.0f s)"
          % (1000 * POLL, seconds))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build")
    parser.add_argument("--sizes", default="200,1000,5000")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--bin", help="folder of quorlin and quorlin-launcher (default: BUILD/bin)")
    parser.add_argument("--keep", action="store_true", help="keep the settled screens and the programs' output")
    args = parser.parse_args()
    setup = argparse.Namespace(build=os.path.abspath(args.build), keep=args.keep,
                               scratch=tempfile.mkdtemp(prefix="quorlin-side-by-side-"))
    sizes = [int(size) for size in args.sizes.split(",")]
    setup.toggle_at = sizes[len(sizes) // 2]
    # The programs are copied first: a build in the same folder while the
    # series runs would otherwise swap them, or take them away, between starts.
    binaries = os.path.join(setup.scratch, "bin")
    os.makedirs(binaries)
    for program in ("quorlin", "quorlin-launcher"):
        shutil.copy2(os.path.join(args.bin or os.path.join(setup.build, "bin"), program), binaries)
    setup.quorlin = os.path.join(binaries, "quorlin")
    floor = os.path.join(setup.build, "bench", "quick_floor")
    setup.floor = None
    if os.access(floor, os.X_OK):
        shutil.copy2(floor, binaries)
        setup.floor = [os.path.join(binaries, "quick_floor")]
    empty_root = os.path.join(setup.scratch, "no-bundles")
    os.makedirs(empty_root)
    setup.quorlin_command = [setup.quorlin, "--root", empty_root]
    setup.rofi = ["rofi", "-show", "drun", "-show-icons", "-theme-str", ROFI_THEME]
    # The system's MIME database, which image loaders (GLib's among them) need
    # to tell a PNG file, without the system's own desktop entries.
    setup.system = os.path.join(setup.scratch, "system")
    os.makedirs(setup.system)
    os.symlink("/usr/share/mime", os.path.join(setup.system, "mime"))

    clock, load = time.monotonic(), os.getloadavg()[0]
    series = []
    try:
        for count in sizes:
            one = Series(setup, count)
            # No program's first start over a catalogue is timed: it would read
            # its libraries, or that catalogue's entries and icons, from disk
            # for the programs after it, and fresh XDG folders do not undo that.
            for command, env in ((setup.rofi, {}), (setup.quorlin_command, SOFTWARE),
                                 (setup.floor, SOFTWARE)):
                if command is None:
                    continue
                one.start("warm-up", tempfile.mkdtemp(prefix="home-", dir=setup.scratch), command, env).stop()
            one.run(args.runs)
            series.append(one)
    finally:
        if not args.keep:
            shutil.rmtree(setup.scratch, ignore_errors=True)
    report(setup, series, args.runs, load, time.monotonic() - clock)


def rofi_version():
    try:
        return subprocess.run(["rofi", "-version"], capture_output=True, text=True).stdout.split()[-1]
    except (OSError, IndexError):
        return ""


if __name__ == "__main__":
    sys.exit(main())
