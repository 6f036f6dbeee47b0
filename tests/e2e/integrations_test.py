"""Global hotkeys and MPRIS on a real X display and a private session bus:
xdotool presses the keys, playerctl reads and drives the player."""

import os
import subprocess
import sys
import time

from player_process import Player, ProgramFolder, wait_until
import x_session

RESULTS = {"passed": 0, "failed": 0}


def check(condition, what):
    RESULTS["passed" if condition else "failed"] += 1
    if not condition:
        print(f"FAILED: {what}")
    return condition


class SessionBus:
    def __init__(self):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            stdout=subprocess.PIPE, text=True)
        self.address = self.daemon.stdout.readline().strip()

    def close(self):
        self.daemon.terminate()
        self.daemon.wait(timeout=5)


def tagged_tone(path):
    subprocess.run(
        ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
         "sine=frequency=440:duration=30", "-metadata", "title=Sine",
         "-metadata", "artist=Generator", path], check=True)
    return path


def main(program):
    if not x_session.available() or not all(
            os.path.exists(f"/usr/bin/{tool}") for tool in
            ("dbus-daemon", "playerctl")):
        print("0 passed, 0 failed, 1 skipped: X, dbus or playerctl missing")
        return 0
    session = x_session.XSession()
    bus = SessionBus()
    folder = ProgramFolder()
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\n"
                 "EnableHotKey=1\r\nMSN=1\r\n")
    env = dict(session.display_env, DBUS_SESSION_BUS_ADDRESS=bus.address)
    tone = tagged_tone(folder.file("sine.mp3"))
    player = Player(program, folder, [tone], env=env)

    def playerctl(*args):
        result = subprocess.run(
            ["playerctl", "-p", "kivoplayer", *args],
            env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.address),
            capture_output=True, text=True, timeout=10)
        return result.stdout.strip()

    def status_becomes(expected):
        return wait_until(lambda: playerctl("status") == expected, 10)

    try:
        check(session.visible_window("^Kivo Player", 30), "the player shows")
        check(status_becomes("Playing"), "MPRIS reports Playing")
        check(wait_until(lambda: playerctl("metadata", "title")
                         == "Sine - Generator ()", 10),
              "playerctl shows the announced title: "
              + playerctl("metadata", "title"))
        session.xdotool("key", "ctrl+x")
        check(status_becomes("Paused"), "Ctrl+X pauses")
        session.xdotool("key", "ctrl+x")
        check(status_becomes("Playing"), "Ctrl+X plays again")
        session.xdotool("key", "Num_Lock")
        session.xdotool("key", "ctrl+v")
        check(status_becomes("Stopped"), "Ctrl+V stops, with NumLock on")
        session.xdotool("key", "Num_Lock")
        playerctl("play-pause")
        check(status_becomes("Playing"), "playerctl play-pause starts it")
        playerctl("play-pause")
        check(status_becomes("Paused"), "and pauses it")
    finally:
        player.stop()
        folder.remove()
        bus.close()
        session.close()
    print(f"{RESULTS['passed']} passed, {RESULTS['failed']} failed")
    return 1 if RESULTS["failed"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
