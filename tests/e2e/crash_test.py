"""SIGKILL at any moment loses nothing: the real player is killed at random
moments while second starts hand it files (each autosaving a 20,000-entry
playlist to temp.tmp) and MPRIS changes its volume (settings.ini). After
every kill each file is whole and holds its last acknowledged content or the
one being written, settings.ini stays owner-only, and no temporary file
piles up. KIVO_CRASH_ROUNDS sets the number of rounds (make soak: 1000)."""

import os
import random
import stat
import sys
import threading
import time

from integrations_test import MPRIS_NAME, SessionBus
from player_process import (Checks, Player, ProgramFolder, kill_rounds,
                            make_tone, strays, wait_until)

BASE_ENTRIES = 20000
VOLUMES = (0.25, 0.5, 0.75)
KNOWN_FILES = {"settings.ini", "temp.tmp", "tone.mp3", "language", "Theme",
               "Plug-ins"}


def sockets(folder):
    """The hand-off sockets by inode and change time (a new one may reuse a
    freed inode); a killed player leaves its own behind."""
    links = os.path.join(folder.runtime, "kivo-player")
    if not os.path.isdir(links):
        return set()
    found = set()
    for name in os.listdir(links):
        if name.endswith(".sock"):
            info = os.stat(os.path.join(links, name))
            found.add((info.st_ino, info.st_ctime_ns))
    return found


def started(folder, bus, stale_sockets):
    """The new player listens on a socket of its own and owns its bus name."""
    return wait_until(lambda: sockets(folder) - stale_sockets, 30) and \
        wait_until(bus.has_player, 30)


class CrashBus(SessionBus):
    """The private session bus, asked whether the player owns its name and
    told to change its volume (a settings write acknowledged by the reply)."""

    def has_player(self):
        return "true" in self.run(
            "gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
            "--object-path", "/", "--method",
            "org.freedesktop.DBus.NameHasOwner", MPRIS_NAME)

    def set_volume(self, volume):
        return self.call("org.freedesktop.DBus.Properties", "Set",
                         "org.mpris.MediaPlayer2.Player", "Volume",
                         f"<{volume}>") == "()"


class Expected:
    """What each file may hold: the last content a writer saw acknowledged,
    or the one in flight when the kill came."""

    def __init__(self, folder):
        self.playlist = [f"/music/album {i // 12}/track {i}.flac"
                         for i in range(BASE_ENTRIES)]
        self.playlist_in_flight = None
        self.volume = None
        self.volume_in_flight = None
        self.volume_changes = 0
        self.lock = threading.Lock()
        folder.write("temp.tmp", "".join(f"{line}\r\n"
                                         for line in self.playlist))
        folder.write("settings.ini",
                     "[settings]\r\nDonationMsg=0\r\n"
                     f"LastPlayed={folder.file('temp.tmp')}\r\n")
        os.chmod(folder.file("settings.ini"), 0o600)


class Writers:
    """Two streams of writes against one running player until stopped."""

    def __init__(self, program, folder, bus, expected, tone_names):
        self.program, self.folder, self.bus = program, folder, bus
        self.expected, self.tone_names = expected, tone_names
        self.stopped = threading.Event()
        expected.playlist_in_flight = None
        expected.volume_in_flight = None
        self.second = None
        self.threads = [threading.Thread(target=self._hand_off),
                        threading.Thread(target=self._change_volume)]
        for thread in self.threads:
            thread.start()

    def _hand_off(self):
        while not self.stopped.is_set():
            name = self.folder.file(next(self.tone_names))
            with self.expected.lock:
                if self.stopped.is_set():
                    return
                self.expected.playlist_in_flight = name
                self.second = Player(self.program, self.folder, [name],
                                     env={"DBUS_SESSION_BUS_ADDRESS": ""})
            code = self.second.wait(30)
            if code != 0:
                return  # killed with the player: the hand-off stays in flight
            with self.expected.lock:
                self.expected.playlist.append(name)
                self.expected.playlist_in_flight = None

    def _change_volume(self):
        while not self.stopped.is_set():
            volume = random.choice(VOLUMES)
            with self.expected.lock:
                self.expected.volume_in_flight = volume
            if not self.bus.set_volume(volume):
                return  # the player is gone: the change stays in flight
            with self.expected.lock:
                self.expected.volume = volume
                self.expected.volume_in_flight = None
                self.expected.volume_changes += 1

    def stop(self, first):
        """Kills the player, then any second start that may have become one."""
        with self.expected.lock:
            self.stopped.set()
            first.process.kill()
            if self.second is not None:
                self.second.process.kill()
        for thread in self.threads:
            thread.join(40)
        first.process.wait()


def parse_settings(text):
    """The values of a whole settings.ini, or None for a broken one."""
    if not text or not text.endswith("\r\n"):
        return None
    values = {}
    for line in text[:-2].split("\r\n"):
        if line.startswith("[") and line.endswith("]"):
            continue
        key, equals, value = line.partition("=")
        if not equals or not key:
            return None
        values[key] = value
    return values


def check_files(folder, expected, check, round_number):
    with expected.lock:
        lines = (folder.read("temp.tmp") or "").split("\r\n")
        whole = lines[-1] == "" and lines[:-1]
        allowed = [expected.playlist]
        if expected.playlist_in_flight:
            allowed.append(expected.playlist + [expected.playlist_in_flight])
        check(whole and lines[:-1] in allowed,
              f"round {round_number}: temp.tmp holds {len(lines) - 1} whole "
              f"lines, expected {len(expected.playlist)} (+1 in flight)")
        if whole and lines[:-1] != expected.playlist:
            expected.playlist.append(expected.playlist_in_flight)
        values = parse_settings(folder.read("settings.ini"))
        check(values is not None and values.get("DonationMsg") == "0"
              and values.get("LastPlayed") == folder.file("temp.tmp"),
              f"round {round_number}: settings.ini is whole: {values}")
        volumes = {None if expected.volume is None
                   else str(round(expected.volume * 10000))}
        if expected.volume_in_flight is not None:
            volumes.add(str(round(expected.volume_in_flight * 10000)))
        stored = (values or {}).get("volume")
        check(stored in volumes,
              f"round {round_number}: volume {stored} is one of {volumes}")
        if stored is not None and stored != str(round(
                (expected.volume or 0) * 10000)):
            expected.volume = int(stored) / 10000
    mode = stat.S_IMODE(os.stat(folder.file("settings.ini")).st_mode)
    check(mode == 0o600, f"round {round_number}: settings.ini mode {mode:o}")


def own_strays(folder):
    return [name for name in strays(folder, KNOWN_FILES)
            if not name.startswith("tone ")]


def one_round(program, folder, bus, expected, tones, check, round_number):
    stale_sockets = sockets(folder)
    first = Player(program, folder,
                   env={"DBUS_SESSION_BUS_ADDRESS": bus.address})
    if not check(started(folder, bus, stale_sockets),
                 f"round {round_number}: the player listens"):
        first.process.kill()
        first.process.wait()
        print(first.output())
        return
    writers = Writers(program, folder, bus, expected, tones)
    try:
        time.sleep(random.uniform(0.05, 1.5))
    finally:
        writers.stop(first)
    check_files(folder, expected, check, round_number)
    left = own_strays(folder)
    check(len(left) <= 1, f"round {round_number}: temporaries pile up: {left}")


def tone_names(folder):
    """An endless supply of distinct media files (links to one tone)."""
    number = 0
    while True:
        number += 1
        name = f"tone {number}.mp3"
        os.link(folder.file("tone.mp3"), folder.file(name))
        yield name


def start_after_kills(program, folder, bus, check):
    stale_sockets = sockets(folder)
    last = Player(program, folder,
                  env={"DBUS_SESSION_BUS_ADDRESS": bus.address})
    try:
        check(started(folder, bus, stale_sockets),
              "a start after the last kill works")
        check(wait_until(lambda: bus.set_volume(0.5), 10),
              "and takes a volume change")
    finally:
        last.stop()
    check(own_strays(folder) == [],
          f"no temporary is left: {own_strays(folder)}")


def main(program):
    check = Checks()
    folder = ProgramFolder()
    bus = CrashBus()
    try:
        expected = Expected(folder)
        make_tone(folder.file("tone.mp3"), seconds=1)
        tones = tone_names(folder)
        rounds, seconds, _ = kill_rounds(
            lambda number: one_round(program, folder, bus, expected, tones,
                                     check, number),
            check, 20)
        print(f"{rounds} rounds in {seconds:.1f} s, "
              f"{len(expected.playlist) - BASE_ENTRIES} hand-offs and "
              f"{expected.volume_changes} volume changes acknowledged")
        start_after_kills(program, folder, bus, check)
    finally:
        bus.close()
        folder.remove()
    return check.exit_code()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
