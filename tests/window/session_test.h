// The fixture of the tests that drive a program in a window: a virtual display
// of its own for each test, the program started in it with the pointer over
// its window, and keys sent by xdotool. A display that cannot be started
// fails the test; nothing is skipped.
#pragma once

// gtest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include "x_session.h"

#include <cstdint>
#include <string>
#include <vector>

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(startDisplay(session), "") << "the virtual display is needed for this test"; }
    void TearDown() override { endSession(session); }

    void start(const std::vector<std::string>& args = {})
    {
        ASSERT_EQ(startProgram(session, args), "");
        // Keys go to the window under the pointer: there is no window manager.
        ASSERT_EQ(xdotool(session, {"mousemove", "--window", std::to_string(session.window), "240", "120"}), 0);
    }
    void key(const std::string& name, int times = 1)
    {
        ASSERT_EQ(xdotool(session, {"key", "--delay", "2", "--repeat", std::to_string(times), name}), 0);
    }
    // Space stops the disc, and Space again sets it going.
    void expectSpacePausesAndResumes()
    {
        key("space");
        settle(0.5);
        const Pixels paused = grab(session);
        settle(1.0);
        EXPECT_TRUE(grab(session) == paused) << "nothing moves while paused";
        key("space");
        settle(1.0);
        EXPECT_FALSE(grab(session) == paused) << "the disc moves again";
    }
    static void expectGrey(const Pixels& pixels)
    {
        for (std::uint32_t p : pixels.rgb) {
            const std::uint32_t r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ASSERT_TRUE(r == g && g == b) << "points are grey, this one is " << std::hex << p;
        }
    }
    // Escape ends the program with status 0, having printed nothing.
    void quitWithEscape()
    {
        key("Escape");
        EXPECT_TRUE(exitedWithZero(waitForExit(session, 10)));
        EXPECT_EQ(programOutput(session), "");
    }

    XSession session;
};
