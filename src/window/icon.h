// The program's icon for the window's _NET_WM_ICON property, made at build
// time (scripts/galaxy_icon.cpp) from the picture of the installed icon:
// for each size its width and height, then its rows from the top, one
// 0xAARRGGBB value a pixel.
#ifndef STARMILL_WINDOW_ICON_H
#define STARMILL_WINDOW_ICON_H

extern const unsigned long starmillIcon[];
extern const int starmillIconLength;

#endif
