// The Windows zip as a person gets it, unpacked: what it holds here; its
// velquin.exe runs under Wine in a window in window/emulated_test.cpp. Wine
// differs from a Linux run only in ways those tests need not look at: it
// places the window's frame itself, and freeglut complains on standard error
// that it cannot open a Windows screen device; standard output stays clean.
#include "session_test.h"

namespace {

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

} // namespace
