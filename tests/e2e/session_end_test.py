"""The real player under Xvfb: the caption is exactly the text the player
sets, and SIGTERM, SIGINT and SIGHUP end it as the end of a session does:
the window closes even into the tray, the window state is written, exit 0."""

import re
import signal
import sys
import time

from checks import check, summary
from player_process import Player, ProgramFolder, make_tone, wait_until
import x_session

def playing_player(session, program, folder):
    tone = make_tone(folder.file("Tone.mp3"), seconds=20)
    player = Player(program, folder, [tone], env=session.display_env)
    window = session.visible_window("^Kivo Player  -  ", 30)
    return player, window


def test_captions_carry_no_suffix(session, program):
    folder = ProgramFolder()
    player, window = playing_player(session, program, folder)
    try:
        if not check(window, "playing shows the time in the caption"):
            return
        caption = session.xdotool("getwindowname", window).strip()
        check(re.fullmatch(r"Kivo Player  -  \d\d:\d\d / 00:20", caption),
              f"the main caption is the player's own text: {caption!r}")
        session.key(window, "s")
        search = session.visible_window("^Search", 10)
        if check(search, "S opens the search window"):
            title = session.xdotool("getwindowname", search).strip()
            check(title == "Search", f"the search caption: {title!r}")
    finally:
        player.stop()
        folder.remove()


def ends_cleanly(player, folder, what):
    code = player.wait(8)
    check(code == 0, f"{what}: the player ends with 0, not {code}")
    settings = folder.read("settings.ini") or ""
    check("[Main.Position]" in settings and "Left=" in settings,
          f"{what}: the window position is written: {settings!r}")


def test_signal_closes_a_window_hidden_in_the_tray(session, program):
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nCloseToTray=1\r\n")
    player, window = playing_player(session, program, folder)
    try:
        if not check(window, "the window shows"):
            return
        session.key(window, "alt+F4")
        check(wait_until(lambda: not session.visible_window("^Kivo", 0), 5),
              "Close To Tray hides the window")
        check(player.process.poll() is None, "and the player keeps running")
        player.process.send_signal(signal.SIGTERM)
        ends_cleanly(player, folder, "SIGTERM in the tray")
    finally:
        player.stop()
        folder.remove()


def test_signal_while_a_dialog_is_open(session, program, number, name):
    folder = ProgramFolder()
    player, window = playing_player(session, program, folder)
    try:
        if not check(window, "the window shows"):
            return
        # Ctrl+L asks for an address in a modal input box.
        session.key(window, "ctrl+l")
        time.sleep(1.0)
        player.process.send_signal(number)
        ends_cleanly(player, folder, f"{name} with a dialog open")
    finally:
        player.stop()
        folder.remove()


def test_signal_during_the_start_prompt(session, program):
    folder = ProgramFolder()
    folder.write("settings.ini", "[settings]\r\n")
    player = Player(program, folder, env=session.display_env)
    try:
        if not check(session.visible_window("^Donation$", 30),
                     "the first start asks for a donation"):
            return
        player.process.send_signal(signal.SIGTERM)
        ends_cleanly(player, folder, "SIGTERM at the start prompt")
    finally:
        player.stop()
        folder.remove()


def main(program):
    if not x_session.available():
        print("0 passed, 0 failed, 1 skipped: Xvfb, openbox or trayer missing")
        return 0
    session = x_session.XSession()
    try:
        test_captions_carry_no_suffix(session, program)
        test_signal_closes_a_window_hidden_in_the_tray(session, program)
        test_signal_while_a_dialog_is_open(session, program, signal.SIGINT,
                                           "SIGINT")
        test_signal_while_a_dialog_is_open(session, program, signal.SIGHUP,
                                           "SIGHUP")
        test_signal_during_the_start_prompt(session, program)
    finally:
        session.close()
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
