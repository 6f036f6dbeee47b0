"""Start-up figures: the time until the window is mapped with a remembered
playlist of many existing files against a 3-entry one (warm and cold cache),
the memory each entry costs, and the time from the start to the first audio
of one file given on the command line against mpv's."""

import os
import shutil
import subprocess
import threading
import time

from bench_session import end_process, fresh_home, median, remove_home
from players import kivo_settings

FILES_PER_FOLDER = 1000
SETTLE_MS = 2000


class MediaVolume:
    """A small ext4 file system on a loop device with direct I/O, so that
    unmounting it drops its cached directories, inodes and pages without
    touching the rest of the machine's cache: a cold start for the files the
    player checks. Without loop devices (not root, a container) the files
    live in /tmp and only warm figures are taken."""

    def __init__(self, work, size_mib=512, inodes=250000):
        self.mount_point = os.path.join(work, "media")
        os.makedirs(self.mount_point)
        self.image = os.path.join(work, "media.ext4")
        self.device = None
        try:
            subprocess.run(["truncate", "-s", f"{size_mib}M", self.image],
                           check=True)
            subprocess.run(["mkfs.ext4", "-q", "-F", "-N", str(inodes),
                            self.image], check=True, capture_output=True)
            self.device = subprocess.run(
                ["losetup", "--direct-io=on", "-f", "--show", self.image],
                check=True, capture_output=True, text=True).stdout.strip()
            self._mount()
        except (OSError, subprocess.CalledProcessError):
            self.close()
            self.device = None

    @property
    def can_cool(self):
        return self.device is not None

    def _mount(self):
        subprocess.run(["mount", "-o", "noatime", self.device,
                        self.mount_point], check=True, capture_output=True)

    def cool(self):
        """Unmounts and mounts again: nothing of it stays cached."""
        subprocess.run(["umount", self.mount_point], check=True)
        subprocess.run(["blockdev", "--flushbufs", self.device], check=True)
        self._mount()

    def close(self):
        if self.device:
            subprocess.run(["umount", self.mount_point], capture_output=True)
            subprocess.run(["losetup", "-d", self.device], capture_output=True)
        if os.path.exists(self.image):
            os.remove(self.image)


def write_playlist_folder(root, name, count):
    """A program folder whose remembered playlist (temp.tmp) names `count`
    existing files, a thousand to a folder as in a music collection. The
    files are empty: the start only checks that they exist."""
    home = os.path.join(root, name)
    lines = []
    for index in range(count):
        folder = os.path.join(home, "music",
                              f"Album {index // FILES_PER_FOLDER:04d}")
        if index % FILES_PER_FOLDER == 0:
            os.makedirs(folder)
        path = os.path.join(folder, f"{index % FILES_PER_FOLDER:03d} Track.mp3")
        open(path, "w").close()
        lines.append(path)
    with open(os.path.join(home, "temp.tmp"), "w", newline="") as out:
        out.write("".join(line + "\r\n" for line in lines))
    kivo_settings(home, [f"LastPlayed={os.path.join(home, 'temp.tmp')}"])
    return home


class MapResult:
    def __init__(self, text):
        map_s, hwm_kib, rss_kib = text.split()
        self.map_s = float(map_s)
        self.hwm_kib = int(hwm_kib)
        self.rss_kib = int(rss_kib)


def time_window_map(desktop, helper, program, program_dir):
    """Starts the player with a program folder; None if no window came."""
    home = fresh_home("kivo-bench-start.")
    env = desktop.env(home, {"KIVO_PLAYER_HOME": program_dir,
                             "QT_QPA_PLATFORM": "xcb"})
    try:
        result = subprocess.run([helper, str(SETTLE_MS), program], env=env,
                                capture_output=True, text=True, timeout=120)
    finally:
        remove_home(home)
    if result.returncode != 0:
        print("  window map failed:", result.stderr.strip())
        return None
    return MapResult(result.stdout)


class FirstAudio:
    """Reads what a player sends to SDL's disk output (a FIFO) and notes when
    the first non-silent byte arrives. SDL opens the output again when a
    device is reopened, so the reader opens the FIFO again after each end."""

    def __init__(self, fifo, deadline_s):
        self.fifo = fifo
        self.deadline = time.monotonic() + deadline_s
        self.heard_at = None
        self.stopped = False
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while (self.heard_at is None and not self.stopped and
               time.monotonic() < self.deadline):
            with open(self.fifo, "rb") as source:
                while True:
                    block = source.read(4096)
                    if not block:
                        break
                    if self.heard_at is None and block.count(0) < len(block):
                        self.heard_at = time.monotonic()


def time_first_audio(desktop, command, extra_env, work, deadline_s=30):
    """Seconds from the start of `command` until its first audio, or None."""
    fifo = os.path.join(work, "audio.fifo")
    if os.path.exists(fifo):
        os.remove(fifo)
    os.mkfifo(fifo)
    home = fresh_home("kivo-bench-audio.")
    env = desktop.env(home, dict(extra_env, SDL_AUDIODRIVER="disk",
                                 SDL_DISKAUDIOFILE=fifo))
    listener = FirstAudio(fifo, deadline_s)
    start = time.monotonic()
    player = subprocess.Popen(command, env=env, cwd=home,
                              stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    while listener.heard_at is None and time.monotonic() < listener.deadline:
        if player.poll() is not None:
            break
        time.sleep(0.005)
    end_process(player.pid, player)
    # Unblock a reader still waiting for a writer.
    listener.stopped = True
    try:
        os.close(os.open(fifo, os.O_WRONLY | os.O_NONBLOCK))
    except OSError:
        pass
    listener.thread.join(timeout=5)
    remove_home(home)
    return None if listener.heard_at is None else listener.heard_at - start



def start_rounds(desktop, helper, program, volume, homes, rounds):
    """Per (playlist, cache) case, the MapResults of the rounds. A cold start
    follows an unmount of the files, and the warm start comes right after it;
    without a volume to cool, one unmeasured start warms each list."""
    cases = {}
    if not volume.can_cool:
        for home in homes.values():
            time_window_map(desktop, helper, program, home)
    for _ in range(rounds):
        for name, home in homes.items():
            if volume.can_cool:
                volume.cool()
                cases.setdefault((name, "cold"), []).append(
                    time_window_map(desktop, helper, program, home))
            cases.setdefault((name, "warm"), []).append(
                time_window_map(desktop, helper, program, home))
    return cases


def first_audio_rounds(desktop, program, media, work, rounds):
    """Seconds to the first audio of kivo-player and mpv, one warming run
    each before the rounds."""
    commands = {
        "Kivo Player": ([program, media], {"QT_QPA_PLATFORM": "xcb"}),
        "mpv": (["mpv", "--no-config", "--really-quiet", "--ao=sdl", media],
                {}),
    }
    times = {name: [] for name in commands}
    for round_index in range(rounds + 1):
        for name, (command, env) in commands.items():
            folder = os.path.join(work, "first-audio")
            kivo_settings(folder)
            took = time_first_audio(desktop, command,
                                    dict(env, KIVO_PLAYER_HOME=folder), work)
            shutil.rmtree(folder, ignore_errors=True)
            if round_index > 0:
                times[name].append(took)
    return times


def print_start_table(cases, rounds):
    print(f"\nstart-up until the window is mapped (medians of {rounds} "
          f"rounds; peak and resident memory {SETTLE_MS} ms after the map):\n")
    print("| remembered playlist | cache | window mapped s | peak RSS MiB "
          "| RSS MiB |")
    print("|---|---|---|---|---|")
    figures = {}
    for (name, cache), results in cases.items():
        results = [r for r in results if r is not None]
        if not results:
            continue
        figure = (median([r.map_s for r in results]),
                  median([r.hwm_kib for r in results]),
                  median([r.rss_kib for r in results]))
        figures[(name, cache)] = figure
        print(f"| {name} | {cache} | {figure[0]:.3f} | {figure[1] / 1024:.1f} "
              f"| {figure[2] / 1024:.1f} |")
    return figures


def print_start_goals(figures, entries):
    big, small = f"{entries:,} entries", "3 entries"
    if (small, "warm") not in figures or (big, "warm") not in figures:
        print("  start-up figures incomplete")
        return
    print("\ngoals (ratios in this run):")
    for cache in ("warm", "cold"):
        if (big, cache) in figures and (small, cache) in figures:
            print(f"  window mapped, {big} / 3 entries, both {cache}: "
                  f"{figures[(big, cache)][0] / figures[(small, cache)][0]:.2f}"
                  "  (goal <= 2.5)")
    if (big, "cold") in figures:
        print(f"  window mapped, {big} cold / 3 entries warm: "
              f"{figures[(big, 'cold')][0] / figures[(small, 'warm')][0]:.2f}")
    per_entry = ((figures[(big, "warm")][1] - figures[(small, "warm")][1]) *
                 1024 / (entries - 3))
    print(f"  memory per entry (peak RSS, warm): {per_entry:.0f} bytes  "
          "(goal <= 150)")


def print_first_audio(times):
    kivo, mpv = median(times["Kivo Player"]), median(times["mpv"])
    print("\nstart to first audio of one file on the command line "
          "(SDL disk output into a FIFO, first non-silent byte; medians of "
          f"{len(times['mpv'])} rounds):")
    for name, value in (("Kivo Player, window shown", kivo), ("mpv", mpv)):
        print(f"  {name}: " + ("failed" if value is None else f"{value:.3f} s"))
    if kivo is not None and mpv:
        print(f"  ratio Kivo Player / mpv: {kivo / mpv:.2f}  (goal <= 0.7)")


def report(desktop, helper, program, media, work, rounds, entries):
    volume = MediaVolume(work)
    try:
        root = volume.mount_point
        print(f"\nwriting a remembered playlist of {entries:,} existing "
              f"files ...", flush=True)
        homes = {"3 entries": write_playlist_folder(root, "small", 3),
                 f"{entries:,} entries": write_playlist_folder(root, "large",
                                                               entries)}
        if volume.can_cool:
            print("  cold cache: the files live on a loop-mounted ext4 image "
                  "(direct I/O) that is unmounted and mounted again before "
                  "each cold start; the program and its libraries stay "
                  "cached")
        else:
            print("  no loop device: warm cache only")
        cases = start_rounds(desktop, helper, program, volume, homes, rounds)
        print_start_goals(print_start_table(cases, rounds), entries)
    finally:
        volume.close()
    print_first_audio(first_audio_rounds(desktop, program, media, work,
                                         rounds))
