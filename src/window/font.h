// The overlay font: X bitmap glyphs for characters 32 to 127 as GL display
// lists starting at `base`.
#ifndef STARMILL_WINDOW_FONT_H
#define STARMILL_WINDOW_FONT_H

// Builds the 96 lists in the current context from the Helvetica bold font,
// else "fixed"; returns 0 when neither can be loaded.
int buildFont();

// Deletes the lists from the current context; nothing to do without them.
void deleteFont();

#endif
