// A stand-in for the GL, GLU, GLX and GLUT entry points that the simulation
// and the frame code call. Test programs link it instead of the real
// libraries; it records each call with its arguments as they were passed.
#ifndef STARMILL_TESTS_GL_RECORDER_H
#define STARMILL_TESTS_GL_RECORDER_H

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;  // every float, int and enum is exact in a double
    std::string text;          // the bytes of glCallLists
    bool operator==(const GlCall &o) const
    {
        return name == o.name && args == o.args && text == o.text;
    }
};

namespace gl_recorder {

void reset();          // forget the calls, start recording again
void set_recording(bool on);
const std::vector<GlCall> &calls();
std::vector<GlCall> calls_named(const std::string &name);
int count(const std::string &name);

// A 64-bit FNV-1a hash of every recorded call: names, the exact bits of the
// arguments and any bytes, in order. Equal streams give equal values.
unsigned long long fingerprint();

// What glutGet(GLUT_ELAPSED_TIME) answers.
void set_elapsed_ms(int ms);

}  // namespace gl_recorder

#endif
