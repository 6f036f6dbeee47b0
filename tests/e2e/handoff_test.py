"""A second start hands its files to the running player and exits."""

import os
import sys

from player_process import Player, ProgramFolder, make_tone, wait_until

PASSED = 0
FAILED = 0


def check(condition, what):
    global PASSED, FAILED
    if condition:
        PASSED += 1
    else:
        FAILED += 1
        print(f"FAILED: {what}")


def listening(folder):
    folder_path = os.path.join(folder.runtime, "kivo-player")
    return os.path.isdir(folder_path) and any(
        name.endswith(".sock") for name in os.listdir(folder_path))


def main(program):
    folder = ProgramFolder()
    first = Player(program, folder)
    try:
        check(wait_until(lambda: listening(folder), 30),
              "the first instance listens for hand-offs")
        tones = [make_tone(folder.file(name))
                 for name in ("one.mp3", "two.ogg", "three.flac")]
        second = Player(program, folder, ["one.mp3", "two.ogg", "three.flac"])
        code = second.wait(30)
        check(code == 0, f"the second start exits 0 (got {code}): "
              + second.output())
        listed = (folder.read("temp.tmp") or "").split("\r\n")
        check(listed[:3] == tones, f"temp.tmp lists the three files: {listed}")
        check(first.process.poll() is None, "the first instance keeps running")

        third = Player(program, folder)
        check(third.wait(30) == 0, "a start without files exits at once")
        listed = (folder.read("temp.tmp") or "").split("\r\n")
        check(listed[:3] == tones, "and changes nothing")
    finally:
        first.stop()
        folder.remove()
    print(f"{PASSED} passed, {FAILED} failed")
    return 1 if FAILED else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
