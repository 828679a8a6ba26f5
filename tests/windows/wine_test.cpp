// The Windows zip as a person gets it: unpacked, its velquin.exe run under
// Wine in a real window on a virtual X display and driven with real X input.
// Wine differs from a Linux run only in ways these tests need not look at: it
// places the window's frame itself, and freeglut complains on standard error
// that it cannot open a Windows screen device; standard output stays clean.
#include "session_test.h"

#include <cstdint>

namespace {

using WineTest = SessionTest;

TEST(WindowsZipTest, HoldsTheProgramItsReadmeAndTheLicences)
{
    EXPECT_FALSE(fileContents(VELQUIN_UNPACKED "/velquin.exe").empty());
    EXPECT_EQ(fileContents(VELQUIN_UNPACKED "/LICENSE.txt"), fileContents(VELQUIN_SOURCE "/LICENSE"));
    EXPECT_NE(fileContents(VELQUIN_UNPACKED "/freeglut-COPYING.txt").find("Freeglut Copyright"), std::string::npos)
        << "freeglut is linked in, so its notice goes along";
    const std::string readme = fileContents(VELQUIN_UNPACKED "/README.txt");
    for (const char* text : {"Velquin", "velquin.exe", "Escape", "Space", "arrow", "drag", "GLUT_FPS"})
        EXPECT_NE(readme.find(text), std::string::npos) << "README.txt says nothing of " << text;
}

TEST_F(WineTest, OpensBlackTitledWindowThatLightsUpPausesResumesAndEndsOnEscape)
{
    start();
    const Pixels early = grab(session);
    ASSERT_EQ(early.width, 480);
    ASSERT_EQ(early.height, 240);
    EXPECT_EQ(litPixels(early), 0) << "the spawn ring lies far outside the initial view";
    char* title = nullptr;
    ASSERT_NE(XFetchName(session.x, session.window, &title), 0);
    EXPECT_STREQ(title, "Velquin");
    XFree(title);

    const Pixels lit = waitForLitPixels(session, 500, 30);
    EXPECT_GE(litPixels(lit), 500);
    for (std::uint32_t p : lit.rgb) {
        const std::uint32_t r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
        ASSERT_TRUE(r == g && g == b) << "points are grey, this one is " << std::hex << p;
    }

    key("space");
    settle(0.5);
    const Pixels paused = grab(session);
    settle(1.0);
    EXPECT_TRUE(grab(session) == paused) << "nothing moves while paused";
    key("space");
    settle(1.0);
    EXPECT_FALSE(grab(session) == paused) << "the disc moves again";

    quitWithEscape();
}

TEST_F(WineTest, EscapeEndsItWithStatusZeroWhilePaused)
{
    start();
    key("space");
    settle(0.3);
    quitWithEscape();
}

} // namespace
