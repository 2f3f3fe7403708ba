// The desktop's services asked to keep the screen awake: its screen saver
// (org.freedesktop.ScreenSaver: GNOME's proxy, KDE, Cinnamon, light-locker,
// xscreensaver; org.xfce.ScreenSaver: Xfce's own) and its session, whose
// idleness MATE's screen saver and GNOME follow (org.gnome.SessionManager).
// Each is held on its own, through its own owner: one that comes while the
// show is seen is asked at once, one that goes takes its hold with it, and
// an answer that comes after the show was hidden is given back at once.
#ifndef STARMILL_DESKTOP_SERVICE_HOLDS_H
#define STARMILL_DESKTOP_SERVICE_HOLDS_H

// Asks every service running to hold off (wanted 1) on behalf of the
// top-level window `window`, or gives back what they hold (wanted 0).
// Asking again asks only the services not yet asked. Never waits: the
// answers come through the session bus's processing.
void holdDesktopServices(int wanted, unsigned long window);

#endif
