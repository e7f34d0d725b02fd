"""Screenshot mode renders the launcher as it would appear, without a display,
and the desktop picture shows blurred and dimmed behind it."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from launcher_harness import SCREEN, TOP_BAR, App, Launcher, Picture, run, write_png  # noqa: E402

PICTURE_COLOUR = (250, 140, 20)


def dimmed(colour):
    return tuple(round(c * 0.7) for c in colour)


def close(a, b, tolerance=8):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def test():
    apps = [App("org.test.alpha", "Alpha", (230, 40, 40)),
            App("org.test.bravo", "Bravo", (40, 200, 60))]
    launcher = Launcher(apps, "screenshot")
    try:
        picture_path = os.path.join(launcher.home, "Orange Dunes.png")
        write_png(picture_path, (800, 600), PICTURE_COLOUR)
        launcher.set_desktop_picture(picture_path)

        # Without any display: the off-screen platform, at a full-HD screen.
        env = dict(launcher.env)
        del env["DISPLAY"]
        del env["QT_QPA_PLATFORM"]
        shot = os.path.join(launcher.artifacts, "screenshot-headless.png")
        result = subprocess.run([launcher.binary, "--root", launcher.root, "--screenshot", shot],
                                env=env, capture_output=True, text=True, timeout=120)
        assert result.returncode == 0, result.stderr
        assert "Desktop image loaded successfully: Orange Dunes.png, size: (800.0, 600.0)" in \
            result.stdout.splitlines(), result.stdout
        assert "PagedGridView loaded with 1 pages, 2 items" in result.stdout.splitlines()

        image = Picture(shot)
        assert (image.width, image.height) == SCREEN
        # The top bar's strip is not the launcher's.
        assert image.pixel(SCREEN[0] // 2, TOP_BAR // 2) == (0, 0, 0)
        # The picture, blurred and under a 0.3 black veil, fills the window.
        for point in ((400, 900), (1700, 300), (SCREEN[0] // 2, SCREEN[1] - 40)):
            assert close(image.pixel(*point), dimmed(PICTURE_COLOUR)), \
                "background at %r is %r" % (point, image.pixel(*point))
        for app in apps:
            assert launcher.tile_centre(image, app.ident) is not None, app.name + " missing"

        # An unreadable picture: the gradient stays, the report says why.
        os.remove(picture_path)
        shot = os.path.join(launcher.artifacts, "screenshot-gradient.png")
        result = subprocess.run([launcher.binary, "--root", launcher.root, "--screenshot", shot],
                                env=env, capture_output=True, text=True, timeout=120)
        assert result.returncode == 0, result.stderr
        assert any(line.startswith("Error loading image data: ") for line in result.stdout.splitlines()), \
            result.stdout
        image = Picture(shot)
        top_left, bottom_right = image.pixel(2, TOP_BAR + 2), image.pixel(SCREEN[0] - 3, SCREEN[1] - 3)
        assert close(top_left, (26, 38, 64), 4), top_left
        assert close(bottom_right, (38, 26, 76), 4), bottom_right
    finally:
        launcher.close()


if __name__ == "__main__":
    run(test)
