// Monitors that change while the program runs.
#ifndef STARMILL_WINDOW_FOLLOW_MONITORS_H
#define STARMILL_WINDOW_FOLLOW_MONITORS_H

// After a monitor was lit, switched off, moved or set to another mode: a
// switched video mode is given back as soon as a second monitor is lit, and
// a full-screen window at the desktop's own modes is moved onto the primary
// monitor's area whenever that differs.
void followMonitors();

#endif
