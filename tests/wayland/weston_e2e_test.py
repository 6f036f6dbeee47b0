"""The real player in a Wayland session without any X display: Debian's
weston with its headless backend, Qt left to pick its platform. It must start,
play a generated file (seen through MPRIS on a private bus, where no portal
offers global shortcuts) and close cleanly when MPRIS asks it to quit."""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from checks import SessionBus, check, failed, summary  # noqa: E402
from player_process import Player, ProgramFolder, make_tone, wait_until  # noqa: E402


class Weston:
    """A headless weston on its own socket in runtime_dir."""

    def __init__(self, runtime_dir):
        self.socket = "kivo-test-wayland"
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so",
             f"--socket={self.socket}", "--idle-time=0"],
            env=dict(os.environ, XDG_RUNTIME_DIR=runtime_dir),
            stdout=self.log, stderr=subprocess.STDOUT)
        self.ready = wait_until(lambda: os.path.exists(
            os.path.join(runtime_dir, self.socket)), 15)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def main(program):
    if not all(shutil.which(tool) for tool in
               ("weston", "dbus-daemon", "playerctl")):
        print("0 passed, 0 failed, 1 skipped: weston, dbus or playerctl "
              "missing")
        return 0
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nEnableHotKey=1\r\n")
    tone = make_tone(folder.file("tone.ogg"), seconds=30)
    weston = Weston(folder.runtime)
    bus = SessionBus()
    address = bus.address
    env = {"WAYLAND_DISPLAY": weston.socket, "XDG_SESSION_TYPE": "wayland",
           "QT_QPA_PLATFORM": "", "DISPLAY": "",
           "DBUS_SESSION_BUS_ADDRESS": address}
    player = None
    try:
        check(weston.ready, "weston runs headless")
        player = Player(program, folder, [tone], env=env)

        def status():
            return subprocess.run(
                ["playerctl", "-p", "kivoplayer", "status"],
                env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address),
                capture_output=True, text=True, timeout=10).stdout.strip()

        check(wait_until(lambda: status() == "Playing", 30),
              "the player starts and plays under weston")
        check(player.process.poll() is None, "and keeps running")
        subprocess.run(
            ["dbus-send", "--session", "--dest=org.mpris.MediaPlayer2.kivoplayer",
             "--print-reply", "/org/mpris/MediaPlayer2",
             "org.mpris.MediaPlayer2.Quit"],
            env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address),
            capture_output=True, timeout=10)
        exit_code = player.wait(20)
        check(exit_code == 0, f"Quit closes it cleanly (exit {exit_code})")
        check("[Size]" in (folder.read("settings.ini") or ""),
              "the shutdown wrote the window size")
    finally:
        if player:
            player.stop()
        bus.close()
        weston.close()
        folder.remove()
    if failed() and player:
        print(player.output())
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
