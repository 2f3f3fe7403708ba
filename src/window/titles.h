// The window titles. The one after F1 has no blank after the hyphen: users
// and window-manager rules know the window by it.
#ifndef STARMILL_WINDOW_TITLES_H
#define STARMILL_WINDOW_TITLES_H

const char *const kStartTitle = "Starmill - Vanta";
const char *const kToggledTitle = "Starmill -Vanta";

#endif
