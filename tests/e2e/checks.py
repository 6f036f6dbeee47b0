"""Counting checks and a private session bus, shared by the scripted tests."""

import subprocess

RESULTS = {"passed": 0, "failed": 0}


def check(condition, what):
    RESULTS["passed" if condition else "failed"] += 1
    if not condition:
        print(f"FAILED: {what}")
    return condition


def failed():
    return RESULTS["failed"] > 0


def summary():
    """Prints the closing line and returns the exit code."""
    print(f"{RESULTS['passed']} passed, {RESULTS['failed']} failed")
    return 1 if failed() else 0


class SessionBus:
    """A private D-Bus session bus; ended by close()."""

    def __init__(self):
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()

    def close(self):
        self.daemon.terminate()
        self.daemon.wait(timeout=5)
