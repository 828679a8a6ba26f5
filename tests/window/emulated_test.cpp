// What a person first meets of a build for another platform, started through its
// emulator (Wine, qemu-user) by the VELQUIN_BINARY script: the window, its first
// lit points, pause and resume, and Escape. Compiled into each emulator's tests.
#include "session_test.h"

#include <cstdint>

namespace {

using EmulatedProgramTest = SessionTest;

TEST_F(EmulatedProgramTest, OpensBlackTitledWindowThatLightsUpPausesResumesAndEndsOnEscape)
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

    const Pixels lit = waitForLitPixels(session, 500, firstLightSeconds);
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

TEST_F(EmulatedProgramTest, EscapeEndsItWithStatusZeroWhilePaused)
{
    start();
    key("space");
    settle(0.3);
    quitWithEscape();
}

} // namespace
