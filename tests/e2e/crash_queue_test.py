"""SIGKILL while the Last.fm submission queue is rewritten loses nothing: the
real player, Last.fm on, plays a short tone over and over against a loopback
Audioscrobbler server that refuses every submission, so each track end sends
the queue again and rewrites LastFM.Queue. Each round seeds the queue with
lines the rewrite changes (a "$" becomes a blank) and kills the player at a
random moment; LastFM.Queue must then be the seeded or the rewritten file,
whole, every line a queue line, and no temporary may pile up.
KIVO_CRASH_ROUNDS sets the rounds (make test: a few; make soak: many)."""

import http.server
import random
import sys
import threading
import time

from player_process import (Checks, Player, ProgramFolder, kill_rounds,
                            make_tone, strays, wait_until)

QUEUE_LINES = 150
KNOWN_FILES = {"settings.ini", "temp.tmp", "tone.mp3", "LastFM.Queue",
               "language", "Theme", "Plug-ins"}
SESSION = "0123456789abcdef0123456789abcdef"
# Every request of a round is answered; the server stops at the end anyway.
MAX_REQUESTS = 200000


class Audioscrobbler(http.server.ThreadingHTTPServer):
    """A loopback Audioscrobbler 1.2 server: a handshake gets a session, a
    now-playing notice is taken, a submission is refused."""

    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), ScrobblerHandler)
        self.lock = threading.Lock()
        self.handshakes = 0
        self.refused = 0
        self.requests = 0
        self.thread = threading.Thread(target=self.serve_forever,
                                       kwargs={"poll_interval": 0.05})
        self.thread.start()

    @property
    def base_url(self):
        return f"http://127.0.0.1:{self.server_address[1]}"

    def count(self, what):
        with self.lock:
            self.requests += 1
            if what:
                setattr(self, what, getattr(self, what) + 1)
            return self.requests <= MAX_REQUESTS

    def handle_error(self, request, client_address):
        pass  # a killed player drops its connections: expected here

    def stop(self):
        self.shutdown()
        self.server_close()
        self.thread.join(10)


class ScrobblerHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, body):
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        if not self.server.count("handshakes"):
            return
        base = self.server.base_url
        self.reply(f"OK\n{SESSION}\n{base}/np\n{base}/sub\n")

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        self.rfile.read(length)
        refused = self.path.startswith("/sub")
        if not self.server.count("refused" if refused else None):
            return
        self.reply("FAILED the test server takes nothing\n" if refused
                   else "OK\n")


def seeded_queue(round_number):
    """Queue lines the next rewrite changes: its "$" become blanks."""
    return "".join(
        f"Artist$ {round_number};Title$ {n};{1700000000 + n};200;Album;{n}\r\n"
        for n in range(QUEUE_LINES))


def queue_lines_whole(text):
    if not text.endswith("\r\n"):
        return False
    return all(len(line.split(";")) >= 6 for line in text[:-2].split("\r\n"))


def one_round(program, folder, server, check, round_number):
    seeded = seeded_queue(round_number)
    folder.write("LastFM.Queue", seeded)
    refused_before = server.refused
    player = Player(program, folder, [folder.file("tone.mp3")])
    try:
        # Submissions refused: the queue is being sent, and rewritten after.
        check(wait_until(lambda: server.refused > refused_before, 30),
              f"round {round_number}: the player sends its queue")
        time.sleep(random.uniform(0, 1.2))
    finally:
        player.process.kill()
        player.process.wait()
    queue = folder.read("LastFM.Queue")
    check(queue in (seeded, seeded.replace("$", " ")),
          f"round {round_number}: LastFM.Queue is the old or the new file")
    check(queue is not None and queue_lines_whole(queue),
          f"round {round_number}: every line of LastFM.Queue is whole")
    left = strays(folder, KNOWN_FILES)
    check(len(left) <= 1, f"round {round_number}: temporaries pile up: {left}")
    return queue == seeded.replace("$", " ")


def main(program):
    check = Checks()
    folder = ProgramFolder()
    server = Audioscrobbler()
    try:
        make_tone(folder.file("tone.mp3"), seconds=0.3)
        folder.write("settings.ini",
                     "[settings]\r\nDonationMsg=0\r\nLastFM=1\r\nMode=2\r\n"
                     f"[Last.fm]\r\nuser=tester\r\npass=x\r\n"
                     f"server={server.base_url}\r\n")
        rounds, seconds, rewritten = kill_rounds(
            lambda number: one_round(program, folder, server, check, number),
            check, 4)
        print(f"{rounds} rounds in {seconds:.1f} s, {rewritten} ended with "
              f"the rewritten queue, {server.refused} submissions refused")
        check(server.handshakes >= 1, "the player shook hands with the server")
    finally:
        server.stop()
        folder.remove()
    return check.exit_code()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
