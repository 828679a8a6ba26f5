// The window tests' virtual display and program handling.
#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

// POSIX asks for this declaration; glibc makes one only with _GNU_SOURCE.
extern char** environ; // NOLINT(readability-redundant-declaration)

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline(double seconds)
{
    return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

std::vector<char*> argvOf(std::vector<std::string>& words)
{
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

// The environment with DISPLAY replaced.
std::vector<std::string> environmentFor(const std::string& display)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0)
            env.emplace_back(*entry);
    env.push_back("DISPLAY=" + display);
    return env;
}

Window findByName(Display* x, Window parent, const char* name)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x, parent, &root, &up, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned k = 0; k < count && found == 0; ++k) {
        char* title = nullptr;
        if (XFetchName(x, children[k], &title) != 0 && title != nullptr) {
            if (std::strcmp(title, name) == 0)
                found = children[k];
            XFree(title);
        }
        if (found == 0)
            found = findByName(x, children[k], name);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

} // namespace

std::string startDisplay(XSession& session)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "cannot make a pipe for Xvfb";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // -br: a black root window, so nothing but the program's frames can light a pixel.
    std::vector<std::string> words = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                                      "1280x1024x24", "-nolisten",  "tcp", "-br"};
    std::vector<char*> argv = argvOf(words);
    const int spawned = posix_spawnp(&session.xvfb, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        session.xvfb = -1;
        return "cannot start Xvfb (is the xvfb package installed?): " + std::string(std::strerror(spawned));
    }

    std::string number;
    pollfd waiting{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&waiting, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return "Xvfb did not report a display number within 10 s";
    session.display = ":" + number;
    session.x = XOpenDisplay(session.display.c_str());
    if (session.x == nullptr)
        return "cannot connect to Xvfb on " + session.display;
    return "";
}

std::string startProgram(XSession& session, const std::vector<std::string>& extraArgs)
{
    char path[] = "/tmp/velquin-output-XXXXXX";
    const int out = mkstemp(path);
    if (out < 0)
        return "cannot make a file for the program's output";
    session.outputPath = path;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    std::vector<std::string> words = {VELQUIN_BINARY};
    words.insert(words.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv = argvOf(words);
    std::vector<std::string> env = environmentFor(session.display);
    std::vector<char*> envp = argvOf(env);
    const int spawned = posix_spawn(&session.program, VELQUIN_BINARY, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out);
    if (spawned != 0) {
        session.program = -1;
        return "cannot start " + std::string(VELQUIN_BINARY) + ": " + std::strerror(spawned);
    }

    const auto end = deadline(20);
    while (Clock::now() < end) {
        session.window = findByName(session.x, DefaultRootWindow(session.x), "Velquin");
        XWindowAttributes attributes;
        if (session.window != 0 && XGetWindowAttributes(session.x, session.window, &attributes) != 0 &&
            attributes.map_state == IsViewable)
            return "";
        int status = 0;
        if (waitpid(session.program, &status, WNOHANG) == session.program) {
            session.program = -1;
            return "the program ended before its window appeared";
        }
        settle(0.01);
    }
    return "no window titled Velquin appeared within 20 s";
}

void endSession(XSession& session)
{
    if (session.program > 0) {
        kill(session.program, SIGKILL);
        waitpid(session.program, nullptr, 0);
        session.program = -1;
    }
    if (session.x != nullptr) {
        XCloseDisplay(session.x);
        session.x = nullptr;
    }
    if (session.xvfb > 0) {
        kill(session.xvfb, SIGTERM);
        waitpid(session.xvfb, nullptr, 0);
        session.xvfb = -1;
    }
    if (!session.outputPath.empty())
        unlink(session.outputPath.c_str());
}

Pixels grab(const XSession& session)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(session.x, session.window, &attributes);
    Pixels pixels;
    XImage* image = XGetImage(session.x, session.window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    pixels.width = attributes.width;
    pixels.height = attributes.height;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            pixels.rgb.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}

int litPixels(const Pixels& pixels)
{
    int lit = 0;
    for (std::uint32_t p : pixels.rgb)
        lit += p != 0;
    return lit;
}

Pixels waitForLitPixels(const XSession& session, int count, double seconds)
{
    const auto end = deadline(seconds);
    Pixels pixels = grab(session);
    while (litPixels(pixels) < count && Clock::now() < end) {
        settle(0.05);
        pixels = grab(session);
    }
    return pixels;
}

int xdotool(const XSession& session, const std::vector<std::string>& args)
{
    std::vector<std::string> words = {"xdotool"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv = argvOf(words);
    std::vector<std::string> env = environmentFor(session.display);
    std::vector<char*> envp = argvOf(env);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void sendDeleteWindow(const XSession& session)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = session.window;
    event.xclient.message_type = XInternAtom(session.x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(session.x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(session.x, session.window, False, NoEventMask, &event);
    XFlush(session.x);
}

int waitForExit(XSession& session, double seconds)
{
    const auto end = deadline(seconds);
    while (Clock::now() < end) {
        int status = 0;
        if (waitpid(session.program, &status, WNOHANG) == session.program) {
            session.program = -1;
            return status;
        }
        settle(0.02);
    }
    return -1;
}

std::string programOutput(const XSession& session)
{
    return fileContents(session.outputPath);
}

void settle(double seconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(seconds * 1000)));
}

bool exitedWithZero(int status)
{
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string fileContents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::map<unsigned long, std::vector<std::uint32_t>> windowIcons(const XSession& session)
{
    std::map<unsigned long, std::vector<std::uint32_t>> icons;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(session.x, session.window, XInternAtom(session.x, "_NET_WM_ICON", False), 0, 1L << 24, False,
                           XA_CARDINAL, &type, &format, &count, &left, &data) != Success ||
        data == nullptr)
        return icons;
    const auto* items = reinterpret_cast<const unsigned long*>(data); // format 32 comes as longs
    for (unsigned long at = 0; count - at >= 2 && items[at] * items[at + 1] <= count - at - 2;) {
        const unsigned long side = items[at], pixels = items[at] * items[at + 1];
        icons[side].assign(items + at + 2, items + at + 2 + pixels);
        at += 2 + pixels;
    }
    XFree(data);
    return icons;
}

std::vector<std::uint32_t> pngPixels(const std::string& path)
{
    const std::string rgba = commandOutput("convert 'png:" + path + "' -depth 8 rgba:-");
    std::vector<std::uint32_t> pixels;
    for (std::size_t at = 0; at + 4 <= rgba.size(); at += 4) {
        const auto byte = [&](std::size_t k) { return std::uint32_t{static_cast<unsigned char>(rgba[at + k])}; };
        pixels.push_back(byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2));
    }
    return pixels;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    pclose(pipe);
    return output;
}
