#!/usr/bin/python3
"""A stand-in for systemd-logind on a private system bus, for the desktop
pieces that will not run without one: xscreensaver-systemd takes a sleep
inhibitor first thing, light-locker looks up its session. Inhibit hands out
a descriptor, every process is in the one session, which takes its hints
and is never locked or put to sleep."""
import os

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


SESSION = "/org/freedesktop/login1/session/starmill"
MANAGER = "org.freedesktop.login1.Manager"


class Session(dbus.service.Object):
    properties = {"Id": "starmill", "Active": True, "IdleHint": False, "LockedHint": False,
                  "Type": "x11", "Class": "user", "State": "active"}

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties

    @dbus.service.method("org.freedesktop.login1.Session", in_signature="b")
    def SetIdleHint(self, idle):
        self.properties["IdleHint"] = bool(idle)

    @dbus.service.method("org.freedesktop.login1.Session", in_signature="b")
    def SetLockedHint(self, locked):
        self.properties["LockedHint"] = bool(locked)

    @dbus.service.signal("org.freedesktop.login1.Session")
    def Lock(self):
        pass

    @dbus.service.signal("org.freedesktop.login1.Session")
    def Unlock(self):
        pass


class Manager(dbus.service.Object):
    @dbus.service.method(MANAGER, in_signature="u", out_signature="o")
    def GetSessionByPID(self, pid):
        return SESSION

    @dbus.service.method(MANAGER, in_signature="s", out_signature="o")
    def GetSession(self, name):
        return SESSION

    @dbus.service.method(MANAGER, in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        # Held while the caller keeps its end open; ours is never read.
        read_end, write_end = os.pipe()
        os.close(write_end)
        inhibitor = dbus.types.UnixFd(read_end)
        os.close(read_end)
        return inhibitor

    @dbus.service.signal(MANAGER, signature="b")
    def PrepareForSleep(self, start):
        pass


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SystemBus()
name = dbus.service.BusName("org.freedesktop.login1", bus)
Manager(bus, "/org/freedesktop/login1")
Session(bus, SESSION)
GLib.MainLoop().run()
