"""Tidying the grid from a tile's menu, opened by the keyboard or the pointer:
"Hide App" lasts across a restart, and "Delete App" asks first: Cancel keeps
everything, Delete moves the user's own entry to the Trash. The grid follows
entries put in and taken out meanwhile, and an entry's actions start from its menu."""

import os

from harness import PLATE, main

ALPHA, BRAVO, CHARLIE = "org.test.alpha", "org.test.bravo", "org.test.charlie"
APPS = [(ALPHA, "Alpha", (230, 40, 40)), (BRAVO, "Bravo", (40, 200, 60)), (CHARLIE, "Charlie", (40, 90, 230))]


def alert_button(launcher, index):
    """Waits for the delete alert and clicks Cancel (0) or Delete (1). The menus
    share the alert's plate: the alert is told apart by its width."""
    box = launcher.wait("the delete alert", lambda: (b := launcher.patch(PLATE, (760, 200, 1160, 900), tolerance=1)[0])
                        and 276 <= b[2] - b[0] <= 284 and b, "alert")
    return launcher.click(((box[0] + box[2]) // 2 - 60 + 120 * index, box[3] - 34))


def hide_and_delete(launcher):
    launcher.start()
    # Bravo hidden from the keyboard: the ring onto it, its menu by the Menu key, the first entry.
    launcher.shows("start", ALPHA, BRAVO, CHARLIE)
    launcher.xdo("key", "Down", "Right", "Menu").wait("the menu", lambda: launcher.patch(PLATE, tolerance=1)[1] > 5000)
    launcher.xdo("key", "Down", "Return").shows("hidden", ALPHA, CHARLIE)
    launcher.restart()
    at = launcher.shows("hidden-after-restart", ALPHA, CHARLIE)

    entry, trashed = (launcher.path("data_home", d, CHARLIE + ".desktop") for d in ("applications", "Trash/files"))
    alert_button(launcher.choose(at[CHARLIE], 1), 0).shows("cancelled", ALPHA, CHARLIE)
    assert os.path.exists(entry) and not os.path.exists(trashed)
    alert_button(launcher.choose(at[CHARLIE], 1), 1).wait("the entry in the Trash", lambda: os.path.exists(trashed))
    assert not os.path.exists(entry)
    launcher.shows("deleted", ALPHA)
    # Put back and taken out again while the launcher is shown, as an installer would.
    os.rename(trashed, entry)
    launcher.shows("installed", ALPHA, CHARLIE)
    os.remove(entry)
    launcher.shows("uninstalled", ALPHA)
    # An entry's own actions head its menu, and one starts as a launch does: the launcher goes.
    with open(entry, "w") as new:
        new.write("[Desktop Entry]\nType=Application\nName=Charlie\nIcon=%s\nExec=true\nActions=window;\n\n"
                  "[Desktop Action window]\nName=New Window\nExec=touch %s\n"
                  % (launcher.path(CHARLIE + ".png"), launcher.path("markers", "window")))
    launcher.shows("with-action", ALPHA, CHARLIE)
    launcher.xdo("key", "Down", "Right", "Menu").wait("its menu", lambda: launcher.patch(PLATE, tolerance=1)[1] > 5000)
    launcher.xdo("key", "Down", "Return").wait("the action", lambda: launcher.launched() == ["window"])
    launcher.wait("the launcher to go", lambda: not launcher.viewable())


if __name__ == "__main__":
    main("hide-delete", APPS, hide_and_delete)
