"""Under a Wayland compositor, Weston nested in the X server: the launcher
covers the whole output, the compositor's panel included, with no X display to
fall back on; the toggle command hides and shows it, typing narrows the grid
and Return launches."""

import subprocess

from harness import SCREEN, main

ALPHA, MAIL = "org.test.alpha", "org.test.mail"
APPS = [(ALPHA, "Alpha", (230, 40, 40)), (MAIL, "Mail", (40, 200, 60))]
# The launcher's own gradient, in the output's opposite corners; clear of the
# top-left corner itself, where Weston may draw its pointer.
CORNERS = {(40, 4): (26, 38, 64), (SCREEN[0] - 3, SCREEN[1] - 3): (38, 26, 76)}


def covers(launcher):
    image = launcher.shot()
    return all(abs(a - b) <= 8 for point, colour in CORNERS.items() for a, b in zip(image.getpixel(point), colour))


def on_wayland(launcher):
    launcher.start_weston()
    launcher.process = subprocess.Popen([launcher.binary, "--root", launcher.path("root")], env=launcher.wayland_env)
    launcher.shows("wayland-start", ALPHA, MAIL)
    launcher.wait("the output covered", lambda: covers(launcher), "wayland-covers")
    for shown in (False, True):
        assert subprocess.run([launcher.binary, "--toggle"], env=launcher.wayland_env, timeout=60).returncode == 0
        launcher.wait("--toggle to " + ("show" if shown else "hide"), lambda: covers(launcher) == shown)
    # Nested Weston takes xdotool's pointer only now and then (its pointer stays
    # where it started), while keys always reach it: Return launches here, and
    # clicks are tried under X11.
    launcher.xdo("key", "m").shows("wayland-typed", MAIL)
    launcher.xdo("key", "Return").wait("Mail to start", lambda: launcher.launched() == [MAIL])
    launcher.wait("the launcher to hide after launching", lambda: not covers(launcher))


if __name__ == "__main__":
    main("wayland", APPS, on_wayland)
