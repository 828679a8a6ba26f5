// What a person first meets of a build for another platform, started through its
// emulator (Wine, qemu-user) by the VELQUIN_BINARY script: the window, its first
// lit points, pause and resume, and Escape. Compiled into each emulator's tests.
#include "session_test.h"

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
    expectGrey(lit);

    expectSpacePausesAndResumes();

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
