"""The real player under Xvfb: Save and Load Playlist through Qt's own dialogs,
driven with xdotool as a user would, and what the next start restores."""

import collections
import os
import subprocess
import sys
import time

from player_process import Checks, Player, ProgramFolder, make_tone, wait_until
import x_session

check = Checks()


def save_playlist(session, window, path, types_down):
    """Ctrl+S, the name typed without extension, the type chosen in the
    "Files of type" box (Down types_down times from the first), Enter."""
    session.key(window, "ctrl+s")
    dialog = session.visible_window("^Save Playlist", 15)
    if not dialog:
        return False
    time.sleep(0.5)
    session.xdotool("type", "--delay", "20", path)
    session.xdotool("key", "--delay", "100", "Tab",
                    *(["Down"] * types_down), "Return")
    return True


def test_a_bare_name_saved_as_m3u_comes_back(session, program):
    folder = ProgramFolder()
    tones = [make_tone(folder.file(name)) for name in
             ("one.mp3", "two.ogg", "three.flac")]
    folder.write("three.kpp", "".join(tone + "\r\n" for tone in tones))
    player = Player(program, folder, [folder.file("three.kpp")],
                    env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player", 30)
        if not check(window, "the window shows"):
            return
        check(save_playlist(session, window, folder.file("mylist"), 1),
              "Ctrl+S opens the save dialog")
        saved = wait_until(lambda: folder.read("mylist.m3u"), 10) or ""
        check(saved.startswith("#EXTM3U\r\n") and saved.count(".mp3") == 1,
              f"M3U under a bare name goes to mylist.m3u: {saved!r}")
        check(folder.read("mylist.kpp") is None, "and not to mylist.kpp")
        player.stop()

        player = Player(program, folder, env=session.display_env)
        window = session.visible_window("^Kivo Player", 30)
        if not check(window, "the window shows again"):
            return
        # What came back, written out as KPP (the first type) for reading.
        check(save_playlist(session, window, folder.file("check"), 0),
              "Ctrl+S opens the save dialog again")
        restored = wait_until(lambda: folder.read("check.kpp"), 10)
        check(restored == "".join(tone + "\r\n" for tone in tones),
              f"the next start restores the same three entries: {restored!r}")

        # A load forgets the selection: Delete then has nothing to remove.
        session.key(window, "Down", "Down")
        session.key(window, "ctrl+o")
        if check(session.visible_window("^Load Playlist", 15),
                 "Ctrl+O opens the load dialog"):
            time.sleep(0.5)
            session.xdotool("type", "--delay", "20", folder.file("three.kpp"))
            session.xdotool("key", "Return")
            time.sleep(1)
            session.key(window, "Delete")
            save_playlist(session, window, folder.file("after"), 0)
            after = wait_until(lambda: folder.read("after.kpp"), 10)
            check(after == "".join(tone + "\r\n" for tone in tones),
                  f"Delete after a load removes nothing: {after!r}")
    finally:
        player.stop()
        folder.remove()


def test_a_linked_settings_file_stays_a_link(session, program):
    """Dotfile managers keep settings.ini elsewhere and link it in."""
    folder = ProgramFolder()
    os.makedirs(folder.file("dotfiles"))
    os.rename(folder.file("settings.ini"), folder.file("dotfiles/kivo.ini"))
    os.symlink("dotfiles/kivo.ini", folder.file("settings.ini"))
    player = Player(program, folder, env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player", 30)
        if not check(window, "the window shows"):
            return
        session.xdotool("windowmove", "--sync", window, "210", "160")
        time.sleep(0.3)
        session.key(window, "alt+F4")
        check(player.wait(20) == 0, "closing ends the program")
        check(os.path.islink(folder.file("settings.ini")),
              "settings.ini is still a link")
        written = folder.read("dotfiles/kivo.ini") or ""
        check("[Main.Position]" in written,
              f"the close wrote through the link: {written!r}")
    finally:
        player.stop()
        folder.remove()


def line_widths(session, window, shot):
    """For each line of text drawn in the window, top to bottom: True when
    it reaches far to the right (a long line), False for a short one. The
    lines are told apart by the blank pixel rows between them."""
    if not session.screenshot(shot, window):
        return []
    width, height = (int(v) for v in subprocess.run(
        ["identify", "-format", "%w %h", shot], capture_output=True,
        text=True).stdout.split())
    gray = subprocess.run(["convert", shot, "-colorspace", "gray", "-depth",
                           "8", "gray:-"], capture_output=True).stdout
    background = collections.Counter(gray).most_common(1)[0][0]

    def inked(y, first, last):
        row = gray[y * width + first:y * width + last]
        return any(abs(value - background) > 60 for value in row)

    lines, top = [], None
    # The seek bar at the bottom and the level meter at the right are no
    # lines of the list.
    for y in range(height * 2 // 3):
        if inked(y, 1, 20):
            top = y if top is None else top
        elif top is not None:
            lines.append(any(inked(row, 80, width - 40)
                             for row in range(top, y)))
            top = None
    return lines


def test_missing_entries_of_a_remembered_list_show_the_error_form(session,
                                                                  program):
    """A long remembered list whose files are partly gone: once the player
    has looked, each missing entry shows "[Error] " and its whole location
    (a long line) and each existing one its short name."""
    folder = ProgramFolder()
    os.makedirs(folder.file("music"))
    locations = []
    for index in range(3000):
        location = folder.file(f"music/t{index}.mp3")
        if index % 2 == 0:
            open(location, "w").close()
        locations.append(location)
    folder.write("temp.tmp", "".join(path + "\r\n" for path in locations))
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\n"
                 f"LastPlayed={folder.file('temp.tmp')}\r\n")
    player = Player(program, folder, env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player", 30)
        if not check(window, "the window shows"):
            return
        # The first line may carry the focus frame across its width.
        expected = [index % 2 == 1 for index in range(1, 7)]
        shot = folder.file("shots/window.png")
        seen = wait_until(
            lambda: line_widths(session, window, shot)[1:7] == expected, 20)
        check(seen, "missing entries show the long error line, existing "
              f"ones their name: {line_widths(session, window, shot)[:8]}")
    finally:
        player.stop()
        folder.remove()


def main(program):
    return x_session.run_tests(
        [test_a_bare_name_saved_as_m3u_comes_back,
         test_a_linked_settings_file_stays_a_link,
         test_missing_entries_of_a_remembered_list_show_the_error_form],
        program, check)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
