// A virtual X display with the real program in it, for the window tests:
// Xvfb chosen with -displayfd, velquin started on it with its standard output
// kept, the window found by its title, pixels read back, input sent by xdotool.
#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB, row by row

    std::uint32_t at(int x, int y) const
    {
        return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    bool operator==(const Pixels& other) const { return width == other.width && rgb == other.rgb; }
};

struct XSession {
    pid_t xvfb = -1;
    std::string display; // ":N"
    Display* x = nullptr;
    pid_t program = -1;
    std::string outputPath; // the program's standard output
    Window window = 0;
};

// Each returns an empty string on success, or why it failed.
std::string startDisplay(XSession& session);
std::string startProgram(XSession& session, const std::vector<std::string>& extraArgs = {});

// Ends whatever is still running and removes the output file.
void endSession(XSession& session);

Pixels grab(const XSession& session);
int litPixels(const Pixels& pixels);

// Polls until at least `count` pixels are lit or the time is up.
Pixels waitForLitPixels(const XSession& session, int count, double seconds);
// How long a test waits for the first points at the most. They come into view
// after some 900 frames: a few seconds natively, and 10 to 25 s under qemu-user,
// which draws a few tens of frames a second.
constexpr double firstLightSeconds = 90;

// Runs xdotool on the session's display with these arguments; its exit status.
int xdotool(const XSession& session, const std::vector<std::string>& args);

// Sends the window manager's close message that freeglut answers.
void sendDeleteWindow(const XSession& session);

// The program's wait status once it has ended, or -1 if it runs on past the time.
int waitForExit(XSession& session, double seconds);

std::string programOutput(const XSession& session);

// Small helpers that the tests around the harness share.
void settle(double seconds);
// True for the wait status of a normal exit with status 0 (waitForExit's -1 is not).
bool exitedWithZero(int status);
std::string fileContents(const std::string& path);

// The icons in the window's _NET_WM_ICON by side, each as 0xAARRGGBB pixels row by row.
std::map<unsigned long, std::vector<std::uint32_t>> windowIcons(const XSession& session);
// A PNG's pixels in the same form, as ImageMagick reads them; empty if it cannot.
std::vector<std::uint32_t> pngPixels(const std::string& path);
// What a shell command writes on its standard output, byte for byte.
std::string commandOutput(const std::string& command);
