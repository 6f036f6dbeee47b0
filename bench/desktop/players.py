"""How each player of the comparison is set up and started: its own HOME,
its output paced by a null or SDL dummy device, and the file to play."""

import os
import re
import shutil
import subprocess
import time

from bench_session import fresh_home, remove_home, wait_until


def kivo_settings(folder, extra_lines=()):
    """A program folder whose settings.ini has the donation prompt answered."""
    os.makedirs(folder, exist_ok=True)
    lines = ["[settings]", "DonationMsg=0", *extra_lines]
    with open(os.path.join(folder, "settings.ini"), "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


class Kivo:
    """The player under test. `settings` go into [settings]; `platform` is
    Qt's platform plug-in (xcb shows the window, offscreen draws nothing)."""

    def __init__(self, program, settings=(), platform="xcb", hide=False):
        self.program = program
        self.settings = settings
        self.platform = platform
        self.hide = hide

    def prepare(self, home):
        kivo_settings(os.path.join(home, "kivo"), self.settings)

    def start(self, home, media):
        env = {"KIVO_PLAYER_HOME": os.path.join(home, "kivo"),
               "QT_QPA_PLATFORM": self.platform}
        return [self.program, media], env

    def after_map(self, desktop):
        if not self.hide:
            return None

        def minimize_to_tray(pid):
            # Minimize To Tray is on: minimizing hides the window; the tray
            # icon's window stays the one visible.
            shown = desktop.windows_of(pid)
            for window in shown:
                desktop.x.xdotool("windowminimize", window)
            if not wait_until(lambda: len(desktop.windows_of(pid)) < len(shown),
                              10, 0.2):
                print("  warning: the window did not hide into the tray")
        return minimize_to_tray


class Audacious:
    """Audacious through its SDL output (SDL's dummy device paces it)."""

    def __init__(self, headless=False):
        self.headless = headless
        self.template = None

    def prepare_template(self, desktop):
        """Lets Audacious write its plug-in registry once, then chooses the
        SDL output in it; every run copies this home."""
        self.template = fresh_home("kivo-bench-audacious.")
        env = desktop.env(self.template)
        first = subprocess.Popen(["audacious", "-H"], env=env,
                                 stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        registry = os.path.join(env["XDG_CONFIG_HOME"], "audacious",
                                "plugin-registry")
        time.sleep(3)
        first.terminate()
        first.wait(timeout=15)
        with open(registry) as source:
            text = source.read()
        with open(registry, "w") as out:
            out.write(choose_output(text, "sdlout.so"))

    def remove_template(self):
        if self.template:
            remove_home(self.template)

    def prepare(self, home):
        shutil.copytree(self.template, home, dirs_exist_ok=True)

    def start(self, home, media):
        return ["audacious", "-H" if self.headless else "-G", media], {}

    def after_map(self, desktop):
        return None


def choose_output(registry, wanted):
    """The registry text with only the output plug-in `wanted` enabled. Each
    plug-in's block starts with its kind and path and ends with `enabled`."""
    out = []
    is_output = False
    keep = False
    for line in registry.splitlines():
        kind = line.split(" ", 1)[0]
        if kind in ("transport", "playlist", "input", "effect", "output",
                    "vis", "general", "iface"):
            is_output = kind == "output"
            keep = line.endswith("/" + wanted)
        if is_output and line.startswith("enabled "):
            line = "enabled 1" if keep else "enabled 0"
        out.append(line)
    return "\n".join(out) + "\n"


class Qmmp:
    """qmmp through its null output, which sleeps for the audio it takes."""

    def prepare(self, home):
        # qmmp 1.x keeps its settings in ~/.qmmp, not in XDG_CONFIG_HOME.
        folder = os.path.join(home, ".qmmp")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "qmmprc"), "w") as out:
            out.write("[Output]\ncurrent_plugin=null\n")

    def start(self, home, media):
        return ["qmmp", media], {"QT_QPA_PLATFORM": "xcb"}

    def after_map(self, desktop):
        return None


def version(command, pattern):
    """The first match of `pattern` in the output of `command`, or "?"."""
    try:
        result = subprocess.run(command, capture_output=True, text=True,
                                timeout=20)
    except (OSError, subprocess.TimeoutExpired):
        return "?"
    found = re.search(pattern, result.stdout + result.stderr)
    return found.group(1) if found else "?"
