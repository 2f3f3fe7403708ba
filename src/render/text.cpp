// Text drawn through the overlay font's display lists.
#include "render/text.h"

#include <cstdarg>
#include <cstdio>

GLuint base = 0;

void printGLf(const char *format, ...)
{
    if (!format) {
        printf("Some error here\n");
        return;
    }
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);

    // Only characters 32 to 127 have a glyph list.
    unsigned char glyphs[sizeof text];
    int n = 0;
    for (const char *c = text; *c; c++) {
        unsigned char ch = static_cast<unsigned char>(*c);
        if (ch >= 32 && ch <= 127)
            glyphs[n++] = ch;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(base - 32);
    glCallLists(n, GL_UNSIGNED_BYTE, glyphs);
    glPopAttrib();
}
