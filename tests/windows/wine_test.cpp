// The Windows zip as a person gets it, unpacked: what it holds here, and the
// resources of its velquin.exe; that runs under Wine in a window here for its
// icon, and in window/emulated_test.cpp for the rest. Wine
// differs from a Linux run only in ways those tests need not look at: it
// places the window's frame itself, and freeglut complains on standard error
// that it cannot open a Windows screen device; standard output stays clean.
#include "session_test.h"

#include <algorithm>

namespace {

TEST(WindowsZipTest, HoldsTheProgramItsReadmeAndTheLicences)
{
    EXPECT_FALSE(fileContents(VELQUIN_UNPACKED "/velquin.exe").empty());
    EXPECT_EQ(fileContents(VELQUIN_UNPACKED "/LICENSE.txt"), fileContents(VELQUIN_SOURCE "/LICENSE"));
    EXPECT_EQ(fileContents(VELQUIN_UNPACKED "/NOTICE.txt"), fileContents(VELQUIN_SOURCE "/NOTICE"));
    EXPECT_NE(fileContents(VELQUIN_UNPACKED "/freeglut-COPYING.txt").find("Freeglut Copyright"), std::string::npos)
        << "freeglut is linked in, so its notice goes along";
    const std::string readme = fileContents(VELQUIN_UNPACKED "/README.txt");
    for (const char* text : {"Velquin", "velquin.exe", "Escape", "Space", "arrow", "drag", "GLUT_FPS"})
        EXPECT_NE(readme.find(text), std::string::npos) << "README.txt says nothing of " << text;
}

// Explorer's icon and Properties, and the manifest, as wrestool reads them.
TEST(WindowsZipTest, ProgramCarriesItsIconVersionAndManifest)
{
    const std::string exe = "'" VELQUIN_UNPACKED "/velquin.exe'";
    const std::string resources = commandOutput("wrestool -l " + exe);
    for (const char* resource : {"--type=14 --name='GLUT_ICON'", "--type=16 --name=1 ", "--type=24 --name=1 "})
        EXPECT_NE(resources.find(resource), std::string::npos) << "no " << resource << " in:\n" << resources;

    std::string version = commandOutput("wrestool -x --raw --type=16 " + exe);
    version.erase(std::remove(version.begin(), version.end(), '\0'), version.end()); // its strings are UTF-16
    for (const char* text :
         {"ProductVersion" VELQUIN_VERSION, "FileVersion" VELQUIN_VERSION, "FileDescriptionVelquin", "MIT licence"})
        EXPECT_NE(version.find(text), std::string::npos) << "no " << text << " in the version resource";
    const std::string manifest = commandOutput("wrestool -x --raw --type=24 " + exe);
    EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
        << "Windows 10 and 11";
}

// freeglut gives its window the GLUT_ICON, which Wine hands to X as _NET_WM_ICON.
using WineWindowTest = SessionTest;

TEST_F(WineWindowTest, WindowCarriesVelquinsIcon)
{
    start();
    // Wine sets it a moment after the window shows.
    std::map<unsigned long, std::vector<std::uint32_t>> icons;
    for (int tries = 0; tries < 100 && (icons = windowIcons(session)).empty(); ++tries)
        settle(0.1);
    EXPECT_FALSE(icons.empty()) << "Wine gives the window an icon";
    for (const auto& [side, pixels] : icons)
        EXPECT_TRUE(pixels == pngPixels(VELQUIN_SOURCE "/packaging/icons/" + std::to_string(side) + "x" +
                                        std::to_string(side) + "/apps/velquin.png"))
            << "the window's icon of side " << side << " is not Velquin's";
    quitWithEscape();
}

} // namespace
