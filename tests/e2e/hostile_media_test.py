"""Hostile files handed to the running player one after another: each hand-off
is answered, the player keeps running and answering on the session bus, the
remembered playlist holds every name byte for byte, and a good file still
plays afterwards."""

import os
import subprocess
import sys
import time

from checks import SessionBus, check, summary
from player_process import Player, ProgramFolder, wait_until

def hostile_files(generator, folder):
    os.makedirs(folder)
    listing = subprocess.run([generator, folder], check=True,
                             capture_output=True).stdout
    files = []
    for line in listing.splitlines():
        what, path = line.split(b"\t", 1)
        files.append((what.decode(), os.fsdecode(path)))
    return files


def listed(folder):
    try:
        with open(folder.file("temp.tmp"), "rb") as source:
            return source.read().split(b"\r\n")
    except FileNotFoundError:
        return []


def main(program, generator):
    if not all(os.path.exists(f"/usr/bin/{tool}")
               for tool in ("dbus-daemon", "playerctl")):
        print("0 passed, 0 failed, 1 skipped: dbus or playerctl missing")
        return 0
    bus = SessionBus()
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nMSN=1\r\nMode=3\r\n")
    env = {"DBUS_SESSION_BUS_ADDRESS": bus.address}
    files = hostile_files(generator, folder.file("hostile"))
    player = Player(program, folder, env=env)

    def playerctl(*args):
        try:
            return subprocess.run(
                ["playerctl", "-p", "kivoplayer", *args],
                env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.address),
                capture_output=True, text=True, timeout=5).stdout.strip()
        except subprocess.TimeoutExpired:
            return "(no answer)"

    try:
        check(wait_until(lambda: playerctl("status") != "", 30),
              "the player answers on the session bus")
        for what, path in files:
            started = time.monotonic()
            second = Player(program, folder, [path], env=env)
            code = second.wait(30)
            check(code == 0, f"{what}: the hand-off is answered (got {code}) "
                  + second.output())
            check(player.process.poll() is None, f"{what}: the player runs")
            status = playerctl("status")
            check(status in ("Playing", "Stopped", "Paused"),
                  f"{what}: the player still answers (status {status!r})")
            check(wait_until(lambda: os.fsencode(path) in listed(folder), 10),
                  f"{what}: the remembered playlist holds its name whole")
            check(time.monotonic() - started < 20, f"{what}: within seconds")
        good = folder.file("hostile/good.mp3")
        second = Player(program, folder, [good], env=env)
        check(second.wait(30) == 0, "the good file is handed over")
        check(wait_until(lambda: playerctl("status") == "Playing", 10),
              "and plays: " + playerctl("status"))
    finally:
        player.stop()
        folder.remove()
        bus.close()
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
