"""The real player in a Wayland session whose desktop offers global shortcuts
through a (fake) portal: the window stays on X11 (Xvfb stands in for
XWayland), the hotkey table is bound at the portal, Activated drives the
player like a grabbed key, and switching the option off releases the session.
The fake portal and playerctl share a private session bus with the player."""

import os
import queue
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from checks import SessionBus, check, failed, summary  # noqa: E402
from player_process import Player, ProgramFolder, make_tone, wait_until  # noqa: E402
import x_session  # noqa: E402

DEBIAN_PYTHON = "/usr/bin/python3"


class FakePortal:
    """A private session bus with the fake GlobalShortcuts portal on it."""

    def __init__(self):
        self.bus = SessionBus()
        self.address = self.bus.address
        self.env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)
        self.portal = subprocess.Popen(
            [DEBIAN_PYTHON, os.path.join(HERE, "fake_shortcuts_portal.py"),
             "--seconds", "120"],
            env=self.env, stdout=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.ready = self.report() == "ready"

    def _read(self):
        for line in self.portal.stdout:
            self.lines.put(line.strip())

    def report(self, timeout_s=15):
        """The portal's next line of report, or "" after timeout_s."""
        try:
            return self.lines.get(timeout=timeout_s)
        except queue.Empty:
            return ""

    def activate(self, shortcut_id):
        subprocess.run(
            ["dbus-send", "--session", "--print-reply",
             "--dest=org.freedesktop.portal.Desktop", "/org/kivo/test",
             "org.kivo.test.FakePortal.Activate", f"string:{shortcut_id}"],
            env=self.env, capture_output=True, timeout=10)

    def playerctl(self, *args):
        return subprocess.run(
            ["playerctl", "-p", "kivoplayer", *args], env=self.env,
            capture_output=True, text=True, timeout=10).stdout.strip()

    def close(self):
        self.portal.terminate()
        self.portal.wait(timeout=5)
        self.bus.close()


def main(program):
    if not x_session.available() or not all(
            os.path.exists(tool) for tool in
            ("/usr/bin/dbus-daemon", "/usr/bin/playerctl", DEBIAN_PYTHON)):
        print("0 passed, 0 failed, 1 skipped: X, dbus or playerctl missing")
        return 0
    session = x_session.XSession()
    portal = FakePortal()
    folder = ProgramFolder()
    folder.write("settings.ini",
                 "[settings]\r\nDonationMsg=0\r\nEnableHotKey=1\r\n")
    tone = make_tone(folder.file("tone.mp3"), seconds=30)
    # No platform named: the player itself must choose X11 over Wayland.
    env = {"DISPLAY": session.display, "QT_QPA_PLATFORM": "",
           "WAYLAND_DISPLAY": "kivo-test-compositor",
           "DBUS_SESSION_BUS_ADDRESS": portal.address}
    player = Player(program, folder, [tone], env=env)
    try:
        check(portal.ready, "the fake portal is on the bus")
        window = session.visible_window("^Kivo Player", 30)
        check(window, "the window shows on the X display")
        created = portal.report()
        check(created.startswith("session "), "a session: " + created)
        bound = portal.report()
        check("Play=CTRL+x" in bound and "Search=CTRL+s" in bound
              and "Vol_Up=CTRL+KP_Add" in bound,
              "the hotkey table is bound: " + bound)
        check(wait_until(lambda: portal.playerctl("status") == "Playing", 15),
              "the tone plays")
        portal.activate("Play")
        check(wait_until(lambda: portal.playerctl("status") == "Paused", 10),
              "Ctrl+X through the portal pauses")
        portal.activate("Search")
        search = session.visible_window("^Search$", 10)
        check(search, "the Search shortcut opens the search window")
        if search:
            session.key(search, "Escape")
            wait_until(lambda: not session.xdotool(
                "search", "--onlyvisible", "--name", "^Search$").strip(), 10)
        if window:
            session.key(window, "F9")
        closed = portal.report()
        check(closed == "closed " + created[len("session "):],
              "switching the option off releases the session: " + closed)
        portal.activate("Play")
        time.sleep(0.5)
        check(portal.playerctl("status") == "Paused",
              "no hotkey fires after the release")
    finally:
        player.stop()
        output = player.output()
        folder.remove()
        portal.close()
        session.close()
    if failed():
        print(output)
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
