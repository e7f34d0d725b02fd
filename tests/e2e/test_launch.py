"""A user's first minutes: the launcher takes its place on the desktop; F4,
Escape, the toggle command and a second start show and hide it; typing narrows
the grid and a click launches. Screenshot mode draws it without any display."""

import os
import subprocess
import time

from harness import SCREEN, main
from PIL import Image

ALPHA, GONE, MAIL, ZEBRA, ZETA = ("org.test." + name for name in ("alpha", "gone", "mail", "zebra", "zeta"))
APPS = [(ALPHA, "Alpha", (230, 40, 40)), (GONE, "Gone", (150, 60, 200), "#!/bin/sh\n"), (MAIL, "Mail", (40, 200, 60)),
        (ZEBRA, "Zebra", (240, 200, 20)), (ZETA, "Zeta Notes", (40, 90, 230))]
# Where a failed launch is told: under the search field, below the panel's strip.
PICTURE, TOP_BAR, MESSAGE = (250, 140, 20), 25, (700, 88, 1140, 112)


def frame_is(launcher, top):
    frame = launcher.run("xdotool", "getwindowgeometry", "--shell", launcher.window).stdout.split()[1:5]
    return frame == ["X=0", "Y=%d" % top, "WIDTH=%d" % SCREEN[0], "HEIGHT=%d" % (SCREEN[1] - top)]


def show_and_hide(launcher):
    launcher.start()
    # The whole screen while the desktop reports no panel; then a top panel's strip
    # is left free, as soon as the desktop says so (the launcher made the atom).
    launcher.wait("the whole screen", lambda: frame_is(launcher, 0))
    launcher.run("xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
                 "0, %d, %d, %d" % (TOP_BAR, SCREEN[0], SCREEN[1] - TOP_BAR))
    launcher.wait("the panel's strip left free", lambda: frame_is(launcher, TOP_BAR))
    # Above other windows, out of the taskbar and the pager, on every desktop.
    hints = launcher.run("xprop", "-id", launcher.window, "_NET_WM_STATE", "_NET_WM_DESKTOP").stdout
    for hint in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "= 4294967295"):
        assert hint in hints, hints
    launcher.shows("start", ALPHA, GONE, MAIL, ZEBRA, ZETA)
    # Its pictures are PNG and SVG: no other format's reader came with them.
    plugins = {line.rsplit("/", 1)[-1].strip() for line in open("/proc/%d/maps" % launcher.process.pid)
               if "/imageformats/" in line}
    assert plugins <= {"libqsvg.so"}, plugins
    # Another application's window, to hold the keyboard; it goes with the X server.
    subprocess.Popen(["xmessage", "-name", "other", "another application"], env=launcher.env, stderr=subprocess.DEVNULL)
    other = launcher.run("xdotool", "search", "--sync", "--onlyvisible", "--classname", "other").stdout.split()
    f4, escape, focus_other = ["key", "F4"], ["key", "Escape"], ["windowfocus", "--sync", *other]
    toggle, second_start = ["--toggle"], ["--root", launcher.path("root")]
    # What the user does, and whether the launcher is then in front, hidden, or (None) not looked at.
    for action, shown in ((escape, False), (focus_other, None), (f4, True), (f4, False), (f4, True),
                          (focus_other, None), (f4, True), (toggle, False), (toggle, True), (escape, False),
                          (second_start, True), (second_start, True)):
        if action[0].startswith("-"):
            assert launcher.run(launcher.binary, *action).returncode == 0, action
        else:
            launcher.xdo(*action)
        if shown is not None:
            launcher.wait(" ".join(action) + (" to show" if shown else " to hide"), lambda: (
                launcher.viewable() and launcher.focused()) if shown else not launcher.viewable())
    # The second starts ended and left the first launcher and its one window.
    assert launcher.run("xdotool", "search", "--onlyvisible", "--name", "^Quorlin$").stdout.split() == [launcher.window]


def search_and_launch(launcher):
    # A program removed since the scan: the launcher stays and says so until the word fades.
    os.remove(launcher.path(GONE))
    launcher.click(launcher.shows("all", ALPHA, GONE, MAIL, ZEBRA, ZETA)[GONE])
    told = lambda: launcher.patch((255, 255, 255), MESSAGE, tolerance=30)[1] > 30
    launcher.wait("the failure told", told, "launch-failed")
    launcher.wait("the word to fade with the launcher still shown", lambda: not told() and launcher.viewable())
    # The search field has the keyboard without a click.
    for keys, shown in (("z e", [ZEBRA, ZETA]), ("T", [ZETA]), ("q", []), ("BackSpace", [ZETA])):
        launcher.xdo("key", "--delay", "80", *keys.split()).shows("typed-" + keys.replace(" ", ""), *shown)
    # Return in the search field launches the first result.
    clicked = time.monotonic()
    launcher.xdo("key", "Return")
    launcher.wait("the launcher to hide after launching", lambda: not launcher.viewable())
    assert time.monotonic() - clicked >= 0.2, "hidden before the launch had its moment"
    launcher.wait("Zeta Notes to start", lambda: launcher.launched() == [ZETA])
    launcher.xdo("key", "F4").shows("search-kept", ZETA)
    # From the keyboard: the arrows bring a ring over the tiles, Return launches the one under it.
    launcher.xdo("key", "BackSpace", "BackSpace", "BackSpace", "Down", "Right", "Right", "Return")
    launcher.wait("Mail to start from the keyboard, the launcher gone",
                  lambda: launcher.launched() == [MAIL, ZETA] and not launcher.viewable())
    # Control and an arrow move the ring's application, stored as a drop stores it; the ring goes along.
    launcher.xdo("key", "F4").shows("shown-again", ALPHA, GONE, MAIL, ZEBRA, ZETA)
    launcher.xdo("key", "Down", "ctrl+Right", "ctrl+Right").wait("Alpha moved twice", lambda: launcher.setting(
        "customAppOrder") == [GONE, MAIL, ALPHA, ZEBRA, ZETA])


def screenshot_mode(launcher):
    picture = launcher.path("Orange Dunes.png")
    Image.new("RGB", (800, 600), PICTURE).save(picture)
    # Plasma keeps the desktop picture in a plain file, so no settings schema is needed.
    with open(launcher.path("config_home", "plasma-org.kde.plasma.desktop-appletsrc"), "w") as rc:
        rc.write("[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://%s\n" % picture)
    env = dict(launcher.env, XDG_CURRENT_DESKTOP="KDE")
    del env["DISPLAY"], env["QT_QPA_PLATFORM"]
    dimmed = [round(0.7 * c) for c in PICTURE]
    # The picture, blurred under a 0.3 black veil, fills the whole screen (no panels
    # off screen); an unreadable one leaves the gradient.
    for label, report, samples in (
            ("picture", "Desktop image loaded successfully: Orange Dunes.png, size: (800.0, 600.0)",
             {(400, 900): dimmed, (SCREEN[0] // 2, 5): dimmed, (SCREEN[0] // 2, SCREEN[1] - 40): dimmed}),
            ("gradient", "Error loading image data: ", {(2, 2): (26, 38, 64), (1917, 1077): (38, 26, 76)})):
        if label == "gradient":
            os.remove(picture)
        shot = os.path.join(launcher.artifacts, "launch-screenshot-%s.png" % label)
        done = subprocess.run([launcher.binary, "--root", launcher.path("root"), "--screenshot", shot], env=env,
                              capture_output=True, text=True, timeout=120)
        assert done.returncode == 0 and any(line.startswith(report) for line in done.stdout.splitlines()), done
        image = Image.open(shot).convert("RGB")
        assert image.size == SCREEN
        assert len(launcher.tiles(image)) == 4
        for point, colour in samples.items():
            assert all(abs(a - b) <= 8 for a, b in zip(image.getpixel(point), colour)), (label, point)


if __name__ == "__main__":
    main("launch", APPS, show_and_hide, search_and_launch, screenshot_mode)
