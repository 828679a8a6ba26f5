// The frame's fast arithmetic against the standard library, float for float:
// every float angle over the range the disc's angles keep to with the default
// time step, the hard cases near multiples of pi/2, and a broad sample beyond.
#include "render/points.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

std::uint32_t bitsOf(float f)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits)
{
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Runs the angles through sinCosBlock and counts those whose sine or cosine
// differs in any bit from the standard library's, rounded to float.
std::int64_t mismatches(const std::vector<float>& angles)
{
    std::vector<float> sine(angles.size()), cosine(angles.size());
    sinCosBlock(angles.data(), static_cast<std::int32_t>(angles.size()), sine.data(), cosine.data());
    std::int64_t wrong = 0;
    for (std::size_t k = 0; k < angles.size(); ++k) {
        const double a = angles[k];
        const float s = static_cast<float>(std::sin(a)), c = static_cast<float>(std::cos(a));
        const bool same = (bitsOf(sine[k]) == bitsOf(s) || (std::isnan(s) && std::isnan(sine[k]))) &&
                          (bitsOf(cosine[k]) == bitsOf(c) || (std::isnan(c) && std::isnan(cosine[k])));
        if (!same && wrong++ < 5)
            ADD_FAILURE() << "angle " << a << " (bits 0x" << std::hex << bitsOf(angles[k]) << ")";
    }
    return wrong;
}

// Every float from `from` up to `to`, fed in chunks, with its negative.
std::int64_t mismatchesOverEveryFloat(float from, float to)
{
    std::int64_t wrong = 0;
    std::vector<float> chunk;
    for (std::uint32_t bits = bitsOf(from); bits < bitsOf(to); ++bits) {
        chunk.push_back(floatOf(bits));
        chunk.push_back(-floatOf(bits));
        if (chunk.size() == 1 << 16) {
            wrong += mismatches(chunk);
            chunk.clear();
        }
    }
    return wrong + mismatches(chunk);
}

TEST(SinCosBlockTest, MatchesTheStandardLibraryForEveryFloatAngleUpTo128)
{
    EXPECT_EQ(mismatchesOverEveryFloat(0x1p-7f, 128.0f), 0);
}

TEST(SinCosBlockTest, MatchesNearEveryMultipleOfHalfPiAndPastTheFastRange)
{
    std::vector<float> angles;
    for (std::int64_t k = -1500000; k <= 1500000; ++k) {
        const auto nearest = static_cast<float>(static_cast<double>(k) * 1.57079632679489661923);
        angles.push_back(std::nextafter(nearest, -FLT_MAX));
        angles.push_back(nearest);
        angles.push_back(std::nextafter(nearest, FLT_MAX));
    }
    EXPECT_EQ(mismatches(angles), 0);
}

TEST(SinCosBlockTest, MatchesForTinyHugeAndSpecialAngles)
{
    std::vector<float> angles = {0.0f,
                                 -0.0f,
                                 FLT_MIN,
                                 -FLT_MIN,
                                 FLT_TRUE_MIN,
                                 1e-30f,
                                 0x1p-7f,
                                 0x1p20f,
                                 std::nextafter(0x1p20f, 0.0f),
                                 std::nextafter(0x1p20f, FLT_MAX),
                                 1e10f,
                                 -1e10f,
                                 1e30f,
                                 FLT_MAX,
                                 -FLT_MAX,
                                 std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> wide(-3e6f, 3e6f);
    std::uniform_real_distribution<float> exponent(-40.0f, 40.0f);
    for (int k = 0; k < 2000000; ++k) {
        angles.push_back(wide(random));
        angles.push_back(std::exp2(exponent(random)));
    }
    // Odd counts and offsets, so that every tail of a block is taken too.
    EXPECT_EQ(mismatches(angles), 0);
    std::vector<float> odd(angles.begin() + 3, angles.begin() + 3 + 1001);
    EXPECT_EQ(mismatches(odd), 0);
}

TEST(PointBlockTest, SendsThePlainProductsAndGreyLevels)
{
    std::vector<float> radius, angle;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> radii(0.09f, 41.0f), angles(0.0f, 90.0f);
    for (int k = 0; k < pointBlockSize; ++k) {
        radius.push_back(radii(random));
        angle.push_back(angles(random));
    }
    radius[0] = 40.0f;
    angle[0] = 0.0f;
    float x[pointBlockSize], y[pointBlockSize], grey[pointBlockSize];
    pointBlock(radius.data(), angle.data(), pointBlockSize, 40.0f, x, y, grey);
    for (std::size_t k = 0; k < radius.size(); ++k) {
        const double wide = angle[k];
        const double r = radius[k];
        ASSERT_EQ(x[k], static_cast<float>(static_cast<float>(std::cos(wide)) * r));
        ASSERT_EQ(y[k], static_cast<float>(static_cast<float>(std::sin(wide)) * r));
        ASSERT_EQ(grey[k], static_cast<float>((40.0 - r) / 40.0 + static_cast<double>(0.2f)));
    }
    EXPECT_EQ(x[0], 40.0f);
    EXPECT_EQ(y[0], 0.0f);
    EXPECT_EQ(grey[0], 0.2f);
}

} // namespace
