#!/usr/bin/env python3
"""A recording stand-in for the desktop's screen-saver service: it serves
org.freedesktop.ScreenSaver's Inhibit and UnInhibit on the session bus that
DBUS_SESSION_BUS_ADDRESS names, and prints a line for each call it answers
("Inhibit APPLICATION REASON -> COOKIE", "UnInhibit COOKIE"), after a first
line "ready"."""
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

INTERFACE = "org.freedesktop.ScreenSaver"


class ScreenSaver(dbus.service.Object):
    cookies = 0

    @dbus.service.method(INTERFACE, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        self.cookies += 1
        print(f"Inhibit {application} {reason} -> {self.cookies}", flush=True)
        return self.cookies

    @dbus.service.method(INTERFACE, in_signature="u")
    def UnInhibit(self, cookie):
        print(f"UnInhibit {cookie}", flush=True)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(INTERFACE, bus)
ScreenSaver(bus, "/org/freedesktop/ScreenSaver")
print("ready", flush=True)
GLib.MainLoop().run()
