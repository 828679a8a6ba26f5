// The particle disc without any window: the generator, spawning, the warm-up
// and steady-state schedules, the live count and determinism.
#include "disc/disc.h"
#include "support/fresh_state.h"
#include "support/gl_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// An independent copy of the generator, so that a test can know which draws a
// step will make before the disc makes them.
struct Draws {
    std::uint32_t state = 1;
    float next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<float>(((state >> 16) & 0x7FFFu) / 32767.0);
    }
};

// cppcheck does not see these read through nth().
struct Spawn {
    // cppcheck-suppress unusedStructMember
    float radius, angularSpeed, angle;
};

Spawn spawnFrom(Draws& draws)
{
    const float r = static_cast<float>(40.0 + draws.next());
    const float speed = static_cast<float>(1.0 / std::pow(double{r}, 1.5));
    const float a = static_cast<float>(draws.next() * 2.0 * 3.14159);
    return {r, speed, a};
}

const double fall = (40.0 - double{0.1f}) / 1100;

// An element of a copy kept beside the disc, by the disc's own signed index.
template <typename T>
const T& nth(const std::vector<T>& copy, std::int32_t i)
{
    return copy[static_cast<std::size_t>(i)];
}

class DiscTest : public ::testing::Test {
protected:
    void SetUp() override { freshState(); }
    void TearDown() override { releaseDisc(); }

    static void steps(int n)
    {
        for (int k = 0; k < n; ++k)
            advanceDisc();
    }
};

TEST_F(DiscTest, GeneratorGivesTheFixedSequenceWithinRange)
{
    EXPECT_EQ(nextRandom(), 41u);
    EXPECT_EQ(nextRandom(), 18467u);
    EXPECT_EQ(nextRandom(), 6334u);
    EXPECT_EQ(nextRandom(), 26500u);
    for (int k = 0; k < 100000; ++k)
        ASSERT_LE(nextRandom(), 32767u);
}

TEST(InversePowerTest, EqualsOneOverPowForEveryFloatRadiusTheDiscCanHold)
{
    // Radii keep to [0.0999, 41]; this goes well past both ends.
    std::int64_t wrong = 0;
    for (float r = 0.05f; r <= 64.0f; r = std::nextafter(r, 65.0f))
        if (inversePower(r) != static_cast<float>(1.0 / std::pow(double{r}, 1.5)) && wrong++ < 5)
            ADD_FAILURE() << "radius " << r;
    EXPECT_EQ(wrong, 0);
}

TEST_F(DiscTest, ParametersAndArraysStartAsDescribed)
{
    EXPECT_EQ(disc.particleCount, 22000);
    EXPECT_EQ(liveCount(), 0);
    EXPECT_EQ(disc.stepCount, 0);
    for (std::int32_t i = 0; i < disc.particleCount; ++i) {
        ASSERT_EQ(disc.radius[i], 0.0f);
        ASSERT_EQ(disc.angularSpeed[i], 0.0f);
        ASSERT_EQ(disc.angle[i], 0.0f);
    }
}

TEST_F(DiscTest, FirstTwoStepsPlaceAndMoveParticleZeroExactly)
{
    stepDisc();
    EXPECT_EQ(gl.redisplayRequests, 1);
    EXPECT_EQ(liveCount(), 20);
    EXPECT_EQ(disc.radius[0], 40.001251f);
    EXPECT_EQ(disc.radius[0], static_cast<float>(40.0 + 41 / 32767.0));
    EXPECT_EQ(disc.angle[0], 3.5411081f);
    EXPECT_EQ(disc.angularSpeed[0], 0.0039526615f);
    for (std::int32_t i = 0; i < 20; ++i) {
        EXPECT_GE(disc.radius[i], 40.0f);
        EXPECT_LE(disc.radius[i], 41.0f);
    }
    EXPECT_EQ(disc.radius[20], 0.0f) << "the second batch is not spawned yet";

    stepDisc();
    EXPECT_EQ(disc.radius[0], 39.964977f);
    EXPECT_EQ(disc.angle[0], 3.5430844f);
    EXPECT_EQ(disc.angularSpeed[0], static_cast<float>(1.0 / std::pow(39.964977, 1.5)));
}

TEST_F(DiscTest, WarmUpSpawnsOneBatchAStepThatWaitsOneStepBeforeFalling)
{
    Draws draws;
    std::vector<Spawn> spawns;
    for (std::int32_t b = 0; b < 1100; ++b) {
        for (int k = 0; k < 20; ++k)
            spawns.push_back(spawnFrom(draws));
        advanceDisc();
        ASSERT_EQ(liveCount(), 20 * (b + 1));
        for (std::int32_t i = b * 20; i < b * 20 + 20; ++i) {
            ASSERT_EQ(disc.radius[i], nth(spawns, i).radius) << "particle " << i;
            ASSERT_EQ(disc.angle[i], nth(spawns, i).angle) << "particle " << i;
            ASSERT_EQ(disc.angularSpeed[i], nth(spawns, i).angularSpeed) << "particle " << i;
        }
        for (std::int32_t i = b * 20 - 20; i >= 0 && i < b * 20; ++i) {
            ASSERT_EQ(disc.radius[i], static_cast<float>(nth(spawns, i).radius - fall)) << "particle " << i;
            ASSERT_EQ(disc.angle[i], static_cast<float>(nth(spawns, i).angle + nth(spawns, i).angularSpeed * 0.5));
        }
    }
    EXPECT_EQ(liveCount(), 22000);
}

TEST_F(DiscTest, StepAfterWarmUpRespawnsTheOldestBatchAndAdvancesIt)
{
    steps(1100);
    Draws draws;
    for (int k = 0; k < 1100 * 20; ++k)
        spawnFrom(draws);
    std::vector<Spawn> batch;
    batch.reserve(20);
    for (int k = 0; k < 20; ++k)
        batch.push_back(spawnFrom(draws));
    const float untouched = disc.radius[20];

    advanceDisc();
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(disc.radius[k], static_cast<float>(nth(batch, k).radius - fall));
        EXPECT_EQ(disc.angle[k], static_cast<float>(nth(batch, k).angle + nth(batch, k).angularSpeed * 0.5));
    }
    EXPECT_EQ(disc.radius[20], static_cast<float>(untouched - fall));

    // The next steps go on through the batches in index order.
    advanceDisc();
    EXPECT_GT(disc.radius[20], 39.9f);
    EXPECT_LT(disc.radius[40], 39.9f);
}

TEST_F(DiscTest, RadiiAndSpeedsStayOnScheduleThroughTwoLives)
{
    for (int k = 0; k < 2300; ++k) {
        advanceDisc();
        if (k % 97 != 0)
            continue;
        for (std::int32_t i = 0; i < liveCount(); ++i) {
            ASSERT_GT(disc.radius[i], 0.0999f) << "step " << k << " particle " << i;
            ASSERT_LE(disc.radius[i], 41.0f) << "step " << k << " particle " << i;
            ASSERT_EQ(disc.angularSpeed[i], static_cast<float>(1.0 / std::pow(double{disc.radius[i]}, 1.5)));
        }
    }
}

TEST_F(DiscTest, ZeroTimeStepFreezesAnglesWhileRadiiStillFall)
{
    steps(1100);
    disc.timeStep = 0.0f;
    const std::vector<float> angles(disc.angle, disc.angle + disc.particleCount);
    const std::vector<float> radii(disc.radius, disc.radius + disc.particleCount);
    advanceDisc();
    for (std::int32_t i = 20; i < disc.particleCount; ++i) {
        ASSERT_EQ(disc.angle[i], nth(angles, i));
        ASSERT_EQ(disc.radius[i], static_cast<float>(nth(radii, i) - fall));
    }
}

TEST_F(DiscTest, NegativeTimeStepTurnsParticlesBack)
{
    steps(1100);
    disc.timeStep = -0.000997f;
    const float before = disc.angle[500];
    advanceDisc();
    EXPECT_LT(disc.angle[500], before);
}

TEST_F(DiscTest, HugeStepCountsKeepEveryParticleLiveAndTheRespawnInRange)
{
    steps(1100);
    disc.stepCount = 1000000000;
    EXPECT_EQ(liveCount(), 22000);
    const std::vector<float> radii(disc.radius, disc.radius + disc.particleCount);
    advanceDisc();
    for (std::int32_t i = 0; i < disc.particleCount; ++i) {
        const bool respawned = i >= 20000 && i < 20020;
        if (respawned)
            ASSERT_GT(disc.radius[i], 39.9f) << "batch 1000 is respawned, particle " << i;
        else
            ASSERT_EQ(disc.radius[i], static_cast<float>(nth(radii, i) - fall)) << "particle " << i;
    }

    disc.stepCount = std::numeric_limits<std::int64_t>::max() - 1;
    EXPECT_EQ(liveCount(), 22000);
    advanceDisc();
    EXPECT_EQ(liveCount(), 22000);
    EXPECT_EQ(disc.stepCount, std::numeric_limits<std::int64_t>::max());
}

TEST_F(DiscTest, TwoRunsWithTheSameTimeStepChangesGiveIdenticalArrays)
{
    const auto run = [] {
        freshState();
        for (int k = 0; k < 1500; ++k) {
            if (k % 300 == 0)
                disc.timeStep = static_cast<float>(disc.timeStep - 0.25);
            advanceDisc();
        }
        std::vector<float> all(disc.radius, disc.radius + disc.particleCount);
        all.insert(all.end(), disc.angularSpeed, disc.angularSpeed + disc.particleCount);
        all.insert(all.end(), disc.angle, disc.angle + disc.particleCount);
        return all;
    };
    const std::vector<float> first = run();
    const std::vector<float> second = run();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}

} // namespace
