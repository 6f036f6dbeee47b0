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


def seekbar_filled_px(session, window, shot):
    """How many pixels of the seek bar's middle row differ from its last one,
    the unplayed background while a track is not near its end."""
    if not session.screenshot(shot, window):
        return -1
    width, height = (int(v) for v in subprocess.run(
        ["identify", "-format", "%w %h", shot], capture_output=True,
        text=True).stdout.split())
    row = subprocess.run(["convert", shot, "-crop", f"{width}x1+0+{height - 5}",
                          "-depth", "8", "rgb:-"], capture_output=True).stdout
    pixels = [row[i:i + 3] for i in range(0, len(row), 3)]
    return sum(1 for pixel in pixels if pixel != pixels[-1])


def elapsed_of(caption):
    """Elapsed seconds of a caption "Kivo Player  -  mm:ss / mm:ss"."""
    try:
        minutes, seconds = caption.split("  -  ")[1].split(" / ")[0].split(":")
        return int(minutes) * 60 + int(seconds)
    except (IndexError, ValueError):
        return -1


def test_the_caption_and_seek_bar_follow_the_playing_file(session, program):
    """Each second of a playing file shows in the window's title (both X11
    title properties, which pagers and task lists read) and the seek bar."""
    folder = ProgramFolder()
    tone = make_tone(folder.file("long.mp3"), seconds=12)
    player = Player(program, folder, [tone], env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player  -  00:0", 30)
        if not check(window, "playing shows the time in the caption"):
            return
        shot = os.path.join(SHOTS, ".seekbar.png")
        first_px = seekbar_filled_px(session, window, shot)
        first = elapsed_of(session.xdotool("getwindowname", window).strip())
        time.sleep(3.2)
        later_px = seekbar_filled_px(session, window, shot)
        caption = session.xdotool("getwindowname", window).strip()
        later = elapsed_of(caption)
        check(3 <= later - first <= 4 and caption.endswith(" / 00:12"),
              f"the caption counts the seconds: {first} then {caption!r}")
        check(later_px > first_px,
              f"the seek bar grows: {first_px} then {later_px} pixels")
        names = session.run(["xprop", "-id", window, "WM_NAME",
                             "_NET_WM_NAME"])
        titles = [line.split(" = ", 1)[-1].strip('"')
                  for line in names.splitlines()]
        check(len(titles) == 2 and titles[0] == titles[1] and
              elapsed_of(titles[0]) >= later,
              f"both title properties hold the caption: {names!r}")
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
        test_the_caption_and_seek_bar_follow_the_playing_file(session, program)
        test_close_to_tray(session, program)
        test_closing_on_a_slow_disk(session, program)
        test_playing_menus_and_slim_mode(session, program)
    finally:
        session.close()
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
