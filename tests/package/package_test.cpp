// The Debian package as a person gets it: its control fields, the files it puts
// in place once unpacked into a scratch root, and the program from that root
// running in a real window on a virtual X display.
// gtest first: Xlib defines macros (None, Bool) that its headers use as names.
#include <gtest/gtest.h>

#include "x_session.h"

#include <X11/Xutil.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string root = VELQUIN_ROOT;

struct Outcome {
    int status = -1;
    std::string output; // standard output and standard error together
};

Outcome run(const std::string& command)
{
    Outcome result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string field(const std::string& name)
{
    std::string value = run("dpkg-deb --field '" VELQUIN_DEB "' " + name).output;
    while (!value.empty() && value.back() == '\n')
        value.pop_back();
    return value;
}

// The package names in a Depends field, alternatives included, versions dropped.
std::set<std::string> dependencyNames(const std::string& depends)
{
    std::set<std::string> names;
    std::string name;
    bool inVersion = false;
    for (char c : depends + ",") {
        if (c == '(')
            inVersion = true;
        else if (c == ')')
            inVersion = false;
        else if (!inVersion && (c == ',' || c == '|')) {
            if (!name.empty())
                names.insert(name);
            name.clear();
        } else if (!inVersion && c != ' ')
            name += c;
    }
    return names;
}

// The packages installed here that hold a library of this name, from lines such
// as "libc6:amd64, libc6:i386: /lib/x86_64-linux-gnu/libc.so.6".
std::set<std::string> packagesHolding(const std::string& soname)
{
    std::set<std::string> packages;
    std::istringstream lines(run("dpkg --search '*/" + soname + "'").output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream names(line.substr(0, line.find(": /")));
        for (std::string name; std::getline(names >> std::ws, name, ',');)
            packages.insert(name.substr(0, name.find(':')));
    }
    return packages;
}

bool isFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A PNG's width and height, from its header chunk; 0 x 0 if it is not a PNG.
std::pair<int, int> pngSize(const std::string& path)
{
    const std::string bytes = fileContents(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto big = [&](std::size_t at) {
        int value = 0;
        for (std::size_t k = 0; k < 4; ++k)
            value = value * 256 + static_cast<unsigned char>(bytes[at + k]);
        return value;
    };
    return {big(16), big(20)};
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(run("rm -rf '" + root + "' && mkdir -p '" + root + "'").status, 0);
        const Outcome unpacked = run("dpkg -x '" VELQUIN_DEB "' '" + root + "'");
        ASSERT_EQ(unpacked.status, 0) << "cannot unpack " VELQUIN_DEB ": " << unpacked.output;
    }
    void TearDown() override { endSession(session); }

    XSession session;
};

TEST_F(PackageTest, DeclaresItselfAndEveryLibraryTheProgramLoads)
{
    EXPECT_EQ(field("Package"), "velquin");
    EXPECT_EQ(field("Version").rfind(VELQUIN_VERSION "-", 0), 0u) << "the upstream version and a Debian revision";
    EXPECT_EQ(field("Section"), "graphics");
    EXPECT_NE(field("Maintainer").find('@'), std::string::npos);
    const std::string description = field("Description");
    EXPECT_GE(std::count(description.begin(), description.end(), '\n'), 2) << "a summary line and a longer description";

    const std::set<std::string> depends = dependencyNames(field("Depends"));
    const Outcome needed = run("readelf --dynamic '" + root + "/usr/bin/velquin'");
    ASSERT_EQ(needed.status, 0) << needed.output;
    EXPECT_EQ(needed.output.find("RPATH"), std::string::npos) << "nothing points into the build tree";
    EXPECT_EQ(needed.output.find("RUNPATH"), std::string::npos);
    int libraries = 0;
    std::istringstream lines(needed.output);
    for (std::string line; std::getline(lines, line);) {
        const auto open = line.find("Shared library: [");
        if (open == std::string::npos)
            continue;
        const std::string soname = line.substr(open + 17, line.find(']', open) - open - 17);
        ++libraries;
        bool declared = false;
        for (const std::string& package : packagesHolding(soname))
            declared = declared || depends.count(package) > 0;
        EXPECT_TRUE(declared) << soname << " comes from no package in Depends: " << field("Depends");
    }
    EXPECT_GE(libraries, 4) << "GLUT, GLU, GL and the C library at least";
}

TEST_F(PackageTest, PutsTheProgramDesktopEntryIconsAndManualInTheirPlaces)
{
    EXPECT_EQ(access((root + "/usr/bin/velquin").c_str(), X_OK), 0);

    const std::string desktop = fileContents(root + "/usr/share/applications/velquin.desktop");
    EXPECT_NE(desktop.find("\nExec=velquin\n"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("\nIcon=velquin\n"), std::string::npos) << desktop;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        std::string icon = root;
        icon += "/usr/share/icons/hicolor/" + dir + "/apps/velquin.png";
        EXPECT_EQ(pngSize(icon), std::make_pair(size, size)) << dir;
    }

    // Software centres list it from its AppStream entry, with the installed icon.
    const std::string metainfo = root + "/usr/share/metainfo/" VELQUIN_APP_ID ".metainfo.xml";
    // Every error and warning but the homepage's, which AppStream 1.0 asks for and the project has not got yet.
    const Outcome valid = run("appstreamcli validate --no-net --no-color '" + metainfo + "'");
    std::istringstream notes(valid.output);
    std::string problems;
    for (std::string line; std::getline(notes, line);)
        if ((line.rfind("E:", 0) == 0 || line.rfind("W:", 0) == 0) &&
            line.find(" url-homepage-missing") == std::string::npos)
            problems += line + "\n";
    EXPECT_EQ(problems, "") << valid.output;
    EXPECT_TRUE(valid.status == 0 ||
                (valid.status == 3 && valid.output.find(" url-homepage-missing") != std::string::npos))
        << valid.output;
    const Outcome composed = run("rm -rf '" + root +
                                 ".swcatalog' && appstreamcli compose --no-color --origin=velquin "
                                 "--result-root='" +
                                 root + ".swcatalog' '" + root + "' >/dev/null && gzip -dc '" + root +
                                 ".swcatalog/usr/share/swcatalog/xml/velquin.xml.gz'");
    EXPECT_EQ(composed.status, 0) << composed.output;
    std::size_t components = 0;
    for (std::size_t at = 0; (at = composed.output.find("<component ", at)) != std::string::npos; ++at)
        ++components;
    EXPECT_EQ(components, 1u) << composed.output;
    EXPECT_NE(composed.output.find("<icon type=\"cached\" width=\"64\""), std::string::npos) << composed.output;

    EXPECT_TRUE(isFile(root + "/usr/share/doc/velquin/copyright"));
    // The licence is LICENSE's, word for word, in Debian's layout of the copyright file.
    std::istringstream licence(fileContents(VELQUIN_LICENSE));
    std::istringstream copyright(fileContents(root + "/usr/share/doc/velquin/copyright"));
    std::string licenceWords;
    std::string copyrightWords;
    for (std::string word; licence >> word;)
        licenceWords += word + " ";
    for (std::string word; copyright >> word;)
        copyrightWords += word == "." ? "" : word + " ";
    EXPECT_NE(copyrightWords.find("Copyright: Copyright (c) 2026 The Velquin developers License: MIT "),
              std::string::npos);
    EXPECT_NE(copyrightWords.find(licenceWords.substr(licenceWords.find("Permission "))), std::string::npos)
        << copyrightWords;
    // Both histories begin with this version: Debian's, and the upstream one.
    const Outcome debianChangelog = run("gzip -dc '" + root + "/usr/share/doc/velquin/changelog.Debian.gz'");
    EXPECT_EQ(debianChangelog.output.rfind("velquin (" VELQUIN_VERSION "-", 0), 0u) << debianChangelog.output;
    const Outcome changelog = run("gzip -dc '" + root + "/usr/share/doc/velquin/changelog.gz'");
    EXPECT_NE(changelog.output.find("\n## " VELQUIN_VERSION " "), std::string::npos) << changelog.output;

    // Every control and every GLUT option is in the manual, and man reads it without a warning.
    const Outcome manual = run("MANWIDTH=80 man --warnings -l '" + root + "/usr/share/man/man6/velquin.6.gz'");
    EXPECT_EQ(manual.status, 0);
    EXPECT_EQ(manual.output.find("warning"), std::string::npos) << manual.output;
    for (const char* text : {"VELQUIN(6)", "Escape", "Space", "Left and Right arrows", "Up and Down arrows",
                             "Left-button drag", "-display", "-geometry", "-direct", "-indirect", "-iconic", "-gldebug",
                             "-sync", "GLUT_FPS", "EXIT STATUS", "at line 96"})
        EXPECT_NE(manual.output.find(text), std::string::npos) << "the manual says nothing of " << text;
}

TEST_F(PackageTest, InstalledProgramOpensItsWindowDrawsAndQuitsOnEscapeWithStatusZero)
{
    ASSERT_EQ(startDisplay(session), "") << "the virtual display is needed for this test";
    ASSERT_EQ(startProgram(session), "");
    EXPECT_GE(litPixels(waitForLitPixels(session, 500, firstLightSeconds)), 500);
    // Drawing, it has long given its window the class by which the desktop matches it
    // to the desktop entry, and the installed icon.
    XClassHint hint{};
    ASSERT_NE(XGetClassHint(session.x, session.window, &hint), 0);
    EXPECT_STREQ(hint.res_name, "velquin");
    EXPECT_NE(fileContents(root + "/usr/share/applications/velquin.desktop")
                  .find("\nStartupWMClass=" + std::string(hint.res_class) + "\n"),
              std::string::npos);
    XFree(hint.res_name);
    XFree(hint.res_class);
    std::vector<unsigned long> sides;
    for (const auto& [side, pixels] : windowIcons(session)) {
        sides.push_back(side);
        EXPECT_TRUE(pixels == pngPixels(root + "/usr/share/icons/hicolor/" + std::to_string(side) + "x" +
                                        std::to_string(side) + "/apps/velquin.png"))
            << "the window's icon of side " << side << " is not the installed one";
    }
    EXPECT_EQ(sides, (std::vector<unsigned long>{16, 32, 48, 64, 128, 256}));

    // No window manager: keys go to the window under the pointer.
    const std::string window = std::to_string(session.window);
    ASSERT_EQ(xdotool(session, {"mousemove", "--window", window, "240", "120", "key", "Escape"}), 0);
    const int status = waitForExit(session, 10);
    EXPECT_TRUE(exitedWithZero(status)) << "wait status " << status;
    EXPECT_EQ(programOutput(session), "");
}

} // namespace
