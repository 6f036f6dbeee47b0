"""The real player under Xvfb: Save and Load Playlist through Qt's own dialogs,
driven with xdotool as a user would, and what the next start restores."""

import os
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


def main(program):
    return x_session.run_tests([test_a_bare_name_saved_as_m3u_comes_back,
                                test_a_linked_settings_file_stays_a_link],
                               program, check)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
