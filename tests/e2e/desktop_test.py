"""The real player under Xvfb with a window manager and a tray host, driven
with xdotool: it plays, its menus open, slim mode, hand-off, closing and the
tray. Screenshots go to build/screenshots/."""

import os
import shutil
import subprocess
import sys
import time

from checks import check, summary
from player_process import Player, ProgramFolder, make_tone, wait_until
import x_session

SHOTS = ""


def ten_line_playlist(folder):
    tones = [make_tone(folder.file(f"Track {n:02d}.mp3"), seconds=20,
                       frequency=220 + 40 * n) for n in range(1, 11)]
    folder.write("ten.kpp", "".join(tone + "\r\n" for tone in tones))
    return folder.file("ten.kpp")


def test_playing_menus_and_slim_mode(session, program):
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nShowTray=1\r\n")
    player = Player(program, folder, [ten_line_playlist(folder)],
                    env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player  -  ", 30)
        if not check(window, "playing shows the time in the caption"):
            return
        session.key(window, "Down", "Down", "Insert")
        time.sleep(0.5)
        check(session.screenshot(os.path.join(SHOTS, "main-window.png"),
                                 window), "a screenshot of the main window")
        x, y, width, height = session.geometry(window)
        before = os.path.join(SHOTS, ".before-menu.png")
        session.screenshot(before)
        session.xdotool("mousemove", str(x + 40), str(y + 60), "click", "3")
        time.sleep(0.8)
        menu_shot = os.path.join(SHOTS, "playlist-menu.png")
        session.screenshot(menu_shot)
        check(session.pixel_rows_differ(before, menu_shot),
              "right click opens the playlist menu")
        session.xdotool("key", "Escape")
        time.sleep(0.3)
        session.key(window, "F8")
        slim = wait_until(lambda: session.geometry(window)[3] <= 2, 5)
        check(slim, f"F8 makes the window slim: {session.geometry(window)}")
        session.key(window, "F8")
        back = wait_until(lambda: session.geometry(window)[3] == height, 5)
        check(back, "F8 again restores the height")

        session.click_tray_icon("3", lambda: time.sleep(0.8) or True)
        check(session.screenshot(os.path.join(SHOTS, "tray-menu.png")),
              "a screenshot of the tray menu")
        session.xdotool("key", "Escape")

        extra = make_tone(folder.file("handed.ogg"), seconds=2)
        second = Player(program, folder, [extra], env=session.display_env)
        check(second.wait(30) == 0, "a second start hands over and exits")
        check(extra in (folder.read("temp.tmp") or ""),
              "the handed file is in the autosaved playlist")

        session.xdotool("windowmove", "--sync", window, "200", "150")
        time.sleep(0.3)
        session.key(window, "alt+F4")
        check(player.wait(20) == 0, "closing ends the program")
        settings = folder.read("settings.ini") or ""
        check("[Size]" in settings and "Width=" in settings,
              f"closing writes the size: {settings!r}")
        check("[Main.Position]" in settings, "closing writes the position")
    finally:
        player.stop()
        folder.remove()


def test_close_to_tray(session, program):
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nCloseToTray=1\r\n")
    player = Player(program, folder, env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player$", 30)
        if not check(window, "the window shows"):
            return
        session.key(window, "alt+F4")
        hidden = wait_until(
            lambda: not session.visible_window("^Kivo Player", 0), 5)
        check(hidden, "Close To Tray hides the window")
        time.sleep(0.5)
        session.screenshot(os.path.join(SHOTS, "closed-to-tray.png"))
        check(player.process.poll() is None, "and the program keeps running")
        check(session.click_tray_icon("1", lambda: session.visible_window(
                  "^Kivo Player", 3)),
              "a tray click brings the window back")
    finally:
        player.stop()
        folder.remove()


def test_closing_on_a_slow_disk(session, program):
    """The window goes when the user closes it, not once the settings have
    reached a disk where every flush takes a second (strace delays each
    fsync)."""
    strace = shutil.which("strace")
    if not strace or subprocess.run([strace, "-o", "/dev/null", "true"],
                                    capture_output=True).returncode != 0:
        print("skipped: the slow disk needs strace, allowed to trace")
        return
    folder = ProgramFolder()
    slow_disk = ["-f", "-o", "/dev/null", "-e", "trace=fsync",
                 "-e", "inject=fsync:delay_enter=1000000", program]
    player = Player(strace, folder, slow_disk,
                    env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player$", 60)
        if not check(window, "the window shows on the slow disk"):
            return
        session.key(window, "alt+F4")
        hidden = wait_until(
            lambda: not session.visible_window("^Kivo Player", 0), 5)
        check(hidden, "closing hides the window before the writes end")
        check(player.wait(60) == 0, "and the program ends after them")
        settings = folder.read("settings.ini") or ""
        check("[Main.Position]" in settings, "with the position written")
    finally:
        player.stop()
        folder.remove()


def main(program):
    global SHOTS
    # Beside the build trees: build/screenshots.
    SHOTS = os.path.join(os.path.dirname(os.path.abspath(program)), "..",
                         "screenshots")
    if not x_session.available():
        print("0 passed, 0 failed, 1 skipped: Xvfb, openbox or trayer missing")
        return 0
    os.makedirs(SHOTS, exist_ok=True)
    session = x_session.XSession()
    try:
        test_close_to_tray(session, program)
        test_closing_on_a_slow_disk(session, program)
        test_playing_menus_and_slim_mode(session, program)
    finally:
        session.close()
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
