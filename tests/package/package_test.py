"""The Debian package, checked as a user and a distribution would: CPack builds
it from the build tree, its metadata validates, dpkg installs it into a
temporary root, the installed player starts, plays a generated file and uses
its installed theme and plug-in; a dpkg upgrade reaches a user who has started
it before while the user's own files stay; lintian finds no error.

Usage: package_test.py BUILD_DIR"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from checks import SessionBus, check, failed, summary  # noqa: E402
from player_process import make_tone, wait_until  # noqa: E402
import x_session  # noqa: E402

TOOLS = ("cpack", "dpkg", "dpkg-deb", "desktop-file-validate", "appstreamcli",
         "lintian", "dbus-daemon", "playerctl")
PLUGIN = "kivo-gme.so"


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True,
                          timeout=240, **kwargs)


def build_package(build_dir, out_dir):
    result = run(["cpack", "-G", "DEB", "-B", out_dir], cwd=build_dir)
    debs = [name for name in os.listdir(out_dir) if name.endswith(".deb")]
    if result.returncode != 0 or len(debs) != 1:
        print(result.stdout, result.stderr)
        return None
    return os.path.join(out_dir, debs[0])


def upgraded_package(deb, work):
    """The same package as version +1, with a changed theme and plug-in."""
    tree = os.path.join(work, "v2")
    run(["dpkg-deb", "-R", deb, tree], check=True)
    theme = os.path.join(tree, "usr/share/kivo-player/Theme/Light.ini")
    with open(theme) as source:
        text = source.read()
    with open(theme, "w") as out:
        out.write(text.replace("background_color=#FFFFFF",
                               "background_color=#FF00FF", 1))
    plugin = plugin_path(tree)
    with open(plugin, "ab") as out:
        out.write(b"\0upgraded")
    control = os.path.join(tree, "DEBIAN/control")
    with open(control) as source:
        text = source.read()
    with open(control, "w") as out:
        out.write(text.replace("\nVersion: ", "\nVersion: 99:", 1))
    os.remove(os.path.join(tree, "DEBIAN/md5sums"))
    upgraded = os.path.join(work, "kivo-player-v2.deb")
    run(["dpkg-deb", "--root-owner-group", "-b", tree, upgraded], check=True)
    return upgraded


def plugin_path(root):
    for folder, _, files in os.walk(os.path.join(root, "usr/lib")):
        if PLUGIN in files and folder.endswith("/kivo-player/Plug-ins"):
            return os.path.join(folder, PLUGIN)
    return None


class TempRoot:
    """An empty dpkg database below a folder, to install into."""

    def __init__(self, work):
        self.path = os.path.join(work, "root")
        for sub in ("var/lib/dpkg/info", "var/lib/dpkg/updates"):
            os.makedirs(os.path.join(self.path, sub))
        for name in ("status", "available"):
            open(os.path.join(self.path, "var/lib/dpkg", name), "w").close()

    def install(self, deb):
        # The dependencies are installed on the machine, not in this root.
        result = run(["dpkg", f"--root={self.path}", "--force-depends",
                      "--force-not-root", "--log=/dev/null", "-i", deb])
        if result.returncode != 0:
            print(result.stdout, result.stderr)
        return result.returncode == 0

    def version(self):
        result = run(["dpkg-query", f"--root={self.path}", "-W",
                      "-f=${Version}", "kivo-player"])
        return result.stdout.strip()


class InstalledPlayer:
    """The installed program started as a user, with a private bus."""

    def __init__(self, root, home, session, tone):
        self.bus = SessionBus()
        self.env = dict(os.environ, HOME=home,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_RUNTIME_DIR=os.path.join(home, "run"),
                        DBUS_SESSION_BUS_ADDRESS=self.bus.address,
                        SDL_AUDIODRIVER="dummy",
                        ASAN_OPTIONS="detect_leaks=0", **session.display_env)
        self.env.pop("KIVO_PLAYER_HOME", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [os.path.join(root, "usr/bin/kivo-player"), tone], env=self.env,
            cwd=home, stdout=self.log, stderr=subprocess.STDOUT)

    def status(self):
        return run(["playerctl", "-p", "kivoplayer", "status"],
                   env=self.env).stdout.strip()

    def mapped_inode(self, name):
        """The inode of the mapped file whose path ends in name, or None."""
        with open(f"/proc/{self.process.pid}/maps") as maps:
            for line in maps:
                fields = line.split()
                if len(fields) >= 6 and fields[5].endswith("/" + name):
                    return int(fields[4])
        return None

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.bus.close()


def background_rgb(session, work):
    """The colour of the playlist's empty area in the player's window."""
    window = session.visible_window("^Kivo Player", 30)
    if not window:
        return None
    shot = os.path.join(work, "window.png")
    if not session.screenshot(shot, window):
        return None
    _, _, width, height = session.geometry(window)
    pixel = run(["convert", shot, "-crop", f"1x1+4+{height - 40}",
                 "-format", "%[hex:p]", "info:-"]).stdout.strip()
    return pixel[:6].upper()


def check_start(root, home, session, tone, work, expected_rgb, what):
    player = InstalledPlayer(root.path, home, session, tone)
    try:
        check(wait_until(lambda: player.status() == "Playing", 30),
              f"{what}: the installed player plays a generated file")
        rgb = wait_until(lambda: background_rgb(session, work) == expected_rgb
                         and expected_rgb, 10) or background_rgb(session, work)
        check(rgb == expected_rgb,
              f"{what}: the installed Light theme is used ({rgb})")
        installed = os.stat(plugin_path(root.path)).st_ino
        check(wait_until(lambda: player.mapped_inode(PLUGIN), 10) == installed,
              f"{what}: the installed plug-in is the one loaded")
    finally:
        player.stop()
    if failed():
        print(player.output())


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as out:
        out.write(text)


def read(path):
    with open(path, newline="") as source:
        return source.read()


def check_metadata(root, deb):
    share = os.path.join(root.path, "usr/share")
    desktop = run(["desktop-file-validate",
                   os.path.join(share, "applications/kivo-player.desktop")])
    check(desktop.returncode == 0 and not desktop.stdout.strip(),
          "desktop-file-validate is clean: " + desktop.stdout)
    metainfo = os.path.join(share, "metainfo")
    files = os.listdir(metainfo) if os.path.isdir(metainfo) else []
    appstream = run(["appstreamcli", "validate", "--no-net",
                     *[os.path.join(metainfo, name) for name in files]])
    check(len(files) == 1 and appstream.returncode == 0,
          "appstreamcli validate is clean: " + appstream.stdout)
    for size in ("16x16", "32x32", "48x48", "256x256", "scalable"):
        icons = os.path.join(share, "icons/hicolor", size, "apps")
        check(os.path.isdir(icons) and os.listdir(icons),
              f"an icon of size {size}")
    check(os.path.exists(os.path.join(share, "man/man1/kivo-player.1.gz")),
          "the manual page kivo-player(1)")
    depends = run(["dpkg-deb", "-f", deb, "Depends"]).stdout
    check("libqt6widgets6" in depends and "libavformat" in depends,
          "dependencies computed from the binary: " + depends)
    lintian = run(["lintian", "--tag-display-limit", "0", deb])
    errors = [line for line in lintian.stdout.splitlines()
              if line.startswith("E:")]
    check(not errors, "lintian finds no error: " + "\n".join(errors))
    for line in lintian.stdout.splitlines():
        if line.startswith("W:"):
            print("lintian warning:", line)


def main(build_dir):
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing or not x_session.available():
        print(f"0 passed, 0 failed, 1 skipped: missing {missing or 'X'}")
        return 0
    work = tempfile.mkdtemp(prefix="kivo-package-")
    session = x_session.XSession()
    try:
        deb = build_package(build_dir, os.path.join(work, "out"))
        if not check(deb, "cpack builds one package"):
            return 1
        root = TempRoot(work)
        check(root.install(deb), "dpkg installs it")
        check_metadata(root, deb)

        home = os.path.join(work, "home")
        os.makedirs(os.path.join(home, "run"), mode=0o700)
        user = os.path.join(home, ".config/kivo-player")
        write(os.path.join(user, "settings.ini"),
              "[settings]\r\nDonationMsg=0\r\nTheme=Light\r\nLanguage=Mine\r\n"
              f"[plugins]\r\n{PLUGIN}=1\r\n")
        own = {"language/Mine.lng": "[menu]\r\n04=My stop\r\n",
               "language/English.lng": "[menu]\r\n04=Stop it\r\n"}
        for name, text in own.items():
            write(os.path.join(user, name), text)
        tone = make_tone(os.path.join(work, "tone.ogg"), seconds=30)

        check_start(root, home, session, tone, work, "FFFFFF", "first start")
        check(not os.path.exists(os.path.join(user, "Theme/Light.ini")),
              "no copy of a shipped file in the user's folder")
        check(root.install(upgraded_package(deb, work)) and
              root.version().startswith("99:"), "dpkg upgrades it")
        check_start(root, home, session, tone, work, "FF00FF", "after upgrade")
        for name, text in own.items():
            check(read(os.path.join(user, name)) == text,
                  f"the user's own {name} survives the upgrade")
    finally:
        session.close()
        shutil.rmtree(work, ignore_errors=True)
    return summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
