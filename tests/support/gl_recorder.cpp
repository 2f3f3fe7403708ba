#include "gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>
#include <GL/glx.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

std::vector<GlCall> recorded;
bool recording = true;
int elapsed_ms = 0;
GLuint next_name = 1;

void record(const char *name, std::initializer_list<double> args, std::string text = {})
{
    if (recording)
        recorded.push_back({name, args, std::move(text)});
}

}  // namespace

namespace gl_recorder {

void reset()
{
    recorded.clear();
    recording = true;
}
void set_recording(bool on) { recording = on; }
const std::vector<GlCall> &calls() { return recorded; }
std::vector<GlCall> calls_named(const std::string &name)
{
    std::vector<GlCall> out;
    for (const auto &c : recorded)
        if (c.name == name)
            out.push_back(c);
    return out;
}
int count(const std::string &name) { return static_cast<int>(calls_named(name).size()); }
void set_elapsed_ms(int ms) { elapsed_ms = ms; }

unsigned long long fingerprint()
{
    unsigned long long h = 14695981039346656037ull;
    auto mix = [&h](unsigned char byte) {
        h ^= byte;
        h *= 1099511628211ull;
    };
    for (const auto &c : recorded) {
        for (char ch : c.name)
            mix(static_cast<unsigned char>(ch));
        mix(0);
        // A double's bits least significant byte first, whatever the host's
        // byte order, so that every architecture can match the golden value.
        for (double a : c.args) {
            uint64_t bits;
            memcpy(&bits, &a, sizeof bits);
            for (int byte = 0; byte < 8; byte++)
                mix(static_cast<unsigned char>(bits >> (8 * byte)));
        }
        for (char ch : c.text)
            mix(static_cast<unsigned char>(ch));
    }
    return h;
}

}  // namespace gl_recorder

extern "C" {

void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { record("glColor4ub", {double(r), double(g), double(b), double(a)}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record("glColor4f", {r, g, b, a}); }
void glLoadIdentity() { record("glLoadIdentity", {}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {a, x, y, z}); }
void glCallList(GLuint list) { record("glCallList", {double(list)}); }
void glNewList(GLuint list, GLenum mode) { record("glNewList", {double(list), double(mode)}); }
void glEndList() { record("glEndList", {}); }
void glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void glEnd() { record("glEnd", {}); }
void glTexCoord2f(GLfloat s, GLfloat t) { record("glTexCoord2f", {s, t}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void glBindTexture(GLenum target, GLuint name) { record("glBindTexture", {double(target), double(name)}); }
void glRasterPos2f(GLfloat x, GLfloat y) { record("glRasterPos2f", {x, y}); }
void glPushAttrib(GLbitfield mask) { record("glPushAttrib", {double(mask)}); }
void glPopAttrib() { record("glPopAttrib", {}); }
void glListBase(GLuint b) { record("glListBase", {double(b)}); }
void glCallLists(GLsizei n, GLenum type, const GLvoid *lists)
{
    record("glCallLists", {double(n), double(type)}, std::string(static_cast<const char *>(lists), n));
}
void glGenTextures(GLsizei n, GLuint *names)
{
    for (GLsizei i = 0; i < n; i++)
        names[i] = next_name++;
    record("glGenTextures", {double(n)});
}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border,
                  GLenum format, GLenum type, const GLvoid *pixels)
{
    // The texels are kept as text so that tests can compare them.
    std::string texels(static_cast<const char *>(pixels), static_cast<size_t>(w) * h * 3);
    record("glTexImage2D", {double(target), double(level), double(internal), double(w), double(h),
                            double(border), double(format), double(type)},
           texels);
}
void glTexParameteri(GLenum target, GLenum name, GLint value) { record("glTexParameteri", {double(target), double(name), double(value)}); }
void glPixelStorei(GLenum name, GLint value) { record("glPixelStorei", {double(name), double(value)}); }
GLuint glGenLists(GLsizei range)
{
    GLuint first = next_name;
    next_name += range;
    record("glGenLists", {double(range)});
    return first;
}
void glDeleteTextures(GLsizei n, const GLuint *names)
{
    for (GLsizei i = 0; i < n; i++)
        record("glDeleteTextures", {double(names[i])});
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {double(x), double(y), double(w), double(h)}); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far) { record("gluPerspective", {fovy, aspect, near, far}); }
void glDeleteLists(GLuint list, GLsizei range) { record("glDeleteLists", {double(list), double(range)}); }
void glXSwapBuffers(Display *, GLXDrawable drawable) { record("glXSwapBuffers", {double(drawable)}); }
int glutGet(GLenum query)
{
    record("glutGet", {double(query)});
    return elapsed_ms;
}

}  // extern "C"
