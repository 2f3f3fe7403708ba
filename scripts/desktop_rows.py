"""The desktops of scripts/desktops.py: how each one's pieces are started
headless with an idle delay of a minute, and how each one says that it went
idle, blanked or locked."""
import glob
import os
import re
import shutil
import time
from dataclasses import dataclass
from typing import Callable

DELAY_MINUTES = 1
NOBODY = 65534
TRIXIE = os.environ.get("STARMILL_TRIXIE_ROOT", "/var/cache/starmill/trixie")


@dataclass
class Row:
    name: str  # as given on the command line
    title: str
    kind: str  # X11 or Wayland
    release: str
    start: Callable
    idle: Callable
    system_bus: bool = False
    root: str = None  # a system of another release that the desktop's pieces run in
    # On Wayland the keys sent through Xwayland reach the program but not the
    # compositor, which a user's key press always reaches first: this tells
    # the compositor of each key, where its idle count would miss it.
    keyed: Callable = None
    rule: str = None  # the desktop's own setting that holds it, where it has one


def wait_for_name(session, name, timeout=30, bus="--session"):
    """Waits until a service owns `name` on the session (or system) bus."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if session.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                        name, bus=bus) == "(true,)":
            return
        time.sleep(0.3)
    raise RuntimeError(f"{name} never came on the session bus")


def active(name, path, interface=None):
    """The screen saver's own GetActive."""
    return lambda s: s.call(name, path, (interface or name) + ".GetActive") == "(true,)"


def presence_idle(s):
    """GNOME's and Cinnamon's sessions: the presence's status 3 is idle."""
    status = s.call("org.gnome.SessionManager", "/org/gnome/SessionManager/Presence",
                    "org.freedesktop.DBus.Properties.Get", "org.gnome.SessionManager.Presence", "status")
    return status is not None and status.endswith("3>,)")


def start_logind(s):
    s.start("logind", "/usr/bin/python3", os.path.join(os.path.dirname(__file__), "logind_standin.py"))
    wait_for_name(s, "org.freedesktop.login1", bus="--system")


# xscreensaver: the daemon, which starts xscreensaver-systemd for the bus.
def start_xscreensaver(s):
    s.start_xserver()
    with open(os.path.join(s.home, ".xscreensaver"), "w") as f:
        f.write(f"timeout: 0:0{DELAY_MINUTES}:00\nlock: False\nmode: blank\nsplash: False\n")
    start_logind(s)
    s.start("xscreensaver", "xscreensaver", "-no-splash", "-verbose")
    wait_for_name(s, "org.freedesktop.ScreenSaver")


def xscreensaver_blanked(s):
    said = s.run("xscreensaver-command", "-time", check=False).stdout
    return " blanked since" in said or " locked since" in said


# MATE: its session, with no components of its own, and its screen saver,
# which follows the session's idleness.
def start_mate(s):
    s.start_xserver()
    s.gsettings("org.mate.session", "idle-delay", str(DELAY_MINUTES))
    s.gsettings("org.mate.session", "required-components-list", "[]")
    s.gsettings("org.mate.screensaver", "idle-activation-enabled", "true")
    s.gsettings("org.mate.screensaver", "lock-enabled", "false")
    s.start("mate-session", "mate-session", env={"XDG_CONFIG_DIRS": s.path("no-autostart")})
    wait_for_name(s, "org.gnome.SessionManager")
    s.start("mate-screensaver", "mate-screensaver", "--no-daemon")
    wait_for_name(s, "org.mate.ScreenSaver")


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def gnome_session(s, command, group, components):
    """A GNOME-style session manager (GNOME's or Cinnamon's) with only the
    given required components, none of the usual autostart ones, started
    from a session file of our own."""
    write(os.path.join(s.env["XDG_CONFIG_HOME"], command, "sessions", "starmill.session"),
          f"[{group}]\nName=Starmill\nRequiredComponents={';'.join(components)};\n")
    os.makedirs(s.path("no-autostart"))
    s.start(command, command, "--session=starmill", "--autostart=" + s.path("no-autostart"),
            *(("--builtin", "--disable-acceleration-check") if command == "gnome-session" else ()))
    wait_for_name(s, "org.gnome.SessionManager")


# GNOME on X11: mutter as the window manager, which serves the idle monitor
# that the session's presence follows, and the settings daemon's proxy,
# which turns the freedesktop interface into the session's inhibitors.
def start_gnome_x11(s):
    s.start_xserver()
    s.export(XDG_CURRENT_DESKTOP="GNOME")
    s.gsettings("org.gnome.desktop.session", "idle-delay", f"uint32 {DELAY_MINUTES * 60}")
    s.start("mutter", "mutter", "--x11", "--replace", "--sm-disable")
    wait_for_name(s, "org.gnome.Mutter.IdleMonitor")
    gnome_session(s, "gnome-session", "GNOME Session", ["org.gnome.SettingsDaemon.ScreensaverProxy"])
    wait_for_name(s, "org.freedesktop.ScreenSaver")


# Cinnamon: its session, whose presence follows the X server's idle time,
# its settings daemon's proxy, and its screen saver, which follows the
# presence.
def start_cinnamon(s):
    s.start_xserver()
    s.export(XDG_CURRENT_DESKTOP="X-Cinnamon")
    s.gsettings("org.cinnamon.desktop.session", "idle-delay", f"uint32 {DELAY_MINUTES * 60}")
    s.gsettings("org.cinnamon.desktop.screensaver", "lock-enabled", "false")
    gnome_session(s, "cinnamon-session", "Cinnamon Session", ["cinnamon-settings-daemon-screensaver-proxy"])
    wait_for_name(s, "org.freedesktop.ScreenSaver")
    s.start("cinnamon-screensaver", "cinnamon-screensaver", "--hold")
    wait_for_name(s, "org.cinnamon.ScreenSaver")


# KDE Plasma: its session manager, which holds the screen locker; the
# locker's idle timeout counts KIdleTime's idle time.
def kde_locker_settings(s):
    write(os.path.join(s.env["XDG_CONFIG_HOME"], "kscreenlockerrc"),
          f"[Daemon]\nAutolock=true\nTimeout={DELAY_MINUTES}\nLockGrace=0\n")


def start_kde_x11(s):
    s.start_xserver()
    kde_locker_settings(s)
    s.start("ksmserver", "ksmserver")
    wait_for_name(s, "org.freedesktop.ScreenSaver")


# light-locker: it locks when the X server's own screen saver starts.
def start_light_locker(s):
    s.start_xserver()
    s.run("xset", "s", str(DELAY_MINUTES * 60), "0")
    start_logind(s)
    # It locks through the display manager, which it finds by the session;
    # none answers here, which leaves the screen saver's state to read.
    s.start("light-locker", "light-locker", "--no-late-locking", "--lock-after-screensaver=0", "--debug",
            env={"XDG_SESSION_ID": "starmill", "XDG_SESSION_PATH": "/org/freedesktop/DisplayManager/Session0"})
    wait_for_name(s, "org.freedesktop.ScreenSaver")


# Wayland sessions: the compositor starts Xwayland, and the program runs
# there; the compositor alone sees the user's input and counts idleness.
def wait_for_xwayland(s, said):
    """The X display, once `said` (the compositor's log, or a file that a
    piece it started writes) names it."""
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        found = re.search(r"(:\d+)", said())
        if found:
            s.export(DISPLAY=found.group(1))
            return
        time.sleep(0.3)
    raise RuntimeError("the compositor's Xwayland never came")


def read_file(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


# sway: swayidle runs a command once nothing happened for the delay; a
# window's rule (inhibit_idle) is sway's own way to hold it, which rule=True
# adds for the program's window.
def sway(rule):
    def start(s):
        config = s.path("sway.conf")
        write(config, f"xwayland enable\n"
                      f"exec sh -c 'xhost +si:localuser:root && echo \"$DISPLAY\" > {s.path('display')}'\n"
                      f"exec swayidle -w timeout {DELAY_MINUTES * 60} 'touch {s.path('idle')}' resume 'rm {s.path('idle')}'\n"
                      + ("for_window [class=\"Starmill\"] inhibit_idle visible\n" if rule else ""))
        # sway will not run as root; its Xwayland lets root in.
        runtime = s.path("sway-run")
        os.makedirs(runtime, mode=0o700)
        for path in (runtime, s.dir):
            os.chown(path, NOBODY, NOBODY)
        s.start("sway", "setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups",
                "sway", "--config", config,
                env={"WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
                     "XDG_RUNTIME_DIR": runtime, "HOME": runtime})
        wait_for_xwayland(s, lambda: read_file(s.path("display")))
    return start


def sway_idle(s):
    return os.path.exists(s.path("idle"))


def sway_keyed(s):
    """A Shift through sway's virtual keyboard, which sway counts as input."""
    runtime = s.path("sway-run")
    socket = next(name for name in os.listdir(runtime) if name.startswith("wayland-") and not name.endswith(".lock"))
    s.run("wtype", "-k", "Shift_L", env={"XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": socket})
    # swayidle runs its resume command in its own time.
    deadline = time.monotonic() + 5
    while sway_idle(s) and time.monotonic() < deadline:
        time.sleep(0.1)


# GNOME on Wayland: mutter as the compositor, with the session and the proxy.
def start_gnome_wayland(s):
    s.export(XDG_CURRENT_DESKTOP="GNOME")
    s.gsettings("org.gnome.desktop.session", "idle-delay", f"uint32 {DELAY_MINUTES * 60}")
    s.start("mutter", "mutter", "--wayland", "--headless", "--virtual-monitor", "1024x768",
            "--wayland-display", "starmill-" + os.path.basename(s.dir))
    wait_for_xwayland(s, lambda: " ".join(re.findall(r"Using public X11 display :\d+", s.log("mutter"))))
    # Its Xwayland takes only clients that know the cookie.
    s.export(WAYLAND_DISPLAY="starmill-" + os.path.basename(s.dir),
             XAUTHORITY=glob.glob(os.path.join(s.runtime, ".mutter-Xwaylandauth.*"))[0])
    wait_for_name(s, "org.gnome.Mutter.IdleMonitor")
    gnome_session(s, "gnome-session", "GNOME Session", ["org.gnome.SettingsDaemon.ScreensaverProxy"])
    wait_for_name(s, "org.freedesktop.ScreenSaver")


# KDE Plasma on Wayland: kwin_wayland holds the locker itself. The binary
# carries a file capability that this sandbox refuses; a copy runs without.
def start_kde_wayland(s):
    kde_locker_settings(s)
    kwin = s.path("kwin_wayland")
    shutil.copy("/usr/bin/kwin_wayland", kwin)
    # What kwin starts learns its Xwayland display and cookie.
    tell = s.path("tell-display")
    write(tell, f"#!/bin/sh\necho \"$XAUTHORITY\" > {s.path('cookie')}\necho \"$DISPLAY\" > {s.path('display')}\n"
                "exec sleep infinity\n")
    os.chmod(tell, 0o755)
    s.start("kwin", kwin, "--virtual", "--xwayland", "--socket", "starmill-" + os.path.basename(s.dir), tell,
            env={"QT_QPA_PLATFORM": "wayland"})
    wait_for_xwayland(s, lambda: read_file(s.path("display")))
    s.export(WAYLAND_DISPLAY="starmill-" + os.path.basename(s.dir), XAUTHORITY=read_file(s.path("cookie")).strip())
    wait_for_name(s, "org.freedesktop.ScreenSaver")


def kde_keyed(s):
    """The locker's own word for the user's input."""
    s.call("org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver.SimulateUserActivity")


# Xfce: its screen saver counts the X server's idle time and serves its own
# interface. Debian 12 has none, so the row runs Debian 13's.
def start_xfce(s):
    s.start_xserver()
    for prop, kind, value in (("/saver/enabled", "bool", "true"), ("/saver/mode", "int", "0"),
                              ("/saver/idle-activation/enabled", "bool", "true"),
                              ("/saver/idle-activation/delay", "int", str(DELAY_MINUTES)),
                              ("/lock/enabled", "bool", "false")):
        s.run("xfconf-query", "-c", "xfce4-screensaver", "-p", prop, "-n", "-t", kind, "-s", value, inside=True)
    s.start("xfce4-screensaver", "xfce4-screensaver", "--debug")
    wait_for_name(s, "org.xfce.ScreenSaver")


ROWS = [
    Row("xscreensaver", "xscreensaver 6.06", "X11", "Debian 12", start_xscreensaver, xscreensaver_blanked,
        system_bus=True),
    Row("mate", "MATE 1.26", "X11", "Debian 12", start_mate,
        active("org.mate.ScreenSaver", "/org/mate/ScreenSaver")),
    Row("gnome-x11", "GNOME 43", "X11", "Debian 12", start_gnome_x11, presence_idle, system_bus=True),
    Row("cinnamon", "Cinnamon 5.6", "X11", "Debian 12", start_cinnamon,
        active("org.cinnamon.ScreenSaver", "/org/cinnamon/ScreenSaver"), system_bus=True),
    Row("kde-x11", "KDE Plasma 5.27", "X11", "Debian 12", start_kde_x11,
        active("org.freedesktop.ScreenSaver", "/ScreenSaver"), system_bus=True),
    Row("light-locker", "light-locker 1.8", "X11", "Debian 12", start_light_locker,
        active("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"), system_bus=True),
    Row("xfce", "Xfce 4.20 (xfce4-screensaver 4.18)", "X11", "Debian 13", start_xfce,
        active("org.xfce.ScreenSaver", "/org/xfce/ScreenSaver"), root=TRIXIE),
    Row("gnome-wayland", "GNOME 43", "Wayland", "Debian 12", start_gnome_wayland, presence_idle, system_bus=True),
    Row("kde-wayland", "KDE Plasma 5.27", "Wayland", "Debian 12", start_kde_wayland,
        active("org.freedesktop.ScreenSaver", "/ScreenSaver"), system_bus=True, keyed=kde_keyed),
    Row("sway", "sway 1.7 with swayidle", "Wayland", "Debian 12", sway(rule=False), sway_idle, keyed=sway_keyed),
    Row("sway-rule", "sway 1.7 with swayidle and inhibit_idle", "Wayland", "Debian 12", sway(rule=True), sway_idle,
        keyed=sway_keyed, rule="sway's own inhibit_idle rule"),
]
