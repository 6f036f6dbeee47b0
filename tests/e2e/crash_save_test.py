"""SIGKILL while a playlist is saved loses nothing: the real player under
Xvfb saves its list as KPP, M3U and PLS in turn through the Save Playlist
dialog (Ctrl+S, the name typed, the type chosen, the overwrite confirmed, as
a user does with the keyboard) over an earlier file, and is killed at a
random moment after the user confirmed. The file must then be the earlier
one or the new one, whole, and no temporary may pile up.
KIVO_CRASH_ROUNDS sets the rounds (make test: one per format; make soak:
many)."""

import random
import sys
import time

from player_process import (Checks, Player, ProgramFolder, kill_rounds,
                            strays, wait_until)
import x_session

ENTRIES = 1500
FORMATS = ("kpp", "m3u", "pls")
# Presses of Down in the dialog's type box, from its first type (KPP).
TYPE_STEPS = {"kpp": 0, "m3u": 1, "pls": 2}
FIRST_CONTENT = {
    "kpp": "/music/earlier.flac\r\n",
    "m3u": "#EXTM3U\r\n/music/earlier.flac\r\n",
    "pls": "[playlist]\r\nFile1=/music/earlier.flac\r\nNumberOfEntries=1\r\n"
           "Version=2\r\n",
}
KNOWN_FILES = {"settings.ini", "list.kpp", "Plug-ins", "language", "Theme"} | {
    f"saved.{kind}" for kind in FORMATS}


def locations_of(text, kind):
    """The locations of a whole playlist file, or None for a broken one."""
    if not text or not text.endswith("\r\n"):
        return None
    lines = text[:-2].split("\r\n")
    if kind == "kpp":
        return lines
    if kind == "m3u":
        if lines[0] != "#EXTM3U":
            return None
        return [line for line in lines[1:] if not line.startswith("#")]
    values = dict(line.split("=", 1) for line in lines[1:] if "=" in line)
    if lines[0] != "[playlist]" or "NumberOfEntries" not in values:
        return None
    count = int(values["NumberOfEntries"])
    files = [values.get(f"File{n}") for n in range(1, count + 1)]
    return None if None in files else files


def save_through_the_dialog(session, window, path, kind):
    """Ctrl+S, the name, the type, Save, and Yes to replace the old file."""
    session.key(window, "ctrl+s")
    if not session.visible_window("^Save Playlist$", 20):
        return False
    session.xdotool("type", "--delay", "5", path)
    # From the name field one Tab reaches the type box.
    steps = TYPE_STEPS[kind]
    if steps:
        session.xdotool("key", "--delay", "60", "Tab", *["Down"] * steps)
    session.xdotool("key", "Return")
    asked = wait_until(lambda: len(session.xdotool(
        "search", "--onlyvisible", "--name", "^Save Playlist$").split()) >= 2,
        10)
    if asked:
        session.xdotool("key", "alt+y")
    return asked


def one_round(session, program, folder, check, round_number):
    kind = FORMATS[round_number % len(FORMATS)]
    target = folder.file(f"saved.{kind}")
    if folder.read(f"saved.{kind}") is None:
        folder.write(f"saved.{kind}", FIRST_CONTENT[kind])
    earlier = folder.read(f"saved.{kind}")
    entries = [f"/music/round {round_number}/track {n}.flac"
               for n in range(ENTRIES)]
    folder.write("list.kpp", "".join(f"{entry}\r\n" for entry in entries))
    player = Player(program, folder, [folder.file("list.kpp")],
                    env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player", 30)
        asked = window and save_through_the_dialog(session, window, target,
                                                    kind)
        if not check(asked, f"round {round_number}: the {kind} save is asked"):
            print(player.output())
        time.sleep(random.uniform(0, 0.4))
    finally:
        player.process.kill()
        player.process.wait()
    saved = folder.read(f"saved.{kind}")
    check(saved == earlier or locations_of(saved, kind) == entries,
          f"round {round_number}: saved.{kind} is the earlier or the new "
          f"file, whole ({len(saved or '')} bytes)")
    left = strays(folder, KNOWN_FILES)
    check(len(left) <= 1, f"round {round_number}: temporaries pile up: {left}")
    return saved != earlier


def main(program):
    if not x_session.available():
        print("0 passed, 0 failed, 1 skipped: Xvfb or openbox missing")
        return 0
    check = Checks()
    folder = ProgramFolder()
    session = x_session.XSession(tray=False)
    try:
        rounds, seconds, replaced = kill_rounds(
            lambda number: one_round(session, program, folder, check, number),
            check, 3)
        print(f"{rounds} rounds in {seconds:.1f} s, {replaced} ended with the "
              "new file")
    finally:
        session.close()
        folder.remove()
    return check.exit_code()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
