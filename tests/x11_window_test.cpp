// The window, the video-mode switch and the scene set-up on a real X server
// with real GL. Needs DISPLAY to name the project's private server.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/xf86vmode.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "desktop/x_errors.h"
#include "render/bmp.h"
#include "render/text.h"
#include "render/textures.h"
#include "render/view.h"
#include "sim/universe.h"
#include "support/mode_switch.h"
#include "window/events.h"
#include "window/glwin.h"
#include "window/glx_window.h"
#include "window/projection.h"
#include "window/scene.h"
#include "window/visibility.h"

namespace {

// A second connection, as another client on the same desktop sees things.
class Observer {
public:
    Observer() : d_(XOpenDisplay(nullptr)) {}
    ~Observer() { XCloseDisplay(d_); }
    Display *display() { return d_; }

    // The mode in force as WIDTHxHEIGHT; its pixel clock in kHz in *clock.
    std::string mode(int *clock = nullptr)
    {
        int dotclock;
        XF86VidModeModeLine line;
        XF86VidModeGetModeLine(d_, DefaultScreen(d_), &dotclock, &line);
        if (line.privsize)
            XFree(line.c_private);
        if (clock)
            *clock = dotclock;
        return std::to_string(line.hdisplay) + "x" + std::to_string(line.vdisplay);
    }

    // WM_CLASS as "instance.class".
    std::string window_class(Window w)
    {
        XClassHint hint = {nullptr, nullptr};
        if (!XGetClassHint(d_, w, &hint))
            return "";
        std::string both = std::string(hint.res_name) + "." + hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return both;
    }

    // A property of 32-bit cardinals.
    std::vector<unsigned long> cardinals(Window w, const char *property)
    {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char *data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(d_, w, XInternAtom(d_, property, False), 0, 1 << 20, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success && data && format == 32) {
            const unsigned long *longs = reinterpret_cast<const unsigned long *>(data);
            values.assign(longs, longs + count);
        }
        if (data)
            XFree(data);
        return values;
    }

    bool keyboard_grabbed_elsewhere()
    {
        int status = XGrabKeyboard(d_, DefaultRootWindow(d_), False, GrabModeAsync, GrabModeAsync, CurrentTime);
        XUngrabKeyboard(d_, CurrentTime);
        return status == AlreadyGrabbed;
    }

    bool pointer_grabbed_elsewhere()
    {
        int status = XGrabPointer(d_, DefaultRootWindow(d_), False, ButtonPressMask, GrabModeAsync,
                                  GrabModeAsync, None, None, CurrentTime);
        XUngrabPointer(d_, CurrentTime);
        return status == AlreadyGrabbed;
    }

private:
    Display *d_;
};

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// Creates the window with its messages captured.
std::vector<std::string> create(const char *title, int width, int height, int fullscreen)
{
    testing::internal::CaptureStdout();
    createGLWindow(title, width, height, fullscreen);
    fflush(stdout);
    return lines(testing::internal::GetCapturedStdout());
}

class X11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!getenv("DISPLAY"))
            GTEST_SKIP() << "needs the private X server (DISPLAY)";
        rendermode = 1;
    }
    void TearDown() override
    {
        killGLWindow();
        release_galaxy();
    }
    void up(const char *title, int width, int height, int fullscreen)
    {
        messages = create(title, width, height, fullscreen);
    }
    void down() { killGLWindow(); }
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(X11Test, FullScreenSwitchesTheModeGrabsInputAndRestoresTheDesktop)
{
    Observer other;
    ASSERT_EQ(other.mode(), "1024x768");
    up("Starmill - Vanta", 640, 480, 1);

    std::vector<std::string> first(messages.begin(), messages.begin() + 6);
    EXPECT_EQ(first, (std::vector<std::string>{"XF86VidModeExtension-Version 2.2", "Got Doublebuffered Visual!",
                                               "glX-Version 1.4", "Resolution 640x480", "Depth 24",
                                               "Congrats, you have Direct Rendering!"}));
    EXPECT_EQ(messages.at(6), "Data at Offset: 54");
    // The server lists two 640x480 lines (31.5 MHz, then 25.175 MHz): the
    // last one listed is taken.
    int clock = 0;
    EXPECT_EQ(other.mode(&clock), "640x480");
    EXPECT_EQ(clock, 25175);

    XWindowAttributes a;
    XGetWindowAttributes(other.display(), GLWin.window, &a);
    EXPECT_TRUE(a.override_redirect);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, 640);
    EXPECT_EQ(a.height, 480);
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_EQ(a.your_event_mask, 0);
    GLboolean double_buffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &double_buffered);
    EXPECT_TRUE(double_buffered);
    EXPECT_EQ(other.window_class(GLWin.window), "starmill.Starmill");
    EXPECT_EQ(other.cardinals(GLWin.window, "_NET_WM_PID"), std::vector<unsigned long>{unsigned(getpid())});
    EXPECT_EQ(a.all_event_masks, 0x438005);
    EXPECT_TRUE(other.keyboard_grabbed_elsewhere());
    EXPECT_TRUE(other.pointer_grabbed_elsewhere());
    EXPECT_EQ(GLWin.width, 640u);
    EXPECT_EQ(GLWin.height, 480u);

    down();
    EXPECT_EQ(other.mode(), "1024x768");
    EXPECT_FALSE(other.keyboard_grabbed_elsewhere());
    down();  // a second tear-down finds nothing left to do
    EXPECT_EQ(other.mode(), "1024x768");
}

TEST_F(X11Test, FullScreenWithoutAModeLineOfThatSizeKeepsTheDesktopMode)
{
    Observer other;
    up("Starmill -Vanta", 648, 480, 1);
    EXPECT_EQ(messages.at(3), "Resolution 1024x768");
    EXPECT_EQ(other.mode(), "1024x768");
    EXPECT_EQ(GLWin.width, 1024u);
    down();
    EXPECT_EQ(other.mode(), "1024x768");
}

// Another client that holds the keyboard for `ms` milliseconds, as a
// program that is just ending (or a screen locker) would.
pid_t hold_keyboard(int ms)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    pid_t holder = fork();
    if (holder == 0) {
        Display *d = XOpenDisplay(nullptr);
        XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
        XSync(d, False);
        if (write(ready[1], "g", 1) != 1)
            _exit(1);
        usleep(ms * 1000);
        XCloseDisplay(d);
        _exit(0);
    }
    char byte;
    if (read(ready[0], &byte, 1) != 1)
        return -1;
    close(ready[0]);
    close(ready[1]);
    return holder;
}

TEST_F(X11Test, FullScreenWaitsForInputThatAnotherProgramReleasesSoon)
{
    Observer other;
    pid_t holder = hold_keyboard(300);
    ASSERT_GT(holder, 0);
    up("Starmill - Vanta", 640, 480, 1);
    EXPECT_TRUE(other.keyboard_grabbed_elsewhere());
    waitpid(holder, nullptr, 0);
    down();

    // Held for good, the keyboard ends the program, with the desktop's mode
    // given back.
    holder = hold_keyboard(4000);
    ASSERT_GT(holder, 0);
    EXPECT_EXIT(
        {
            freopen("/dev/null", "w", stdout);
            createGLWindow("Starmill - Vanta", 640, 480, 1);
        },
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(other.mode(), "1024x768");
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
}

TEST_F(X11Test, EachTrapReportsOnlyTheErrorsOfItsOwnRequests)
{
    Observer other;
    trapXErrors(other.display());
    XDestroyWindow(other.display(), 1);  // no such window
    EXPECT_EQ(untrapXErrors(other.display()), BadWindow);
    trapXErrors(other.display());
    EXPECT_EQ(untrapXErrors(other.display()), 0);
}

TEST_F(X11Test, WindowedIsAnOrdinaryWindowWithTitleAndCloseProtocol)
{
    Observer other;
    up("Starmill -Vanta", 648, 480, 0);
    EXPECT_EQ(messages.at(3), "Depth 24");  // no resolution line
    EXPECT_EQ(other.mode(), "1024x768");

    XWindowAttributes a;
    XGetWindowAttributes(other.display(), GLWin.window, &a);
    EXPECT_FALSE(a.override_redirect);
    EXPECT_EQ(a.width, 648);
    EXPECT_EQ(a.height, 480);
    char *name = nullptr;
    ASSERT_TRUE(XFetchName(other.display(), GLWin.window, &name));
    EXPECT_STREQ(name, "Starmill -Vanta");
    XFree(name);
    Atom *protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(other.display(), GLWin.window, &protocols, &count));
    ASSERT_EQ(count, 1);
    EXPECT_EQ(protocols[0], XInternAtom(other.display(), "WM_DELETE_WINDOW", True));
    XFree(protocols);
    EXPECT_FALSE(other.keyboard_grabbed_elsewhere());

    // Known to the desktop: the class its desktop entry names, its process
    // and host, and the program's icon.
    EXPECT_EQ(other.window_class(GLWin.window), "starmill.Starmill");
    std::ifstream entry("dist/org.starmill.Starmill.desktop");
    std::string text((std::istreambuf_iterator<char>(entry)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nStartupWMClass=Starmill\n"), std::string::npos);
    EXPECT_EQ(other.cardinals(GLWin.window, "_NET_WM_PID"), std::vector<unsigned long>{unsigned(getpid())});
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    XTextProperty machine;
    ASSERT_TRUE(XGetWMClientMachine(other.display(), GLWin.window, &machine));
    EXPECT_STREQ(reinterpret_cast<char *>(machine.value), host);
    XFree(machine.value);
    std::vector<unsigned long> icon = other.cardinals(GLWin.window, "_NET_WM_ICON");
    ASSERT_GT(icon.size(), 2u);
    ASSERT_EQ(icon.size(), 2 + icon[0] * icon[1] + 2 + icon[0] / 2 * icon[1] / 2);
    std::set<unsigned long> colours(icon.begin() + 2, icon.begin() + 2 + icon[0] * icon[1]);
    EXPECT_GT(colours.size(), 50u) << "a picture, not a blank";

    // Shown while mapped and not covered whole, as the main loop hands the
    // events on. The end of the X server's screen saver only exposes a
    // window that it covered.
    XEvent event = {};
    event.xany.window = GLWin.window;
    event.xvisibility.state = VisibilityFullyObscured;
    for (auto [type, shown] : {std::pair{MapNotify, 1}, {VisibilityNotify, 0}, {Expose, 1}, {UnmapNotify, 0}}) {
        event.type = type;
        dispatchEvent(&event);
        EXPECT_EQ(windowShown(), shown) << "after event " << type;
    }
    down();
    EXPECT_EQ(other.mode(), "1024x768");
}

TEST_F(X11Test, SceneSetUpLeavesAdditiveBlendingAPerspectiveAndItsLists)
{
    up("scene", 640, 480, 0);
    GLint value;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[3], 0.5f);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);
    EXPECT_EQ(zoom, -6.0f);
    EXPECT_EQ(tw, 0.03f);
    ASSERT_NE(universes, nullptr);
    EXPECT_EQ(universes->scale, 37.5);

    // gluPerspective(45, aspect, 0.1f, 100): m[0] = f / aspect, m[5] = f.
    const double f = 1.0 / std::tan(45.0 / 2 * M_PI / 180);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], f / (640.0 / 480.0), 1e-6);
    EXPECT_NEAR(m[5], f, 1e-6);
    EXPECT_NEAR(m[14], 2 * 100.0 * 0.1 / (0.1 - 100.0), 1e-6);
    resizeGLScene(640, 0);
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], f / 640.0, 1e-9);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);

    for (int k = 0; k < 96; k++)
        ASSERT_TRUE(glIsList(base + k)) << k;
    EXPECT_TRUE(glIsList(starlist));

    // The star texture holds the file's pixels, red first, bottom row first.
    TextureImage image = {0, 0, nullptr};
    testing::internal::CaptureStdout();
    ASSERT_EQ(LoadBMP("Data/Star.bmp", &image), 1);
    testing::internal::GetCapturedStdout();
    std::vector<unsigned char> texels(size_t(image.width) * image.height * 3);
    glBindTexture(GL_TEXTURE_2D, texture[0]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(std::equal(texels.begin(), texels.end(), image.data));
    free(image.data);

    // The tear-down deletes what the set-up made, in its context.
    GLuint star_texture = texture[0], sprite = starlist, font = base;
    deleteScene();
    EXPECT_FALSE(glIsTexture(star_texture));
    EXPECT_FALSE(glIsList(sprite));
    EXPECT_FALSE(glIsList(font));
}

TEST_F(X11Test, StarSpriteIsASquareOfHalfEdgeTw)
{
    up("sprite", 640, 480, 0);
    tw = 0.25f;
    buildStarList();
    // Feed the list back through identity matrices and a 2x2 viewport:
    // window x = vertex x + 1.
    glViewport(0, 0, 2, 2);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLfloat feedback[64];
    glFeedbackBuffer(64, GL_2D, feedback);
    glRenderMode(GL_FEEDBACK);
    glCallList(starlist);
    int n = glRenderMode(GL_RENDER);
    // Two triangles of a strip; collect the distinct corners.
    std::vector<std::pair<float, float>> corners;
    for (int i = 0; i < n;) {
        ASSERT_EQ(feedback[i], GL_POLYGON_TOKEN);
        int count = static_cast<int>(feedback[i + 1]);
        for (int v = 0; v < count; v++)
            corners.emplace_back(feedback[i + 2 + 2 * v] - 1, feedback[i + 3 + 2 * v] - 1);
        i += 2 + 2 * count;
    }
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    EXPECT_EQ(corners, (std::vector<std::pair<float, float>>{
                           {-0.25f, -0.25f}, {-0.25f, 0.25f}, {0.25f, -0.25f}, {0.25f, 0.25f}}));

    // Drawn in an 8x8 viewport, a sprite of half-edge 0.5 lights the middle
    // 4x4 pixels, every one of them: the corners in that order make a
    // square only as a strip (as quads they would be a bow-tie).
    tw = 0.5f;
    buildStarList();
    glDisable(GL_TEXTURE_2D);
    glViewport(0, 0, 8, 8);
    glClear(GL_COLOR_BUFFER_BIT);
    glCallList(starlist);
    unsigned char pixels[8 * 8 * 3];
    glReadPixels(0, 0, 8, 8, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            EXPECT_EQ(pixels[(y * 8 + x) * 3] == 255, x >= 2 && x < 6 && y >= 2 && y < 6) << x << "," << y;
}

TEST_F(X11Test, RepeatedCreationReplacesTheContextAndReseedsTheUniverse)
{
    Observer other;
    up("one", 640, 480, 1);
    Universe *record = universes;
    zoom = -9.0f;
    destroyGLWindow();  // as F1 does
    rendermode = 0;
    up("two", 640, 480, 0);
    EXPECT_EQ(universes, record);
    EXPECT_EQ(universes->scale, 12.5);
    EXPECT_EQ(zoom, -100.0f);
    EXPECT_EQ(tw, 0.35f);
    // The mode was given back once: a mode the user sets now is theirs.
    switchToMode(other.display(), 800, 600);
    down();
    EXPECT_EQ(other.mode(), "800x600");
    switchToMode(other.display(), 1024, 768);
    up("three", 640, 480, 1);
    EXPECT_EQ(other.mode(), "640x480");
    down();
    EXPECT_EQ(other.mode(), "1024x768");
}
