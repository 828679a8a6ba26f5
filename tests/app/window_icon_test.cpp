// The window's icons as libpng reads them: an icon rewritten by an image tool or
// a PNG optimiser in another kind of PNG still gives the window the same pixels.
#include "app/window_identity.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned long> iconOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> png{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<unsigned long> icon;
    EXPECT_TRUE(appendIcon(png.data(), png.size(), icon)) << path;
    return icon;
}

TEST(WindowIconTest, ReadsSixteenBitInterlacedPngAsTheSamePixels)
{
    const std::string icon = VELQUIN_SOURCE_DIR "/packaging/icons/32x32/apps/velquin.png";
    const std::string wide = testing::TempDir() + "velquin-32-16bit.png";
    ASSERT_EQ(std::system(("convert '" + icon + "' -depth 16 -interlace PNG 'PNG64:" + wide + "'").c_str()), 0);
    const std::vector<unsigned long> original = iconOf(icon);
    ASSERT_EQ(original.size(), 2u + 32u * 32u);
    EXPECT_EQ(iconOf(wide), original);

    std::vector<unsigned long> none;
    EXPECT_FALSE(appendIcon(reinterpret_cast<const unsigned char*>("not a PNG"), 9, none));
    EXPECT_TRUE(none.empty());
}

} // namespace
