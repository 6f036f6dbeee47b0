"""The desktop comparison: the player and its peers each play the same MP3
with their window shown on one private Xvfb with openbox, output paced by a
null or SDL dummy device, the whole process under /usr/bin/time; then the
start-up figures. Every figure is a median over rounds, and every goal a
ratio against a peer measured in the same run.

  python3 bench/desktop/desktop_bench.py BUILD_DIR

BENCH_SECONDS (60) is the length of the file and of each playing run,
BENCH_ROUNDS (2) the rounds of playing, BENCH_START_ROUNDS (5) those of the
start-up figures, BENCH_ENTRIES (100000) the large playlist."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile

from bench_session import (TERM_GRACE_S, Desktop, fresh_home, measured_run,
                           median, remove_home)
from players import Audacious, Kivo, Qmmp, version
import startup_bench

SECONDS = int(os.environ.get("BENCH_SECONDS", "60"))
ROUNDS = max(1, int(os.environ.get("BENCH_ROUNDS", "2")))
ENTRIES = int(os.environ.get("BENCH_ENTRIES", "100000"))
# Starts are short and vary more with the load: more rounds of them.
START_ROUNDS = max(ROUNDS, int(os.environ.get("BENCH_START_ROUNDS", "5")))


def make_media(path, seconds):
    """Two-sine chords (changing every two seconds) plus a little noise,
    stereo 44.1 kHz, 192 kbit/s MP3."""
    chord = ("0.25*sin(2*PI*t*if(lt(mod(t,4),2),220,196))"
             "+0.25*sin(2*PI*t*if(lt(mod(t,4),2),277.2,293.7))")
    expression = f"{chord}+0.04*(2*random(0)-1)|{chord}+0.04*(2*random(1)-1)"
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi",
                    "-i", f"aevalsrc='{expression}':s=44100:d={seconds}",
                    "-c:a", "libmp3lame", "-b:a", "192k", path], check=True)
    return path


def load_average():
    with open("/proc/loadavg") as source:
        return " ".join(source.read().split()[:3])


def players(program):
    audacious_version = version(["audacious", "--version"], r"(\d+\.\d+)")
    qmmp_version = version(["dpkg-query", "-W", "-f=${Version}", "qmmp"],
                           r"(\d+\.\d+)")
    return [
        ("Kivo Player, window shown", Kivo(program)),
        ("Kivo Player, window shown, level meter on",
         Kivo(program, ["VUmeter=1"])),
        ("Kivo Player, window hidden in the tray",
         Kivo(program, ["ShowTray=1", "MinimizeToTray=1"], hide=True)),
        ("Kivo Player, offscreen (nothing drawn)",
         Kivo(program, platform="offscreen")),
        (f"qmmp {qmmp_version} (Qt5), window shown", Qmmp()),
        (f"Audacious {audacious_version} (GTK), window shown", Audacious()),
        (f"Audacious {audacious_version}, `-H` (no window)",
         Audacious(headless=True)),
    ]


def play_rounds(desktop, rows, media):
    runs = {label: [] for label, _ in rows}
    for round_index in range(ROUNDS):
        print(f"  round {round_index + 1} of {ROUNDS} (load {load_average()})",
              flush=True)
        for label, player in rows:
            home = fresh_home("kivo-bench-play.")
            player.prepare(home)
            command, extra = player.start(home, media)
            runs[label].append(measured_run(
                desktop, command, desktop.env(home, extra), SECONDS,
                player.after_map(desktop)))
            remove_home(home)
    return runs


def print_play_table(runs):
    print(f"\nplaying the {SECONDS} s MP3 (medians of {ROUNDS} rounds):\n")
    print("| player | CPU s per minute | peak RSS MiB "
          "| voluntary context switches per minute "
          "| wakeups/s while playing |")
    print("|---|---|---|---|---|")
    figures = {}
    for label, label_runs in runs.items():
        cpu = median([r.cpu_per_minute() for r in label_runs])
        peak = median([r.peak_kib / 1024 for r in label_runs])
        wake = median([r.wakeups_per_minute() for r in label_runs])
        steady = median([sum(r.steady.values()) for r in label_runs
                         if r.steady])
        figures[label] = (cpu, peak, wake, steady)
        steady_text = "-" if steady is None else f"{steady:.1f}"
        print(f"| {label} | {cpu:.2f} | {peak:.0f} | {wake:,.0f} "
              f"| {steady_text} |")
    killed = [label for label, label_runs in runs.items()
              if any(r.killed for r in label_runs)]
    if killed:
        print(f"\nignored SIGTERM and were killed {TERM_GRACE_S} s later "
              "(playing on until then, counted in the figures per minute): "
              + "; ".join(killed))
    return figures


def print_threads(runs):
    print("\nwakeups per second of each thread while playing (median):")
    for label, label_runs in runs.items():
        names = sorted({n for r in label_runs for n in r.steady})
        rates = {n: median([r.steady.get(n, 0.0) for r in label_runs
                            if r.steady]) for n in names}
        busy = sorted(((rate, n) for n, rate in rates.items() if rate >= 0.5),
                      reverse=True)
        text = ", ".join(f"{n} {rate:.1f}" for rate, n in busy) or "-"
        print(f"  {label}: {text}")


def ratio(numerator, denominator):
    if numerator is None or not denominator:
        return "n/a"
    return f"{numerator / denominator:.2f}"


def print_play_goals(figures, rows):
    labels = [label for label, _ in rows]
    shown, _, tray, _, qmmp, audacious, headless = labels
    print("\ngoals (ratios in this run):")
    print(f"  CPU, window shown / Audacious window shown: "
          f"{ratio(figures[shown][0], figures[audacious][0])}  (goal <= 0.5)")
    print(f"  CPU, hidden in the tray / Audacious -H: "
          f"{ratio(figures[tray][0], figures[headless][0])}  (goal <= 1.5)")
    print(f"  wakeups per second while playing, window shown: "
          f"{figures[shown][3] or 0:.1f}; hidden in the tray: "
          f"{figures[tray][3] or 0:.1f}  (goal <= 20)")
    for peer in (audacious, qmmp):
        print(f"  against {peer}: CPU {ratio(figures[shown][0], figures[peer][0])}, "
              f"peak RSS {ratio(figures[shown][1], figures[peer][1])}, "
              f"wakeups {ratio(figures[shown][2], figures[peer][2])}")


def main():
    # An interrupted run still ends its players and unmounts its files.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    build = os.path.abspath(sys.argv[1])
    program = os.path.join(build, "kivo-player")
    helper = os.path.join(build, "bench", "desktop", "kivo_bench_window_map")
    print(f"desktop comparison: load average at the start {load_average()} "
          f"on {os.cpu_count()} cores", flush=True)
    work = tempfile.mkdtemp(prefix="kivo-bench-desktop.")
    rows = players(program)
    audacious = [player for _, player in rows if isinstance(player, Audacious)]
    desktop = Desktop()
    try:
        media = make_media(os.path.join(work, "chords.mp3"), SECONDS)
        for player in audacious:
            player.prepare_template(desktop)
        runs = play_rounds(desktop, rows, media)
        print_play_goals(print_play_table(runs), rows)
        print_threads(runs)
        startup_bench.report(desktop, helper, program, media, work,
                             START_ROUNDS, ENTRIES)
    finally:
        for player in audacious:
            player.remove_template()
        desktop.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"load average at the end {load_average()}")


if __name__ == "__main__":
    main()
