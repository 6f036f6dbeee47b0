"""What a first start does with its command line."""

import os
import sys

from player_process import Checks, Player, ProgramFolder, make_tone, wait_until

check = Checks()


def started(program, folder, args, cwd=None):
    """A first start with args, once it listens for hand-offs."""
    player = Player(program, folder, args, cwd=cwd)
    check(wait_until(folder.listening, 30),
          f"the player with {args} starts: " + player.output())
    return player


def hand_off_tone(program, folder, name):
    """Hands one new tone to the running player; the autosave then shows the
    whole playlist."""
    tone = make_tone(folder.file(name))
    second = Player(program, folder, [name])
    check(second.wait(60) == 0, "the hand-off is taken: " + second.output())
    return tone


def remember(folder):
    """A remembered playlist of one file, as the last session left it."""
    remembered = make_tone(folder.file("remembered.mp3"))
    folder.write("list.kpp", remembered + "\r\n")
    folder.write("settings.ini", "[settings]\r\nDonationMsg=0\r\nLastPlayed="
                 + folder.file("list.kpp") + "\r\n")
    return remembered


def relative_playlist_is_remembered_absolutely(program, folder):
    music = folder.file("music")
    os.mkdir(music)
    tone = make_tone(os.path.join(music, "a.mp3"))
    folder.write("music/list.kpp", tone + "\r\n")
    player = started(program, folder, ["list.kpp"], cwd=music)
    expected = "LastPlayed=" + os.path.join(music, "list.kpp") + "\r\n"
    check(wait_until(lambda: expected in (folder.read("settings.ini") or ""),
                     10),
          "a relative playlist is remembered by its absolute path: "
          + (folder.read("settings.ini") or ""))
    return player


def stream_address_is_added(program, folder):
    stream = "http://127.0.0.1:9/live"
    player = started(program, folder, [stream])
    tone = hand_off_tone(program, folder, "later.mp3")
    check(folder.playlist() == [stream, tone],
          f"the stream address was added as it is: {folder.playlist()}")
    return player


def several_arguments_arrive_after_the_restore(program, folder):
    remembered = remember(folder)
    a = make_tone(folder.file("a.mp3"))
    b = make_tone(folder.file("b.ogg"))
    player = started(program, folder, ["a.mp3", "b.ogg"])
    check(wait_until(lambda: folder.playlist() == [remembered, a, b], 10),
          f"the remembered list, then both files: {folder.playlist()}")
    return player


def unusable_argument_keeps_the_remembered_list(program, folder):
    remembered = remember(folder)
    player = started(program, folder, ["typo.mp3"])
    tone = hand_off_tone(program, folder, "later.mp3")
    check(folder.playlist() == [remembered, tone],
          f"the remembered list was restored: {folder.playlist()}")
    said = [line for line in player.output().splitlines() if "typo.mp3" in line]
    check(len(said) == 1, "one line on stderr names the unused argument: "
          + player.output())
    return player


def a_folder_becomes_the_playlist(program, folder):
    """`kivo-player Album`, then `kivo-player Bonus` from a second start."""
    remember(folder)
    os.makedirs(folder.file("Album/CD2"))
    os.mkdir(folder.file("Bonus"))
    two = make_tone(folder.file("Album/02 Two.mp3"))
    one = make_tone(folder.file("Album/01 one.mp3"))
    cd2 = make_tone(folder.file("Album/CD2/01 Three.mp3"))
    bonus = make_tone(folder.file("Bonus/Extra.mp3"))
    player = started(program, folder, ["Album"])
    second = Player(program, folder, ["Bonus"])
    check(second.wait(60) == 0, "the folder is handed over: " + second.output())
    check(wait_until(lambda: folder.playlist() == [one, two, cd2, bonus], 10),
          f"the album in name order, then the handed folder: "
          f"{folder.playlist()}")
    return player


def main(program):
    for case in (relative_playlist_is_remembered_absolutely,
                 stream_address_is_added,
                 several_arguments_arrive_after_the_restore,
                 unusable_argument_keeps_the_remembered_list,
                 a_folder_becomes_the_playlist):
        folder = ProgramFolder()
        player = None
        try:
            player = case(program, folder)
        finally:
            if player:
                player.stop()
            folder.remove()
    return check.exit_code()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
