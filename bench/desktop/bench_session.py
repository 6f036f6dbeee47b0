"""The private desktop every player of the comparison runs on, and the
measured run of one player: /usr/bin/time around the whole process, the
per-thread wakeups while it plays, and its end by SIGTERM."""

import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..",
                                "tests", "e2e"))
from player_process import wait_until  # noqa: E402
from x_session import XSession  # noqa: E402


# How long a player may take to end after SIGTERM before it is killed.
TERM_GRACE_S = 3


class Desktop:
    """Xvfb with openbox and a tray host (XSession), plus a private session
    bus, so that no player reaches the user's own desktop or bus."""

    def __init__(self):
        self.x = XSession()
        self.bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.bus_address = self.bus.stdout.readline().strip()

    def env(self, home, extra=None):
        """An environment with its own HOME and XDG folders under `home`."""
        env = dict(self.x.env)
        for name in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "SESSION_MANAGER"):
            env.pop(name, None)
        runtime = os.path.join(home, "run")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_RUNTIME_DIR": runtime,
            "DBUS_SESSION_BUS_ADDRESS": self.bus_address,
            "SDL_AUDIODRIVER": "dummy",
            "LC_ALL": "C.UTF-8",
        })
        env.update(extra or {})
        return env

    def windows_of(self, pid):
        return self.x.xdotool("search", "--onlyvisible", "--pid",
                              str(pid)).split()

    def close(self):
        self.bus.terminate()
        self.bus.wait(timeout=5)
        self.x.close()


def child_of(parent_pid):
    """The process id whose parent is parent_pid, or None."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == parent_pid:
            return int(entry)
    return None


def thread_wakeups(pid):
    """Voluntary context switches of each thread name of a process."""
    counts = {}
    task_dir = f"/proc/{pid}/task"
    for tid in os.listdir(task_dir) if os.path.isdir(task_dir) else []:
        try:
            with open(f"{task_dir}/{tid}/comm") as comm:
                name = comm.read().strip()
            with open(f"{task_dir}/{tid}/status") as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        counts[name] = counts.get(name, 0) + int(line.split()[1])
        except OSError:
            continue
    return counts


class Run:
    """What one measured run gave."""

    def __init__(self, report_text, steady, killed):
        wall, user, system, peak, wakeups = (
            float(f) for f in report_text.split()[-5:])
        self.wall_s = wall
        self.cpu_s = user + system
        self.peak_kib = peak
        self.wakeups = wakeups
        # Wakeups per second of each thread name between two samples taken
        # while the file plays (start-up excluded).
        self.steady = steady
        # The player ignored SIGTERM and was killed.
        self.killed = killed

    def cpu_per_minute(self):
        return self.cpu_s * 60 / self.wall_s

    def wakeups_per_minute(self):
        return self.wakeups * 60 / self.wall_s


def end_process(pid, waiter, grace_s=TERM_GRACE_S):
    """SIGTERM, as a session end sends it; SIGKILL when the process has not
    ended after grace_s. True when it had to be killed."""
    try:
        os.kill(pid, signal.SIGTERM)
        waiter.wait(timeout=grace_s)
        return False
    except ProcessLookupError:
        return False
    except subprocess.TimeoutExpired:
        os.kill(pid, signal.SIGKILL)
        waiter.wait()
        return True


def steady_wakeups(pid, from_s, to_s):
    """Wakeups per second of each thread name between two monotonic times;
    empty when less than two seconds are left for it."""
    time.sleep(max(0.0, from_s - time.monotonic()))
    if to_s - time.monotonic() < 2.0:
        return {}
    first, first_s = thread_wakeups(pid), time.monotonic()
    time.sleep(max(0.0, to_s - time.monotonic()))
    last, span_s = thread_wakeups(pid), time.monotonic() - first_s
    return {name: (count - first.get(name, 0)) / span_s
            for name, count in last.items()}


def measured_run(desktop, command, env, seconds, after_map=None):
    """Runs `command` under /usr/bin/time for `seconds`, then ends it (see
    end_process). after_map(pid) runs once the player's window is visible
    (for the tray row it hides it)."""
    with tempfile.NamedTemporaryFile(prefix="kivo-bench-time.") as report:
        timer = subprocess.Popen(
            ["/usr/bin/time", "-f", "%e %U %S %M %w", "-o", report.name,
             *command], env=env, cwd=env["HOME"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        start = time.monotonic()
        pid = wait_until(lambda: child_of(timer.pid), 10)
        killed = False
        try:
            if after_map is not None and pid:
                wait_until(lambda: desktop.windows_of(pid), 20, 0.2)
                after_map(pid)
            # The threads are sampled over the middle of the playback.
            steady = steady_wakeups(pid, start + max(3.0, seconds * 0.2),
                                    start + seconds - 1.0) if pid else {}
            time.sleep(max(0.0, start + seconds - time.monotonic()))
        finally:
            if pid:
                killed = end_process(pid, timer)
            timer.wait()
        return Run(open(report.name).read(), steady, killed)


def median(values):
    """The median of the values that are not None, or None."""
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fresh_home(prefix):
    return tempfile.mkdtemp(prefix=prefix)


def remove_home(home):
    shutil.rmtree(home, ignore_errors=True)
