// The user's controls and start-up preparation, through the recording
// stand-in: what each key and pointer event changes and what it requests.
#include "app/input.h"
#include "app/startup.h"
#include "disc/disc.h"
#include "render/render.h"
#include "support/fresh_state.h"
#include "support/gl_recorder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { freshState(); }
    void TearDown() override { releaseDisc(); }

    static void press(int key, int times = 1)
    {
        for (int k = 0; k < times; ++k)
            special(key, 0, 0);
    }
};

TEST_F(InputTest, InitAllocatesTheDiscThenSetsBlackAndTheDepthTest)
{
    releaseDisc();
    init();
    ASSERT_NE(disc.radius, nullptr);
    ASSERT_NE(disc.angularSpeed, nullptr);
    ASSERT_NE(disc.angle, nullptr);
    ASSERT_EQ(gl.calls.size(), 2u);
    EXPECT_EQ(gl.calls[0].name, "glClearColor");
    EXPECT_EQ(gl.calls[0].args, (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(gl.calls[1].name, "glEnable");
    EXPECT_EQ(gl.calls[1].args, (std::vector<double>{GL_DEPTH_TEST}));
}

TEST_F(InputTest, SpacePausesAndResumesWithoutARedisplay)
{
    keyboard(' ', 5, 5);
    EXPECT_FALSE(input.animating);
    EXPECT_EQ(gl.idleFuncCalls, 1);
    EXPECT_EQ(gl.idleFunc, nullptr);
    keyboard(' ', 5, 5);
    EXPECT_TRUE(input.animating);
    EXPECT_EQ(gl.idleFuncCalls, 2);
    EXPECT_EQ(gl.idleFunc, &stepDisc);
    EXPECT_EQ(gl.redisplayRequests, 0);
}

TEST_F(InputTest, UnlistedKeysAndButtonsDoNothing)
{
    for (int key = 0; key < 256; ++key)
        if (key != 27 && key != ' ')
            keyboard(static_cast<unsigned char>(key), 0, 0);
    for (int key = 0; key < 256; ++key)
        if (key < GLUT_KEY_LEFT || key > GLUT_KEY_DOWN)
            special(key, 0, 0);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 3, 3);
    motion(50, 50);
    EXPECT_EQ(gl.redisplayRequests, 0);
    EXPECT_EQ(gl.idleFuncCalls, 0);
    EXPECT_EQ(disc.timeStep, 0.5f);
    EXPECT_EQ(view.zoom, 1.0f);
    EXPECT_EQ(view.rotX, 0.0f);
    EXPECT_EQ(view.rotY, 0.0f);
}

TEST_F(InputTest, LeftAndRightStepTheTimeStepThroughZero)
{
    press(GLUT_KEY_LEFT, 10);
    EXPECT_NEAR(disc.timeStep, 0.49, 1e-6);
    EXPECT_EQ(gl.redisplayRequests, 10);

    press(GLUT_KEY_LEFT, 490);
    EXPECT_GT(disc.timeStep, 0.0f) << "rounding keeps it off exact zero";
    EXPECT_NEAR(disc.timeStep, 0.0000029, 0.0000005);
    press(GLUT_KEY_LEFT);
    EXPECT_NEAR(disc.timeStep, -0.000997, 0.0000005);

    press(GLUT_KEY_RIGHT, 2);
    EXPECT_NEAR(disc.timeStep, 0.001003, 0.0000005);
    EXPECT_EQ(gl.redisplayRequests, 503);
}

TEST_F(InputTest, UpThenDownReturnsZoomToExactlyOne)
{
    press(GLUT_KEY_UP);
    EXPECT_EQ(view.zoom, 0.99f);
    press(GLUT_KEY_DOWN);
    EXPECT_EQ(view.zoom, 1.0f);
    EXPECT_EQ(gl.redisplayRequests, 2);
}

TEST_F(InputTest, ZoomNeverReachesZeroOrInfinitySoTheOtherKeyBringsItBack)
{
    press(GLUT_KEY_UP, 20000);
    EXPECT_GT(view.zoom, 0.0f);
    const float smallest = view.zoom;
    press(GLUT_KEY_DOWN);
    EXPECT_GT(view.zoom, smallest);

    press(GLUT_KEY_DOWN, 40000);
    EXPECT_TRUE(std::isfinite(view.zoom));
    const float largest = view.zoom;
    press(GLUT_KEY_UP);
    EXPECT_LT(view.zoom, largest);
}

TEST_F(InputTest, LeftDragTurnsOneDegreePerPixel)
{
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 80);
    EXPECT_EQ(gl.redisplayRequests, 0);
    for (int x = 101; x <= 130; ++x)
        motion(x, 80);
    EXPECT_EQ(view.rotY, 30.0f);
    EXPECT_EQ(view.rotX, 0.0f);
    EXPECT_EQ(gl.redisplayRequests, 30);

    motion(130, 35);
    EXPECT_EQ(view.rotX, -45.0f);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 130, 35);
    motion(200, 200);
    EXPECT_EQ(view.rotY, 30.0f) << "motion after the release changes nothing";
    EXPECT_EQ(view.rotX, -45.0f);
    EXPECT_EQ(gl.redisplayRequests, 31);
}

TEST_F(InputTest, OtherButtonsNeitherStartNorEndADrag)
{
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    motion(40, 40);
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 40, 40);
    EXPECT_EQ(view.rotY, 0.0f);
    EXPECT_EQ(gl.redisplayRequests, 0);

    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 12, 10);
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 14, 10);
    motion(20, 10);
    EXPECT_EQ(view.rotY, 10.0f) << "the left drag goes on from its own last position";
}

TEST_F(InputTest, DragAcrossTheWholeCoordinateRangeStaysExact)
{
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, INT_MIN, INT_MAX);
    motion(INT_MAX, INT_MIN);
    EXPECT_EQ(view.rotY, static_cast<float>(4294967295.0));
    EXPECT_EQ(view.rotX, static_cast<float>(-4294967295.0));
}

TEST_F(InputTest, EscapeReleasesTheDiscAndExitsWithStatusZeroPausedOrNot)
{
    EXPECT_EXIT(keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
    keyboard(' ', 0, 0);
    EXPECT_EXIT(keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputTest, EscapeFlushesWhatIsStillBufferedOnStandardOutput)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A pipe makes standard output fully buffered: only a real exit
        // path writes this out.
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        std::printf("GL Error pending\n");
        keyboard(27, 0, 0);
        _exit(3);
    }
    close(fds[1]);
    std::string written;
    char buffer[64];
    for (ssize_t n = 0; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(written, "GL Error pending\n");
}

} // namespace
