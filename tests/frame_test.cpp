// The frame and its FPS overlay, against the recording GL stand-in.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "gl_recorder.h"
#include "render/text.h"
#include "render/textures.h"
#include "render/view.h"
#include "sim_fixture.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/resize.h"

namespace {

class FrameTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        fpstoggle = 0;
        frame = 0;
        timebase = 0;
        texture[0] = 3;
        texture[1] = 4;
        base = 1000;
        GLWin.doubleBuffered = 1;
        GLWin.window = 77;
        make_universe({{1, {0, 0, 0}, {0, 0, 0}, {}}});
    }

    // The text of the overlay in the frame drawn last.
    std::string overlay_text()
    {
        auto lists = gl_recorder::calls_named("glCallLists");
        return lists.empty() ? "<none>" : lists.back().text;
    }

    void frame_at(int ms)
    {
        gl_recorder::reset();
        gl_recorder::set_elapsed_ms(ms);
        drawGLScene();
    }
};

}  // namespace

TEST_F(FrameTest, FrameClearsDrawsTheUniverseAndSwaps)
{
    drawGLScene();
    std::vector<GlCall> expected = {{"glClear", {0x4100}, ""},
                                    {"glBindTexture", {GL_TEXTURE_2D, 3}, ""},
                                    {"glColor4ub", {10, 20, 30, 255}, ""},
                                    {"glXSwapBuffers", {77}, ""}};
    EXPECT_EQ(gl_recorder::calls(), expected);
    EXPECT_EQ(universes->steps, 1);

    GLWin.doubleBuffered = 0;
    frame_at(0);
    EXPECT_EQ(gl_recorder::count("glXSwapBuffers"), 0);
}

TEST_F(FrameTest, OverlayIsDrawnInDimRedThroughTheFontLists)
{
    fpstoggle = 1;
    frame_at(500);
    auto calls = gl_recorder::calls();
    std::vector<GlCall> overlay(calls.begin() + 3, calls.end() - 1);
    std::vector<GlCall> expected = {{"glutGet", {700}, ""},
                                    {"glBindTexture", {GL_TEXTURE_2D, 4}, ""},
                                    {"glColor4f", {0.5, 0, 0, 0.5}, ""},
                                    {"glLoadIdentity", {}, ""},
                                    {"glTranslatef", {-5.5, 4, -10}, ""},
                                    {"glRasterPos2f", {0, 0}, ""},
                                    {"glPushAttrib", {0x20000}, ""},
                                    {"glListBase", {1000 - 32}, ""},
                                    {"glCallLists", {10, GL_UNSIGNED_BYTE}, "Starmill: "},
                                    {"glPopAttrib", {}, ""}};
    EXPECT_EQ(overlay, expected);
}

TEST_F(FrameTest, FigureIsTheMeanRateOverMoreThanASecond)
{
    fpstoggle = 1;
    frame = 59;
    frame_at(1001);  // the 60th frame
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=59.94");
    EXPECT_EQ(frame, 0);
    EXPECT_EQ(timebase, 1001);

    frame = 9;
    frame_at(2001);  // exactly 1000 ms later: no new figure yet
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=59.94");
    EXPECT_EQ(frame, 10);

    frame = 4;
    frame_at(3001);  // 5 frames in 2000 ms
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=2.50");

    // The clock is the wall clock cut to an int: across its wrap, and on a
    // day when it is negative from the start.
    timebase = INT_MAX - 500;
    frame = 59;
    frame_at(INT_MIN + 500);
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=59.94");
    timebase = 0;
    frame_at(-2000000000);
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=0.00");
    frame = 59;
    frame_at(-2000000000 + 1001);
    EXPECT_EQ(overlay_text(), "Starmill: avgFPS=59.94");
}

TEST_F(FrameTest, OverlayOffNeitherAsksTheClockNorCounts)
{
    frame = 12;
    frame_at(5000);
    EXPECT_EQ(gl_recorder::count("glutGet"), 0);
    EXPECT_EQ(gl_recorder::count("glCallLists"), 0);
    EXPECT_EQ(frame, 12);
}

TEST_F(FrameTest, PrintGlfDrawsOnlyGlyphsTheFontHasAndNeverOverrunsItsBuffer)
{
    testing::internal::CaptureStdout();
    printGLf(nullptr);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Some error here\n");
    EXPECT_TRUE(gl_recorder::calls().empty());

    printGLf("%s", "");
    EXPECT_EQ(gl_recorder::calls_named("glCallLists").at(0).args.at(0), 0.0);
    EXPECT_EQ(gl_recorder::count("glPopAttrib"), 1);

    gl_recorder::reset();
    printGLf("a\x01%c\x7f%s", 'b', "\xe9z");
    EXPECT_EQ(overlay_text(), "ab\x7fz");

    gl_recorder::reset();
    printGLf("%s", std::string(1000, 'x').c_str());
    EXPECT_EQ(overlay_text(), std::string(255, 'x'));
}

TEST_F(FrameTest, MissingUniverseShowsTheBackgroundAndSaysSoOnce)
{
    release_galaxy();
    testing::internal::CaptureStdout();
    drawGLScene();
    drawGLScene();
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No universe to show: drawing the background only\n");
    EXPECT_EQ(gl_recorder::count("glCallList"), 0);
    EXPECT_EQ(gl_recorder::count("glXSwapBuffers"), 2);
}

TEST_F(FrameTest, ResizeEventsWithANewWidthOrHeightReapplyTheProjection)
{
    GLWin.width = 640;
    GLWin.height = 480;
    XConfigureEvent event = {};
    event.type = ConfigureNotify;
    auto configure = [&](int x, int width, int height) {
        event.x = x;
        event.width = width;
        event.height = height;
        gl_recorder::reset();
        testing::internal::CaptureStdout();
        resizeEvent(event);
        fflush(stdout);
        return testing::internal::GetCapturedStdout();
    };

    EXPECT_EQ(configure(30, 640, 480), "");  // moved only
    EXPECT_TRUE(gl_recorder::calls().empty());

    // Height only, width only, and a height of 0 (which counts as 1).
    struct Change {
        int width, height;
        double aspect_height;
    } changes[] = {{640, 400, 400}, {500, 400, 400}, {500, 0, 1}};
    for (const Change &c : changes) {
        EXPECT_EQ(configure(0, c.width, c.height), "Resize event\n");
        EXPECT_EQ(GLWin.height, unsigned(c.height));
        EXPECT_EQ(gl_recorder::calls_named("glViewport").at(0).args,
                  (std::vector<double>{0, 0, double(c.width), c.aspect_height}));
        EXPECT_EQ(gl_recorder::calls_named("gluPerspective").at(0).args.at(1), c.width / c.aspect_height);
    }
}
