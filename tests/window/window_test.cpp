// The real program in a real window on a virtual X display, driven with real
// X input events (xdotool) and read back as pixels and window properties.
// A display that cannot be started fails the test; nothing is skipped.
#include "session_test.h"

#include <sstream>

namespace {

constexpr int width = 480;
constexpr int height = 240;

// Lit pixels that lie farther than `radius` pixels from the window's centre.
int litBeyond(const Pixels& pixels, double radius)
{
    int lit = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const double dx = x - pixels.width / 2.0, dy = y - pixels.height / 2.0;
            lit += pixels.at(x, y) != 0 && dx * dx + dy * dy > radius * radius;
        }
    return lit;
}

// The process's minor page faults so far: /proc/PID/stat's tenth field.
long minorFaults(pid_t pid)
{
    const std::string stat = fileContents("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int k = 3; k < 10; ++k)
        fields >> field;
    long faults = -1;
    fields >> faults;
    return faults;
}

class WindowTest : public SessionTest {
protected:
    // The disc once the oldest particles have fallen into view.
    Pixels filledDisc() { return waitForLitPixels(session, 500, 30); }
};

TEST_F(WindowTest, OpensBlackTitledWindowThatLightsUpAndClosesCleanly)
{
    start({"-unknown-option"});
    Pixels early = grab(session);
    ASSERT_EQ(early.width, width);
    ASSERT_EQ(early.height, height);
    EXPECT_EQ(litPixels(early), 0) << "the spawn ring lies far outside the initial view";

    char* title = nullptr;
    ASSERT_NE(XFetchName(session.x, session.window, &title), 0);
    EXPECT_STREQ(title, "Velquin");
    XFree(title);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(session.x, session.window, DefaultRootWindow(session.x), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);

    const Pixels later = filledDisc();
    EXPECT_GE(litPixels(later), 500);
    expectGrey(later);

    sendDeleteWindow(session);
    EXPECT_TRUE(exitedWithZero(waitForExit(session, 10)));
    EXPECT_EQ(programOutput(session), "") << "a frame with no GL error prints nothing";
}

TEST_F(WindowTest, SpacePausesTheDiscAndResumesIt)
{
    start();
    filledDisc();
    expectSpacePausesAndResumes();
}

TEST_F(WindowTest, UpShrinksTheDiscToShowTheRingAndDownBringsItBack)
{
    start();
    filledDisc();
    EXPECT_GT(litBeyond(grab(session), 125), 50) << "at zoom 1 the disc fills the window";

    // 0.99^250 is about 0.081: the whole ring, some 110 pixels across, is on screen.
    key("Up", 250);
    settle(0.5);
    const Pixels zoomedOut = grab(session);
    EXPECT_GT(litBeyond(zoomedOut, 95), 100) << "lit pixels far out, on the ring";
    EXPECT_EQ(litBeyond(zoomedOut, 125), 0) << "nothing beyond the ring";

    key("Down", 250);
    settle(0.5);
    EXPECT_GT(litBeyond(grab(session), 125), 50);
}

TEST_F(WindowTest, VerticalLeftDragOfNinetyPixelsTurnsTheDiscEdgeOn)
{
    start();
    filledDisc();
    const std::string window = std::to_string(session.window);
    ASSERT_EQ(xdotool(session, {"mousemove", "--window", window, "240", "60", "mousedown", "1", "mousemove", "--window",
                                window, "240", "150", "mouseup", "1"}),
              0);
    settle(0.5);
    const Pixels edgeOn = grab(session);
    int lit = 0;
    for (int y = 0; y < edgeOn.height; ++y)
        for (int x = 0; x < edgeOn.width; ++x)
            if (edgeOn.at(x, y) != 0) {
                ++lit;
                ASSERT_NEAR(y, height / 2.0, 3) << "a lit pixel off the disc's edge, at x " << x;
            }
    EXPECT_GT(lit, 10);
}

// A software GL driver's vertex buffer for 22000 points, some 130 pages, is
// kept from frame to frame: mapped afresh each frame, its first touches would
// fault in as many pages, tens of thousands a second at hundreds of frames.
TEST_F(WindowTest, FullDiscFramesTouchNoFreshPages)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's allocator maps large blocks itself, whatever glibc's thresholds";
#endif
    start();
    filledDisc();
    const long before = minorFaults(session.program);
    settle(2.0);
    EXPECT_LT(minorFaults(session.program) - before, 2000);
}

TEST_F(WindowTest, EscapeQuitsWithStatusZero)
{
    start();
    quitWithEscape();
}

TEST_F(WindowTest, EscapeQuitsWithStatusZeroWhilePaused)
{
    start();
    key("space");
    settle(0.2);
    quitWithEscape();
}

} // namespace
