"""A second start hands its files to the running player and exits."""

import os
import signal
import sys

from player_process import Checks, Player, ProgramFolder, make_tone, wait_until

check = Checks()
# How long the first instance stays busy (stopped) while a second start waits.
BUSY_SECONDS = float(os.environ.get("KIVO_E2E_BUSY_SECONDS", "7"))


def hand_off(program, folder, args):
    """A second start with args; its exit code and what it printed."""
    second = Player(program, folder, args)
    code = second.wait(60)
    if code is None:
        second.stop()
    return code, second.output()


def files_arrive(program, folder):
    tones = [make_tone(folder.file(name))
             for name in ("one.mp3", "two.ogg", "three.flac")]
    code, said = hand_off(program, folder, ["one.mp3", "two.ogg", "three.flac"])
    check(code == 0, f"the second start exits 0 (got {code}): {said}")
    check(folder.playlist() == tones,
          f"temp.tmp lists the three files: {folder.playlist()}")
    code, _ = hand_off(program, folder, [])
    check(code == 0, "a start without files exits at once")
    check(folder.playlist() == tones, "and changes nothing")
    return tones


def every_byte_arrives(program, folder, before):
    acdc = make_tone(folder.file("AC|DC.mp3"))
    stream = "http://127.0.0.1:9/live"
    code, said = hand_off(program, folder, ["AC|DC.mp3", stream])
    check(code == 0, f"a bar in a name is handed over (got {code}): {said}")
    check(folder.playlist() == before + [acdc, stream],
          f"the file with a bar and the stream address arrive: "
          f"{folder.playlist()}")
    return before + [acdc, stream]


def busy_instance_takes_the_files_once(program, folder, first, before):
    busy = make_tone(folder.file("busy.mp3"))
    first.process.send_signal(signal.SIGSTOP)
    try:
        second = Player(program, folder, ["busy.mp3"])
        still_waiting = second.wait(BUSY_SECONDS) is None
        check(still_waiting, "the second start waits for a busy instance: "
              + second.output())
        check("waiting for the running Kivo Player" in second.output(),
              "and says on stderr what it waits for: " + second.output())
    finally:
        first.process.send_signal(signal.SIGCONT)
    code = second.wait(60)
    if code is None:
        second.stop()
    check(code == 0, f"it exits 0 once the files are taken (got {code}): "
          + second.output())
    # A second delivery would come at once after the first.
    wait_until(lambda: folder.playlist().count(busy) > 1, 2)
    check(folder.playlist() == before + [busy],
          f"the file arrives exactly once: {folder.playlist()}")


def main(program):
    folder = ProgramFolder()
    first = Player(program, folder)
    try:
        check(wait_until(folder.listening, 30),
              "the first instance listens for hand-offs")
        listed = files_arrive(program, folder)
        listed = every_byte_arrives(program, folder, listed)
        busy_instance_takes_the_files_once(program, folder, first, listed)
        check(first.process.poll() is None,
              "the first instance keeps running: " + first.output())
    finally:
        first.stop()
        folder.remove()
    return check.exit_code()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
