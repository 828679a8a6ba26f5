// The real program left running on a virtual display for minutes under random
// real input (keys, arrows, drags, wheel, pauses): it keeps drawing while not
// paused, stands still while paused, prints nothing on either stream and quits
// with status 0 on Escape. Part of `make soak`, not of CTest.
// VELQUIN_SOAK_SECONDS (default 150) and VELQUIN_SOAK_SEED (default 1) vary it.
// gtest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include "x_session.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

long fromEnvironment(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::strtol(text, nullptr, 10) : fallback;
}

// Keys that do nothing in the program; never Escape, nor ctrl+[ (also code 27).
const char* const otherKeys[] = {"a",         "q",      "z",       "0",      "9",     "Return", "Tab",
                                 "BackSpace", "Delete", "F1",      "F5",     "F12",   "Home",   "End",
                                 "Page_Up",   "Insert", "shift+a", "ctrl+c", "comma", "plus"};

class WindowSoakTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(startDisplay(session), "") << "the virtual display is needed for this test"; }
    void TearDown() override
    {
        endSession(session);
        if (!errorPath.empty())
            unlink(errorPath.c_str());
    }

    // The program inherits this process's standard error: point it at a file of
    // its own while the program starts, so that anything it writes there is seen.
    void startWithErrorsKept()
    {
        char path[] = "/tmp/velquin-errors-XXXXXX";
        const int file = mkstemp(path);
        if (file < 0)
            FAIL() << "cannot make a file for the program's standard error";
        errorPath = path;
        std::fflush(stderr);
        const int saved = dup(2);
        dup2(file, 2);
        const std::string why = startProgram(session);
        dup2(saved, 2);
        close(saved);
        close(file);
        ASSERT_EQ(why, "");
    }

    void xdo(const std::vector<std::string>& args)
    {
        ASSERT_EQ(xdotool(session, args), 0) << "xdotool " << args.front();
    }

    std::string window() const { return std::to_string(session.window); }

    XSession session;
    std::string errorPath;
};

TEST_F(WindowSoakTest, MinutesOfRandomInputKeepItDrawingSilentAndItQuitsCleanly)
{
    const long seconds = fromEnvironment("VELQUIN_SOAK_SECONDS", 150);
    const auto seed = static_cast<std::uint32_t>(fromEnvironment("VELQUIN_SOAK_SEED", 1));
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    startWithErrorsKept();
    xdo({"mousemove", "--window", window(), "240", "120"});
    ASSERT_GE(litPixels(waitForLitPixels(session, 500, 30)), 500) << "the disc fills in";

    bool paused = false;
    int zoomPresses = 0; // Up minus Down, kept where the disc stays on screen
    int keys = 0, arrows = 0, drags = 0, wheel = 0, pauses = 0, moving = 0, still = 0;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    auto nextCheck = Clock::now();
    while (Clock::now() < end) {
        switch (pick(0, 9)) {
        case 0:
        case 1: {
            // An arrow held for a while; the zoom is kept between about 1.8 and 0.05.
            const int times = pick(1, 40);
            std::string arrow = pick(0, 1) == 0 ? "Left" : "Right";
            if (pick(0, 1) == 0) {
                bool up = pick(0, 1) == 0;
                if (up ? zoomPresses + times > 300 : zoomPresses - times < -60)
                    up = !up;
                arrow = up ? "Up" : "Down";
                zoomPresses += up ? times : -times;
            }
            xdo({"key", "--delay", "5", "--repeat", std::to_string(times), arrow});
            arrows += times;
            break;
        }
        case 2:
            xdo({"key", otherKeys[pick(0, sizeof otherKeys / sizeof otherKeys[0] - 1)]});
            ++keys;
            break;
        case 3:
        case 4: {
            // A drag with the left, middle or right button across the window.
            const std::string button = std::to_string(pick(0, 3) == 0 ? pick(2, 3) : 1);
            std::vector<std::string> args = {
                "mousemove", "--window", window(), std::to_string(pick(0, 479)), std::to_string(pick(0, 239)),
                "mousedown", button};
            for (int k = pick(1, 6); k > 0; --k)
                args.insert(args.end(), {"mousemove", "--window", window(), std::to_string(pick(0, 479)),
                                         std::to_string(pick(0, 239))});
            args.insert(args.end(), {"mouseup", button});
            xdo(args);
            ++drags;
            break;
        }
        case 5:
            xdo({"click", pick(0, 1) == 0 ? "4" : "5"});
            ++wheel;
            break;
        case 6:
            xdo({"key", "space"});
            paused = !paused;
            ++pauses;
            break;
        default:
            settle(pick(1, 20) / 10.0);
            break;
        }

        if (Clock::now() < nextCheck)
            continue;
        nextCheck = Clock::now() + std::chrono::seconds(4);
        int status = 0;
        ASSERT_EQ(waitpid(session.program, &status, WNOHANG), 0) << "the program is still running";
        // The pointer goes back into the window after drags left it at an edge.
        xdo({"mousemove", "--window", window(), "240", "120"});
        settle(0.3);
        const Pixels first = grab(session);
        settle(0.7);
        const Pixels second = grab(session);
        if (paused) {
            EXPECT_TRUE(first == second) << "nothing moves while paused";
            ++still;
        } else {
            EXPECT_FALSE(first == second) << "the disc keeps moving";
            ++moving;
        }
    }

    if (paused)
        xdo({"key", "space"});
    settle(1.0);
    EXPECT_GT(litPixels(grab(session)), 0) << "still drawing at the end";
    xdo({"mousemove", "--window", window(), "240", "120", "key", "Escape"});
    const int status = waitForExit(session, 10);
    EXPECT_TRUE(exitedWithZero(status)) << "Escape quits with status 0";
    EXPECT_EQ(programOutput(session), "") << "nothing on standard output";
    EXPECT_EQ(fileContents(errorPath), "") << "nothing on standard error";
    std::printf("window soak: %ld s, seed %u: %d arrow presses, %d other keys, %d drags, %d wheel clicks, "
                "%d pause toggles; %d checks while running, %d while paused\n",
                seconds, seed, arrows, keys, drags, wheel, pauses, moving, still);
}

} // namespace
