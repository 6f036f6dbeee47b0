#!/usr/bin/python3
"""A stand-in for the XDG desktop portal's GlobalShortcuts interface on a
private session bus (DBUS_SESSION_BUS_ADDRESS), for the tests.

It owns org.freedesktop.portal.Desktop, answers CreateSession and
BindShortcuts through Request objects as the real portal does, and reports
what happens as lines on standard output:
    ready
    session <session handle>
    bound <id>=<trigger> <id>=<trigger> ...
    closed <session handle>
A test makes it press a shortcut with the method Activate(s id) of
org.kivo.test.FakePortal at /org/kivo/test; Activated then goes to every open
session that bound that id. It ends by itself after --seconds (default 60).

Usage: fake_shortcuts_portal.py [--seconds N] [--refuse-bind] [--bind-once]
(--refuse-bind answers every BindShortcuts with an error; --bind-once refuses
a second BindShortcuts on the same session, as some portals do)
"""

import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL_NAME = "org.freedesktop.portal.Desktop"
PORTAL_PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REQUEST = "org.freedesktop.portal.Request"
SESSION = "org.freedesktop.portal.Session"
PROPERTIES = "org.freedesktop.DBus.Properties"
CONTROL = "org.kivo.test.FakePortal"


def say(line):
    print(line, flush=True)


def sender_part(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    """One request: answers once with Response, after the method returned."""

    def __init__(self, bus, path, results, code=0):
        super().__init__(bus, path)
        GLib.idle_add(self._answer, results, code)

    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass

    def _answer(self, results, code):
        self.Response(dbus.UInt32(code), dbus.Dictionary(results, signature="sv"))
        self.remove_from_connection()
        return False


class Session(dbus.service.Object):
    def __init__(self, bus, path, portal):
        super().__init__(bus, path)
        self.path = path
        self.portal = portal
        self.shortcuts = {}
        self.bound = False

    @dbus.service.method(SESSION, in_signature="", out_signature="")
    def Close(self):
        self.portal.sessions.pop(self.path, None)
        self.remove_from_connection()
        say(f"closed {self.path}")


class Portal(dbus.service.Object):
    def __init__(self, bus, refuse_bind, bind_once):
        super().__init__(bus, PORTAL_PATH)
        self.bus = bus
        self.refuse_bind = refuse_bind
        self.bind_once = bind_once
        self.sessions = {}

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == SHORTCUTS and name == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException(
            "no such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        part = sender_part(sender)
        session_path = (f"{PORTAL_PATH}/session/{part}/"
                        f"{options['session_handle_token']}")
        self.sessions[session_path] = Session(self.bus, session_path, self)
        say(f"session {session_path}")
        return self._request(sender, options,
                             {"session_handle": dbus.String(session_path)})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session_path, shortcuts, parent_window, options,
                      sender=None):
        session = self.sessions.get(str(session_path))
        if session is None:
            raise dbus.exceptions.DBusException(
                "no such session",
                name="org.freedesktop.portal.Error.InvalidArgument")
        if self.refuse_bind or (self.bind_once and session.bound):
            say("refused")
            return self._request(sender, options, {}, code=2)
        session.bound = True
        session.shortcuts = {
            str(shortcut_id): str(props.get("preferred_trigger", ""))
            for shortcut_id, props in shortcuts}
        say("bound " + " ".join(
            f"{key}={value}" for key, value in session.shortcuts.items()))
        bound = dbus.Array(
            [dbus.Struct((key, dbus.Dictionary(
                {"description": dbus.String(key),
                 "trigger_description": dbus.String(value)}, signature="sv")))
             for key, value in session.shortcuts.items()],
            signature="(sa{sv})")
        return self._request(sender, options, {"shortcuts": bound})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    def _request(self, sender, options, results, code=0):
        path = (f"{PORTAL_PATH}/request/{sender_part(sender)}/"
                f"{options['handle_token']}")
        Request(self.bus, path, results, code)
        return dbus.ObjectPath(path)


class Control(dbus.service.Object):
    def __init__(self, bus, portal):
        super().__init__(bus, "/org/kivo/test")
        self.portal = portal

    @dbus.service.method(CONTROL, in_signature="s", out_signature="u")
    def Activate(self, shortcut_id):
        """Presses the shortcut; returns how many sessions it went to."""
        count = 0
        for path, session in list(self.portal.sessions.items()):
            if shortcut_id in session.shortcuts:
                self.portal.Activated(dbus.ObjectPath(path), shortcut_id,
                                      dbus.UInt64(0),
                                      dbus.Dictionary({}, signature="sv"))
                count += 1
        return dbus.UInt32(count)


def main(argv):
    seconds = 60
    if "--seconds" in argv:
        seconds = int(argv[argv.index("--seconds") + 1])
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, "--refuse-bind" in argv, "--bind-once" in argv)
    Control(bus, portal)
    name = dbus.service.BusName(PORTAL_NAME, bus, do_not_queue=True)
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(seconds, loop.quit)
    say("ready")
    loop.run()
    del name
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
