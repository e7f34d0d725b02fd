"""Typing narrows the grid; a click launches the application and the launcher
goes away shortly after, keeping the search for the next time."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from launcher_harness import App, Launcher, run  # noqa: E402


def test():
    apps = [App("org.test.alpha", "Alpha", (230, 40, 40)),
            App("org.test.zeta", "Zeta Notes", (40, 90, 230)),
            App("org.test.zebra", "Zebra", (240, 200, 20)),
            App("org.test.mail", "Mail", (40, 200, 60))]
    launcher = Launcher(apps, "search")
    try:
        launcher.start()
        launcher.wait_for(launcher.has_focus, "the launcher to take the keyboard")
        time.sleep(0.3)
        launcher.wait_for(lambda: launcher.shown_apps("all") == sorted(app.ident for app in apps),
                          "every tile on screen")

        # The search field has the keyboard without being clicked.
        launcher.type("ze")
        launcher.wait_for(lambda: launcher.shown_apps("typed-ze") ==
                          ["org.test.zebra", "org.test.zeta"], "the grid to narrow to 'ze'")
        launcher.type("T")
        launcher.wait_for(lambda: launcher.shown_apps("typed-zet") == ["org.test.zeta"],
                          "the grid to narrow to 'zeT'")

        # Nothing matches: the empty message, no tiles.
        launcher.type("q")
        launcher.wait_for(lambda: launcher.shown_apps("no-results") == [], "no tiles for 'zeTq'")
        launcher.key("BackSpace")
        launcher.wait_for(lambda: launcher.shown_apps("back-to-zet") == ["org.test.zeta"],
                          "the tile to come back")

        # A click launches; the launcher hides shortly after, not at once.
        centre = launcher.tile_centre(launcher.picture("before-launch"), "org.test.zeta")
        assert centre is not None
        clicked = time.time()
        launcher.click(*centre)
        launcher.wait_for(lambda: os.path.exists(launcher.marker_path("org.test.zeta")),
                          "the application to start")
        launcher.wait_for(lambda: not launcher.is_viewable(), "the launcher to hide", timeout=5)
        assert time.time() - clicked >= 0.2, "hidden before the launch delay"
        for other in ("org.test.alpha", "org.test.zebra", "org.test.mail"):
            assert not os.path.exists(launcher.marker_path(other)), other + " was launched"

        # Shown again, the search is still in place.
        launcher.key("F4")
        launcher.wait_for(launcher.is_viewable, "F4 to show the launcher")
        time.sleep(0.3)
        launcher.wait_for(lambda: launcher.shown_apps("shown-again") == ["org.test.zeta"],
                          "the same narrowed grid")
    finally:
        launcher.close()


if __name__ == "__main__":
    run(test)
