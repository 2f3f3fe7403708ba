// The guardian: a small second process that gives the video mode back when
// the program dies in a way it cannot handle itself (SIGKILL, a crash in the
// GL driver, an abort).
#ifndef STARMILL_DESKTOP_GUARDIAN_H
#define STARMILL_DESKTOP_GUARDIAN_H

struct ModeLoan;

// Starts it. Call first thing in main, before any connection or thread
// exists: the only moment a plain fork is safe. Without it (fork refused)
// the program runs as before.
void startGuardian();

// Tells it what is on loan now; it keeps the last word it was told.
void tellGuardian(const ModeLoan &loan);

#endif
