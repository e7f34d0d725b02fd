"""Arranging the grid by hand: drag and drop reorders, also while searching,
and lasts across a restart; resting on a tile makes a folder, a drop on the
folder adds to it; in the open folder the user renames it, launches from it,
adds from the picker, and takes the applications out until the folder goes."""

from PIL import Image

from harness import SCREEN, main

ATLAS, BEACON, CHROME, DELTA, FIREFOX, GAMMA = ("org.test." + name for name in (
    "atlas", "beacon", "chrome", "delta", "firefox", "gamma"))
APPS = [(ATLAS, "Atlas", (220, 60, 50)), (BEACON, "Beacon", (60, 190, 80)), (CHROME, "Chrome Canary", (240, 150, 40)),
        (DELTA, "Delta", (230, 210, 60)), (FIREFOX, "Firefox Dev", (240, 120, 170)), (GAMMA, "Gamma", (40, 180, 160))]
# The open folder's card is centred in the window and as high as its contents: here one row of applications,
# 140 high. The picker hangs under its plus button.
TITLE, PLUS, CLOSE, BACKDROP, PICKER = (670, 506), (1221, 506), (1254, 506), (300, 950), (1075, 520, 1130, 1080)
# The page dots of three pages; the current one is white.
DOTS, WHITE = [(943 + 17 * page, 1036) for page in range(3)], (255, 255, 255)


def folders(launcher):
    return [(folder["name"], folder["appBundleIds"]) for folder in launcher.setting("folders") or []]


def offered(launcher):
    """The picker's applications, top to bottom, and where they are."""
    shown = launcher.tiles(least=600, most=1500, region=PICKER)
    return sorted(shown, key=lambda ident: shown[ident][1]), shown


def arrange(launcher):
    launcher.start()
    at = launcher.shows("start", ATLAS, BEACON, CHROME, DELTA, FIREFOX, GAMMA)
    # A quick drop of Delta on Atlas moves Delta to Atlas's place, for good.
    launcher.drag(at[DELTA], at[ATLAS], via=at[BEACON])
    launcher.wait("the order stored", lambda: launcher.setting("customAppOrder") == [DELTA, ATLAS, BEACON, CHROME,
                                                                                      FIREFOX, GAMMA])
    launcher.restart()
    launcher.shows("reordered-after-restart", DELTA, ATLAS, BEACON, CHROME, FIREFOX, GAMMA)
    assert folders(launcher) == [], "a quick drop makes no folder"
    # While the search hides Atlas and Gamma, a drop still moves the right application.
    at = launcher.xdo("key", "e").shows("searching", DELTA, BEACON, CHROME, FIREFOX)
    launcher.drag(at[FIREFOX], at[BEACON], via=at[CHROME])
    at = launcher.xdo("key", "BackSpace").shows("search-cleared", DELTA, ATLAS, FIREFOX, BEACON, CHROME, GAMMA)

    # Resting on Chrome Canary with Firefox Dev makes a folder of the two, named for the web.
    launcher.drag(at[FIREFOX], at[CHROME], via=at[BEACON], rest=True)
    launcher.wait("the folder stored", lambda: folders(launcher) == [("Web", [FIREFOX, CHROME])])
    # The new folder takes the first cell, where Delta was.
    folder, at = at[DELTA], launcher.shows("folder-made", DELTA, ATLAS, BEACON, GAMMA)
    launcher.drag(at[GAMMA], folder, via=at[DELTA])
    launcher.wait("Gamma added once", lambda: folders(launcher) == [("Web", [FIREFOX, CHROME, GAMMA])])
    at = launcher.shows("added-to-folder", DELTA, ATLAS, BEACON)
    # A drag let go over empty space changes nothing and leaves no tile dimmed.
    stored = launcher.setting("customAppOrder"), folders(launcher)
    launcher.drag(at[BEACON], (SCREEN[0] // 2, SCREEN[1] - 150))
    launcher.shows("dropped-on-nothing", DELTA, ATLAS, BEACON)
    assert (launcher.setting("customAppOrder"), folders(launcher)) == stored
    use_folder(launcher, folder, [FIREFOX, CHROME, GAMMA])


def use_folder(launcher, folder, members):
    launcher.click(folder).shows("panel", *members)
    launcher.click(TITLE).xdo("key", "ctrl+a", "type", "--delay", "80", "Games")
    launcher.click(BACKDROP).shows("closed-by-backdrop", DELTA, ATLAS, BEACON)
    assert folders(launcher)[0][0] == "Games", folders(launcher)
    # "Rename Folder" opens the panel with the name ready to be typed over; a launch from it keeps the name.
    at = launcher.choose(folder, 0).shows("renaming", *members)
    launcher.xdo("key", "ctrl+a", "type", "--delay", "80", "Play").click(at[CHROME])
    launcher.wait("Chrome Canary to start and the launcher to hide, keeping the name", lambda: launcher.launched() == [
        CHROME] and not launcher.viewable() and folders(launcher)[0][0] == "Play")
    launcher.run(launcher.binary, "--toggle")
    launcher.shows("shown-without-panel", DELTA, ATLAS, BEACON)

    launcher.click(folder).shows("panel-again", *members)
    rows = launcher.click(PLUS).wait("the picker", lambda: (shown := offered(launcher))[0] == [DELTA, ATLAS, BEACON]
                                     and shown[1], "picker")
    launcher.click(rows[DELTA])
    members.append(DELTA)
    launcher.wait("Delta added and the picker closed", lambda: folders(launcher) == [("Play", members)]
                  and offered(launcher)[0] == [])
    launcher.shows("picked", *members)
    launcher.click(PLUS).wait("the picker without Delta", lambda: offered(launcher)[0] == [ATLAS, BEACON])
    launcher.click(CLOSE).shows("closed-by-button", ATLAS, BEACON)

    # Taking the applications out one by one; the last one takes the folder with it.
    first = launcher.click(folder).shows("panel-to-empty", *members)[FIREFOX]
    for left in range(1, len(members)):
        launcher.choose(first, 0).shows("removed-%d" % left, *members[left:])
    launcher.choose(first, 0).wait("the folder to go", lambda: folders(launcher) == [])
    launcher.shows("folder-gone", DELTA, ATLAS, FIREFOX, BEACON, CHROME, GAMMA)


def across_pages(launcher):
    """Grey applications fill a second and a third page. A drag held at the right edge turns page after page to the
    last, resting on the second dot shows the second page, and there the tile is dropped on its second tile,
    through its first, as the drags above are: the first page stayed built for the drag, which runs in its tile."""
    Image.new("RGB", (128, 128), (128, 128, 128)).save(launcher.path("grey.png"))
    for n in range(66):
        open(launcher.path("data_home", "applications", "zeta%d.desktop" % n), "w").write(
            "[Desktop Entry]\nType=Application\nName=Zeta\nIcon=%s\nExec=true\n" % launcher.path("grey.png"))
    launcher.wait("a third page", lambda: min(launcher.shot().getpixel(DOTS[2])) > 100, "three-pages")
    at = launcher.tiles()
    start, edge, cells = at[GAMMA], (SCREEN[0] - 10, at[GAMMA][1]), sorted(at.values(), key=lambda p: (p[1] // 40, p[0]))
    steps = [a for i in range(1, 11) for a in ("mousemove", start[0] + (edge[0] - start[0]) * i // 10, start[1])]
    launcher.xdo("mousemove", "--sync", *start, "mousedown", 1, *steps)
    launcher.wait("the last page", lambda: launcher.shot().getpixel(DOTS[2]) == WHITE and set(launcher.tiles(launcher.last)) <= {GAMMA})
    # The page is in place when its grey first row fills all seven cells, the last one included. (The dots are no
    # sign of it: the dragged icon, under the pointer, covers them.)
    pitch = cells[1][0] - cells[0][0]
    row = [(cells[0][0] + pitch * column, cells[0][1] - 16) for column in range(7)]
    grey_row = lambda: all(max(abs(c - 128) for c in launcher.last.getpixel(point)) <= 8 for point in row)
    launcher.xdo("mousemove", *DOTS[1]).wait("the second page", lambda: launcher.shot() and grey_row())
    via, end = [(x, y + 40) for x, y in cells[:2]]
    # The page may still be sliding in: the pointer keeps moving, as a hand does, until the tile takes the drag and
    # the page has come to rest. Mid-slide a tile further along can pass under the first cell and take the ring.
    launcher.xdo("mousemove", *via).wait("the drag on a tile there", lambda: launcher.xdo(
        "mousemove_relative", "--", 1, 0, "mousemove_relative", "--", -1, 0).ring_over(cells[0]) and grey_row(),
        "page-2-ring")
    launcher.xdo("mousemove", *end, "mousemove", end[0] + 1, end[1] + 1, "mouseup", 1)
    launcher.wait("the order stored", lambda: (launcher.setting("customAppOrder") or [])[36:37] == [GAMMA])
    launcher.shows("dropped-on-page-2", GAMMA)
    # The keyboard's ring crosses page edges too: Left from the second page's first tile turns back, Right on again.
    launcher.xdo("key", "Down", "Left").wait("the first page", lambda: launcher.shot().getpixel(DOTS[0]) == WHITE)
    launcher.xdo("key", "Right").wait("the second page again", lambda: launcher.shot().getpixel(DOTS[1]) == WHITE)

if __name__ == "__main__":
    main("arrange", APPS, arrange, across_pages)
