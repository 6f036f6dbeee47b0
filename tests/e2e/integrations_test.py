"""Global hotkeys, MPRIS and the tray on a real X display and a private session
bus: xdotool presses the keys, playerctl and gdbus read and drive the player,
and gdbus monitor sees the signals a desktop media widget would see."""

import os
import subprocess
import sys
import threading
import time

import checks
from checks import check
from player_process import Player, ProgramFolder, make_tone, wait_until
import x_session

MPRIS_NAME = "org.mpris.MediaPlayer2.kivoplayer"
MPRIS_PATH = "/org/mpris/MediaPlayer2"


class SessionBus(checks.SessionBus):
    """A private bus with the player's MPRIS interface at hand."""

    def __init__(self):
        super().__init__()
        self.env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)

    def run(self, *command):
        result = subprocess.run(command, env=self.env, capture_output=True,
                                text=True, timeout=10)
        return result.stdout.strip()

    def playerctl(self, *args):
        return self.run("playerctl", "-p", "kivoplayer", *args)

    def call(self, interface, method, *args):
        return self.run("gdbus", "call", "--session", "--dest", MPRIS_NAME,
                        "--object-path", MPRIS_PATH, "--method",
                        f"{interface}.{method}", *args)

    def player_property(self, name):
        return self.call("org.freedesktop.DBus.Properties", "Get",
                         "org.mpris.MediaPlayer2.Player", name)

    def status_becomes(self, expected):
        return wait_until(lambda: self.playerctl("status") == expected, 10)


class SignalMonitor:
    """The player's signals as a client of the bus receives them; a widget
    that only listens never asks for a property again."""

    def __init__(self, bus):
        self.lines = []
        self.process = subprocess.Popen(
            ["gdbus", "monitor", "--session", "--dest", MPRIS_NAME],
            env=bus.env, stdout=subprocess.PIPE, text=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        # The monitor's first line says it watches the name's owner.
        wait_until(lambda: self.lines, 5)

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.strip())

    def mark(self):
        return len(self.lines)

    def seen(self, text, since, timeout_s=10):
        return wait_until(
            lambda: any(text in line for line in self.lines[since:]),
            timeout_s)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=5)


def tagged_tone(path, seconds=30):
    subprocess.run(
        ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
         f"sine=frequency=440:duration={seconds}", "-metadata", "title=Sine",
         "-metadata", "artist=Generator", path], check=True)
    return path


def start_playing(session, bus, program, folder, tone):
    """The player on the bus with one tone; (player, window) once it plays."""
    env = dict(session.display_env, DBUS_SESSION_BUS_ADDRESS=bus.address)
    player = Player(program, folder, [tone], env=env)
    window = session.visible_window("^Kivo Player", 30)
    check(window, "the player shows")
    check(bus.status_becomes("Playing"), "MPRIS reports Playing")
    return player, window


def test_hotkeys_seek_and_quit(session, bus, program):
    folder = ProgramFolder()
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\n"
                 "EnableHotKey=1\r\nMSN=1\r\nCloseToTray=1\r\n")
    player, window = start_playing(session, bus, program, folder,
                                   tagged_tone(folder.file("sine.mp3")))
    monitor = None
    try:
        check(wait_until(lambda: bus.playerctl("metadata", "title")
                         == "Sine - Generator ()", 10),
              "playerctl shows the announced title: "
              + bus.playerctl("metadata", "title"))
        session.xdotool("key", "ctrl+x")
        check(bus.status_becomes("Paused"), "Ctrl+X pauses")
        session.xdotool("key", "ctrl+x")
        check(bus.status_becomes("Playing"), "Ctrl+X plays again")
        session.xdotool("key", "Num_Lock")
        session.xdotool("key", "ctrl+v")
        check(bus.status_becomes("Stopped"), "Ctrl+V stops, with NumLock on")
        session.xdotool("key", "Num_Lock")
        bus.playerctl("play-pause")
        check(bus.status_becomes("Playing"), "playerctl play-pause starts it")

        monitor = SignalMonitor(bus)
        since = monitor.mark()
        session.key(window, "Right")
        check(monitor.seen(".Seeked (", since),
              "a seek with the arrow key in the player sends Seeked")
        bus.playerctl("play-pause")
        check(bus.status_becomes("Paused"), "and playerctl pauses it")

        bus.call("org.mpris.MediaPlayer2", "Quit")
        check(player.wait(15) == 0,
              "MPRIS Quit ends the program with Close To Tray on")
        check("CloseToTray=1" in (folder.read("settings.ini") or ""),
              "and Close To Tray stays on for the next start")
    finally:
        if monitor:
            monitor.close()
        player.stop()
        folder.remove()


def test_status_signals(session, bus, program):
    folder = ProgramFolder()
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=3\r\n")
    player, window = start_playing(session, bus, program, folder,
                                   make_tone(folder.file("short.mp3"), 5))
    monitor = None
    try:
        monitor = SignalMonitor(bus)
        since = monitor.mark()
        check(monitor.seen("'PlaybackStatus': <'Stopped'>", since, 15),
              "the natural end of the last line sends Stopped")
        check(bus.player_property("CanPlay") == "(<true>,)",
              "a stopped player with a playlist can play")
        since = monitor.mark()
        session.key(window, "ctrl+n")
        check(monitor.seen("'CanPlay': <false>", since),
              "New Playlist sends CanPlay false")
        check(bus.player_property("CanPlay") == "(<false>,)",
              "an empty playlist cannot play: "
              + bus.player_property("CanPlay"))
    finally:
        if monitor:
            monitor.close()
        player.stop()
        folder.remove()


def test_minimize_to_tray_with_a_late_tray_host(program):
    session = x_session.XSession(tray=False)
    folder = ProgramFolder()
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\n"
                 "ShowTray=1\r\nMinimizeToTray=1\r\n")
    player = Player(program, folder, env=session.display_env)
    try:
        window = session.visible_window("^Kivo Player$", 30)
        if not check(window, "the window shows without a tray host"):
            return
        session.start_tray()
        time.sleep(1)
        session.xdotool("windowminimize", window)
        check(wait_until(
                  lambda: session.window_state(window) == "Withdrawn", 5),
              "minimizing hides into the tray host that came later: "
              + session.window_state(window))
        check(session.click_tray_icon("1", lambda: session.visible_window(
                  "^Kivo Player", 3)),
              "and its tray icon brings the window back")
    finally:
        player.stop()
        folder.remove()
        session.close()


def main(program):
    if not x_session.available() or not all(
            os.path.exists(f"/usr/bin/{tool}") for tool in
            ("dbus-daemon", "playerctl", "gdbus")):
        print("0 passed, 0 failed, 1 skipped: X, dbus or playerctl missing")
        return 0
    session = x_session.XSession()
    bus = SessionBus()
    try:
        test_hotkeys_seek_and_quit(session, bus, program)
        test_status_signals(session, bus, program)
    finally:
        bus.close()
        session.close()
    test_minimize_to_tray_with_a_late_tray_host(program)
    return checks.summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
