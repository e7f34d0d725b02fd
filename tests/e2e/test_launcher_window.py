"""The launcher window as a desktop citizen: its place and hints, F4 from another
window and from inside, Escape, the toggle command and a second start."""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from launcher_harness import SCREEN, TOP_BAR, App, Launcher, run  # noqa: E402


def test():
    apps = [App("org.test.alpha", "Alpha", (230, 40, 40)),
            App("org.test.bravo", "Bravo", (40, 200, 60))]
    launcher = Launcher(apps, "window")
    try:
        launcher.start()
        assert launcher.is_viewable(), "the launcher shows itself at start"
        launcher.wait_for(launcher.has_focus, "the launcher to take the keyboard")

        # Full width below the top bar, above others, on every desktop, out of
        # the taskbar and pager.
        x, y, width, height = launcher.geometry()
        assert (x, y, width, height) == (0, TOP_BAR, SCREEN[0], SCREEN[1] - TOP_BAR), \
            "window frame %r" % ((x, y, width, height),)
        states = launcher.window_property("_NET_WM_STATE")
        for state in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
            assert state in states, "%s missing from %s" % (state, states)
        desktop = launcher.window_property("_NET_WM_DESKTOP")
        assert "4294967295" in desktop, desktop
        launcher.wait_for(lambda: launcher.shown_apps("shown") == ["org.test.alpha", "org.test.bravo"],
                          "both tiles on screen")

        # Escape hides; the window stays the same one.
        launcher.key("Escape")
        launcher.wait_for(lambda: not launcher.is_viewable(), "Escape to hide the launcher")
        first_window = launcher.window

        # F4 typed in another application's window brings the launcher back.
        other, other_window = launcher.open_other_window()
        try:
            launcher.key("F4")
            launcher.wait_for(launcher.is_viewable, "F4 to show the launcher")
            launcher.wait_for(launcher.has_focus, "the launcher to take the focus")
            assert launcher.find_window() == first_window, "the window is made once"
            launcher.screenshot("after-f4")

            # F4 while the launcher is in front hides it.
            launcher.key("F4")
            launcher.wait_for(lambda: not launcher.is_viewable(), "F4 to hide the launcher")

            # The launcher shown behind another window's focus comes to the front
            # rather than going away.
            launcher.key("F4")
            launcher.wait_for(launcher.has_focus, "F4 to show the launcher again")
            launcher.run_tool("xdotool", "windowfocus", "--sync", other_window)
            launcher.key("F4")
            launcher.wait_for(launcher.has_focus, "F4 to bring the shown launcher forward")
            assert launcher.is_viewable()
        finally:
            other.terminate()
            other.wait(5)

        # The toggle command reaches the running launcher.
        toggle = launcher.run_tool(launcher.binary, "--toggle")
        assert toggle.returncode == 0
        launcher.wait_for(lambda: not launcher.is_viewable(), "--toggle to hide")
        launcher.run_tool(launcher.binary, "--toggle")
        launcher.wait_for(launcher.is_viewable, "--toggle to show")

        # A second start while hidden shows the running one and ends at once;
        # while shown it changes nothing.
        launcher.key("Escape")
        launcher.wait_for(lambda: not launcher.is_viewable(), "Escape to hide")
        started = time.time()
        second = launcher.run_tool(launcher.binary, "--root", launcher.root)
        assert second.returncode == 0 and time.time() - started < 10
        launcher.wait_for(launcher.is_viewable, "a second start to show the launcher")
        second = launcher.run_tool(launcher.binary, "--root", launcher.root)
        assert second.returncode == 0
        assert launcher.is_viewable()
        windows = launcher.launcher_windows()
        assert windows == [first_window], "one launcher window, found %r" % windows
        assert launcher.process.poll() is None, "the first instance keeps running"
    finally:
        launcher.close()


if __name__ == "__main__":
    run(test)
