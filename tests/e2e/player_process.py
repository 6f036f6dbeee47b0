"""Starts and watches real kivo-player processes for the end-to-end tests."""

import os
import random
import shutil
import signal
import subprocess
import tempfile
import time

import checks


def wait_until(predicate, timeout_s, step_s=0.05):
    """Polls predicate until it holds or the time is up; returns its value."""
    deadline = time.monotonic() + timeout_s
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(step_s)


def make_tone(path, seconds=1, frequency=440):
    """A short sine tone in the format the file name says."""
    subprocess.run(
        ["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
         f"sine=frequency={frequency}:duration={seconds}", path],
        check=True)
    return path


def kill_rounds(one_round, check, default_rounds):
    """Runs one_round(number) for KIVO_CRASH_ROUNDS rounds (default_rounds
    unless set; make soak sets many), the random moments seeded by
    KIVO_CRASH_SEED, until too many checks have failed. Returns the rounds,
    the seconds they took and the sum of what they returned."""
    rounds = int(os.environ.get("KIVO_CRASH_ROUNDS", str(default_rounds)))
    random.seed(os.environ.get("KIVO_CRASH_SEED", "17"))
    began = time.monotonic()
    total = 0
    for number in range(rounds):
        total += one_round(number) or 0
        if check.failed > 20:
            break
    return rounds, time.monotonic() - began, total


def strays(folder, known):
    """What lies in the program folder beside the files a test knows."""
    return [name for name in os.listdir(folder.path) if name not in known]


class Checks:
    """The shared check count (checks.py) as one callable object."""

    def __call__(self, condition, what):
        return checks.check(condition, what)

    @property
    def failed(self):
        return checks.RESULTS["failed"]

    def exit_code(self):
        return checks.summary()


class ProgramFolder:
    """A temporary program folder with the donation prompt answered."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="kivo-e2e-")
        self.runtime = tempfile.mkdtemp(prefix="kivo-e2e-run-")
        os.chmod(self.runtime, 0o700)
        self.write("settings.ini", "[settings]\r\nDonationMsg=0\r\n")

    def file(self, name):
        return os.path.join(self.path, name)

    def write(self, name, text):
        with open(self.file(name), "w", newline="") as out:
            out.write(text)

    def read(self, name):
        try:
            with open(self.file(name), newline="") as source:
                return source.read()
        except FileNotFoundError:
            return None

    def env(self, extra=None):
        env = dict(os.environ)
        env.update({
            "KIVO_PLAYER_HOME": self.path,
            "XDG_RUNTIME_DIR": self.runtime,
            "SDL_AUDIODRIVER": "dummy",
        })
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        env.update(extra or {})
        return env

    def listening(self):
        """True once an instance listens for hand-offs in this folder."""
        sockets = os.path.join(self.runtime, "kivo-player")
        return os.path.isdir(sockets) and any(
            name.endswith(".sock") for name in os.listdir(sockets))

    def playlist(self):
        """The autosaved playlist, one location a line."""
        text = self.read("temp.tmp")
        return text.split("\r\n")[:-1] if text else []

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)


class Player:
    """One running kivo-player; ended (and reaped) by stop()."""

    def __init__(self, program, folder, args=(), env=None, cwd=None):
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [program, *args], env=folder.env(env), cwd=cwd or folder.path,
            stdout=self.log, stderr=subprocess.STDOUT)

    def wait(self, timeout_s):
        try:
            return self.process.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            return None

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            if self.wait(10) is None:
                self.process.kill()
                self.process.wait()

