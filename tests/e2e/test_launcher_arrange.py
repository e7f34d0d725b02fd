"""The context menu's "Hide App" (which lasts across a restart) and the delete
confirmation (Cancel keeps everything, Delete moves the entry to the Trash)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from launcher_harness import SCREEN, App, Launcher, run  # noqa: E402

ALERT = (44, 44, 46)


MENU_ITEM_HEIGHT = 40


def choose_from_menu(launcher, ident, entry):
    """Opens the tile's context menu and clicks its `entry`-th item (from 1); the
    menu opens with its top-left corner at the pointer."""
    centre = launcher.tile_centre(launcher.picture("before-menu-" + ident), ident)
    assert centre is not None, ident + " is not on screen"
    launcher.click(*centre, button=3)
    time.sleep(0.5)
    launcher.screenshot("menu-" + ident)
    launcher.click(centre[0] + 40, centre[1] + MENU_ITEM_HEIGHT * entry - MENU_ITEM_HEIGHT // 2)


def alert_buttons(launcher, label):
    """Where Cancel and Delete are, from the alert's plate on screen."""
    picture = launcher.picture(label)
    box = picture.find(ALERT, tolerance=2, step=2, region=(SCREEN[0] // 4, 100, 3 * SCREEN[0] // 4, SCREEN[1]))
    assert box is not None, "no delete alert on screen"
    centre_x = (box[0] + box[2]) // 2
    buttons_y = box[3] - 20 - 14
    return (centre_x - 60, buttons_y), (centre_x + 60, buttons_y)


def test():
    apps = [App("org.test.alpha", "Alpha", (230, 40, 40)),
            App("org.test.bravo", "Bravo", (40, 200, 60)),
            App("org.test.charlie", "Charlie", (40, 90, 230))]
    launcher = Launcher(apps, "arrange")
    try:
        launcher.start()
        launcher.wait_for(launcher.has_focus, "the launcher to take the keyboard")
        time.sleep(0.3)
        everything = sorted(app.ident for app in apps)
        launcher.wait_for(lambda: launcher.shown_apps("start") == everything, "every tile on screen")

        # Hide App, the first entry.
        choose_from_menu(launcher, "org.test.bravo", 1)
        launcher.wait_for(lambda: launcher.shown_apps("hidden") == ["org.test.alpha", "org.test.charlie"],
                          "Bravo to leave the grid")
        assert "org.test.bravo" in launcher.settings_text()

        # Still hidden after a restart.
        launcher.stop()
        launcher.start()
        time.sleep(0.3)
        launcher.wait_for(lambda: launcher.shown_apps("restarted") == ["org.test.alpha", "org.test.charlie"],
                          "the grid after the restart")

        # Delete App, the second entry, then Cancel.
        choose_from_menu(launcher, "org.test.charlie", 2)
        cancel, delete = alert_buttons(launcher, "delete-alert")
        launcher.click(*cancel)
        time.sleep(0.5)
        assert os.path.exists(launcher.entry_path("org.test.charlie"))
        assert not os.path.exists(launcher.trash_path("org.test.charlie"))
        launcher.wait_for(lambda: launcher.shown_apps("cancelled") == ["org.test.alpha", "org.test.charlie"],
                          "the grid unchanged after Cancel")

        # Delete App again, then Delete: the user's own entry goes to the Trash.
        choose_from_menu(launcher, "org.test.charlie", 2)
        cancel, delete = alert_buttons(launcher, "delete-alert-again")
        launcher.click(*delete)
        launcher.wait_for(lambda: os.path.exists(launcher.trash_path("org.test.charlie")),
                          "the entry to reach the Trash")
        assert not os.path.exists(launcher.entry_path("org.test.charlie"))
        launcher.wait_for(lambda: launcher.shown_apps("deleted") == ["org.test.alpha"],
                          "Charlie to leave the grid after the rescan")
        assert launcher.is_viewable(), "deleting keeps the launcher on screen"
        for app in apps:
            assert not os.path.exists(launcher.marker_path(app.ident)), "nothing was launched"
    finally:
        launcher.close()


if __name__ == "__main__":
    run(test)
