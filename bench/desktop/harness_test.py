"""Checks that the desktop comparison measures what it claims, before any
figure is taken: the window-map helper sees a real window appear and reports
a program without one, the first-audio reader hears the chord file and not a
silent one, and the Audacious registry edit leaves only the SDL output on.

  python3 bench/desktop/harness_test.py BUILD_DIR"""

import os
import subprocess
import sys
import tempfile
import unittest

from bench_session import Desktop, fresh_home, remove_home
from players import choose_output, kivo_settings
import desktop_bench
import startup_bench

BUILD = None

REGISTRY = """format 11
output /usr/lib/audacious/Output/alsa.so
name ALSA Output
enabled 1
output /usr/lib/audacious/Output/sdlout.so
name SDL Output
enabled 0
general /usr/lib/audacious/General/mpris2.so
enabled 1
"""


class RegistryTest(unittest.TestCase):
    def test_only_the_wanted_output_is_enabled(self):
        lines = choose_output(REGISTRY, "sdlout.so").splitlines()
        self.assertEqual(lines[3], "enabled 0")  # ALSA
        self.assertEqual(lines[6], "enabled 1")  # SDL
        self.assertEqual(lines[8], "enabled 1")  # not an output: untouched


class DesktopMeasuresTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()
        cls.work = tempfile.mkdtemp(prefix="kivo-bench-check.")
        cls.program = os.path.join(BUILD, "kivo-player")
        cls.helper = os.path.join(BUILD, "bench", "desktop",
                                  "kivo_bench_window_map")
        cls.folder = os.path.join(cls.work, "kivo")
        kivo_settings(cls.folder)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()
        remove_home(cls.work)

    def test_window_map_of_the_player(self):
        result = startup_bench.time_window_map(self.desktop, self.helper,
                                               self.program, self.folder)
        self.assertIsNotNone(result)
        self.assertGreater(result.map_s, 0.01)
        self.assertGreater(result.hwm_kib, 1024)

    def test_program_without_window_is_reported(self):
        home = fresh_home("kivo-bench-check.")
        result = subprocess.run([self.helper, "0", "sleep", "1"],
                                env=self.desktop.env(home),
                                capture_output=True, text=True, timeout=30)
        remove_home(home)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("mapped no window", result.stderr)

    def test_first_audio_hears_sound_and_not_silence(self):
        sound = desktop_bench.make_media(
            os.path.join(self.work, "chords.mp3"), 3)
        silence = os.path.join(self.work, "silence.mp3")
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-f",
                        "lavfi", "-i", "anullsrc=r=44100:cl=stereo", "-t", "3",
                        "-c:a", "libmp3lame", "-b:a", "192k", silence],
                       check=True)
        env = {"QT_QPA_PLATFORM": "xcb", "KIVO_PLAYER_HOME": self.folder}
        heard = startup_bench.time_first_audio(
            self.desktop, [self.program, sound], env, self.work, 10)
        quiet = startup_bench.time_first_audio(
            self.desktop, [self.program, silence], env, self.work, 3)
        self.assertIsNotNone(heard)
        self.assertIsNone(quiet)


if __name__ == "__main__":
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=1)
