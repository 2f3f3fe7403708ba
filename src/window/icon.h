// The program's icon for the window's _NET_WM_ICON property, drawn by
// scripts/galaxy_icon.cpp from the picture of the installed icon and kept
// in the source tree (scripts/make-pictures.sh draws both again; a test
// checks that the generator still draws this one), so that a build never
// runs a program it built: a cross build could not. For each size its
// width and height, then its rows from the top, one 0xAARRGGBB value a
// pixel.
#ifndef STARMILL_WINDOW_ICON_H
#define STARMILL_WINDOW_ICON_H

extern const unsigned long starmillIcon[];
extern const int starmillIconLength;

#endif
