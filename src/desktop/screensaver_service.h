// The desktop's screen-saver service, org.freedesktop.ScreenSaver on the
// session bus (GNOME's, KDE's, Xfce's and xscreensaver's serve it). Without
// a session bus, or without the service, these do nothing; no call waits
// longer than half a second, and a bus that lets one run out is not asked
// again.
#ifndef STARMILL_DESKTOP_SCREENSAVER_SERVICE_H
#define STARMILL_DESKTOP_SCREENSAVER_SERVICE_H

// Asks the service not to blank the screen until uninhibitScreenSaverService.
void inhibitScreenSaverService();

// Takes the request back, if one is held.
void uninhibitScreenSaverService();

#endif
