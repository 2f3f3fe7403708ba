#!/usr/bin/env python3
"""A recording stand-in for the desktop's services that keep the screen
awake, on the session bus that DBUS_SESSION_BUS_ADDRESS names: the screen
savers' org.freedesktop.ScreenSaver and org.xfce.ScreenSaver (Inhibit and
UnInhibit) and the session's org.gnome.SessionManager (Inhibit and
Uninhibit), each under its own name. After a first line "ready" it prints a
line for each call: "NAME Inhibit ARGUMENTS... -> COOKIE" as it answers,
"NAME Inhibit ARGUMENTS... unanswered" with --silent, which never answers,
and "NAME UnInhibit COOKIE". With --late SECONDS every answer comes that
late."""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

late = float(sys.argv[sys.argv.index("--late") + 1]) if "--late" in sys.argv else 0.0
silent = "--silent" in sys.argv
# Each stand-in's cookies are its own: one given back to the wrong one fails.
cookies = iter(range(os.getpid() * 100, 1 << 32))
unanswered = []


def answer(name, arguments, reply):
    line = " ".join([name, "Inhibit", *map(str, arguments)])
    if silent:
        print(line, "unanswered", flush=True)
        unanswered.append(reply)
        return

    def send():
        cookie = next(cookies)
        print(line, "->", cookie, flush=True)
        reply(cookie)
    GLib.timeout_add(int(late * 1000), send)


def give_back(name, cookie):
    print(name, "UnInhibit", cookie, flush=True)


def screen_saver(interface):
    class ScreenSaver(dbus.service.Object):
        @dbus.service.method(interface, in_signature="ss", out_signature="u", async_callbacks=("reply", "error"))
        def Inhibit(self, application, reason, reply, error):
            answer(interface, (application, reason), reply)

        @dbus.service.method(interface, in_signature="u")
        def UnInhibit(self, cookie):
            give_back(interface, cookie)
    return ScreenSaver


class SessionManager(dbus.service.Object):
    @dbus.service.method("org.gnome.SessionManager", in_signature="susu", out_signature="u",
                         async_callbacks=("reply", "error"))
    def Inhibit(self, application, window, reason, flags, reply, error):
        answer("org.gnome.SessionManager", (application, window, reason, flags), reply)

    @dbus.service.method("org.gnome.SessionManager", in_signature="u")
    def Uninhibit(self, cookie):
        give_back("org.gnome.SessionManager", cookie)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = []
for service, path, serve in (("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                              screen_saver("org.freedesktop.ScreenSaver")),
                             ("org.xfce.ScreenSaver", "/org/xfce/ScreenSaver", screen_saver("org.xfce.ScreenSaver")),
                             ("org.gnome.SessionManager", "/org/gnome/SessionManager", SessionManager)):
    names.append(dbus.service.BusName(service, bus))
    serve(bus, path)
print("ready", flush=True)
GLib.MainLoop().run()
