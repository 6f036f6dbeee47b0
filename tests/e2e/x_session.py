"""A private X display with a window manager and a tray host, for the tests."""

import ctypes
import os
import shutil
import subprocess
import time

from player_process import wait_until

SCREEN_W, SCREEN_H = 1280, 800
TRAY_W, TRAY_H = 120, 24


class XSession:
    """Xvfb, openbox and trayer; ended by close()."""

    def __init__(self, tray=True):
        self.processes = []
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.processes.append(xvfb)
        with os.fdopen(read_fd) as numbers:
            self.display = ":" + numbers.readline().strip()
        self.display_env = {"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb"}
        self.env = dict(os.environ, **self.display_env)
        self.env.pop("WAYLAND_DISPLAY", None)
        self._start(["openbox"])
        wait_until(lambda: self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
                   .find("window id") >= 0, 10)
        if tray:
            self.start_tray()

    def start_tray(self):
        """Starts the tray host (at login it may come after the programs) and
        waits until it owns the tray: a loaded machine may take seconds, and a
        player that finds no tray host closes rather than hides."""
        self._start(["trayer", "--edge", "top", "--align", "right",
                     "--widthtype", "pixel", "--width", str(TRAY_W),
                     "--heighttype", "pixel", "--height", str(TRAY_H)])
        wait_until(lambda: tray_owned(self.display), 30)

    def _start(self, command):
        self.processes.append(subprocess.Popen(
            command, env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL))

    def run(self, command, check=False):
        result = subprocess.run(command, env=self.env, capture_output=True,
                                text=True, timeout=20, check=check)
        return result.stdout

    def xdotool(self, *args):
        return self.run(["xdotool", *args])

    def key(self, window, *keys):
        """Types keys into a window through the server (XTEST), as a person
        would: synthetic events are ignored by many programs."""
        self.xdotool("windowactivate", "--sync", window)
        self.xdotool("windowfocus", "--sync", window)
        time.sleep(0.2)
        self.xdotool("key", "--delay", "60", *keys)

    def visible_window(self, name_pattern, timeout_s=15):
        """The id of the first visible window whose name matches, or None."""
        def find():
            ids = self.xdotool("search", "--onlyvisible", "--name",
                               name_pattern).split()
            return ids[0] if ids else None
        return wait_until(find, timeout_s)

    def window_state(self, window):
        """The ICCCM state: "Normal", "Iconic" (minimized), or "Withdrawn"
        (hidden, also when the property is gone)."""
        text = self.run(["xprop", "-id", window, "WM_STATE"])
        for state in ("Normal", "Iconic"):
            if f"window state: {state}" in text:
                return state
        return "Withdrawn"

    def geometry(self, window):
        """(x, y, width, height) of a window, frame excluded."""
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell",
                                 window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.isdigit() else value
        return (values.get("X", 0), values.get("Y", 0),
                values.get("WIDTH", 0), values.get("HEIGHT", 0))

    def screenshot(self, path, window="root"):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.run(["import", "-window", window, path])
        return os.path.exists(path)

    def pixel_rows_differ(self, before, after):
        """True when two screenshots differ anywhere."""
        result = subprocess.run(["compare", "-metric", "AE", before, after,
                                 "null:"], capture_output=True, text=True)
        return result.stderr.strip() not in ("0", "")

    def tray_icon_point(self):
        """The middle of the player's icon in the tray host."""
        for window in self.xdotool("search", "--onlyvisible", "--class",
                                   "kivo-player").split():
            x, y, width, height = self.geometry(window)
            if y < TRAY_H and x >= SCREEN_W - TRAY_W and width <= TRAY_H:
                return x + width // 2, y + height // 2
        # trayer packs its icons against its right end.
        return SCREEN_W - TRAY_H // 2, TRAY_H // 2

    def click_tray_icon(self, button, done, tries=3):
        """Clicks the tray icon until done() holds; the icon takes a moment
        to be embedded after it is shown."""
        x, y = self.tray_icon_point()
        for _ in range(tries):
            # Come from elsewhere: the icon must see the pointer enter.
            self.xdotool("mousemove", str(SCREEN_W // 2), str(SCREEN_H // 2))
            time.sleep(0.2)
            self.xdotool("mousemove", str(x), str(y))
            time.sleep(0.3)
            self.xdotool("click", button)
            if done():
                return True
        return False

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
        for process in self.processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()


def tray_owned(display):
    """True when a tray host owns the system tray selection of screen 0."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        return False
    try:
        selection = x11.XInternAtom(connection, b"_NET_SYSTEM_TRAY_S0", 0)
        return x11.XGetSelectionOwner(connection, selection) != 0
    finally:
        x11.XCloseDisplay(connection)


def available():
    return all(shutil.which(tool) for tool in
               ("Xvfb", "openbox", "trayer", "xdotool", "import", "xprop"))


def run_tests(tests, program, checks):
    """Runs each test(session, program) on one private display; the exit
    code of the checks, or 0 with a note when the tools are missing."""
    if not available():
        print("0 passed, 0 failed, 1 skipped: Xvfb, openbox or trayer missing")
        return 0
    session = XSession()
    try:
        for test in tests:
            test(session, program)
    finally:
        session.close()
    return checks.exit_code()
