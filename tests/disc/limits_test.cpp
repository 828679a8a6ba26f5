// The disc at step counts near the ends of its 64-bit arithmetic: where
// batchSize x stepCount would overflow, and a whole cycle of respawns just
// below 2^63. The arrays come from a real warm-up; only stepCount is moved.
#include "disc/disc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
const double fall = (40.0 - double{0.1f}) / 1100;

class DiscLimitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        releaseDisc();
        disc = Disc{};
        randomState = 1;
        allocateDisc();
        for (int k = 0; k < 1100; ++k)
            advanceDisc();
    }
    void TearDown() override { releaseDisc(); }
};

TEST_F(DiscLimitsTest, WhereTheLiveCountProductWouldOverflowEveryParticleStaysLiveAndTheRightBatchRespawns)
{
    // 20 x stepCount passes 2^63 - 1 between these two counts.
    const std::int64_t lastSafe = int64Max / 20;
    const std::int64_t cycleStart = lastSafe / 1100 * 1100;
    for (const std::int64_t count : {lastSafe - 1, lastSafe, lastSafe + 1, cycleStart, cycleStart + 1099}) {
        disc.stepCount = count;
        ASSERT_EQ(liveCount(), 22000) << "stepCount " << count;
        const std::vector<float> before(disc.radius, disc.radius + disc.particleCount);
        advanceDisc();
        const auto batch = static_cast<std::int32_t>(count % 1100);
        for (std::int32_t i = 0; i < disc.particleCount; ++i) {
            if (i / 20 == batch) {
                ASSERT_GT(disc.radius[i], 39.9f) << "stepCount " << count << " respawns batch " << batch;
                ASSERT_LE(disc.radius[i], 41.0f);
            } else {
                ASSERT_EQ(disc.radius[i], static_cast<float>(before[static_cast<std::size_t>(i)] - fall))
                    << "stepCount " << count;
            }
        }
        EXPECT_EQ(disc.stepCount, count + 1);
        EXPECT_EQ(liveCount(), 22000);
    }
}

TEST_F(DiscLimitsTest, LastFullCycleBelowTwoToTheSixtyThreeRespawnsEveryBatchInOrder)
{
    // Two cycles so that every batch is respawned at least once after it has
    // fallen for a whole life; the last step lands on 2^63 - 1 itself.
    disc.stepCount = int64Max - 2200;
    std::vector<int> respawns(1100, 0);
    while (disc.stepCount < int64Max) {
        const auto batch = static_cast<std::int32_t>(disc.stepCount % 1100);
        ASSERT_GE(batch, 0);
        advanceDisc();
        ASSERT_EQ(liveCount(), 22000);
        for (std::int32_t i = batch * 20; i < batch * 20 + 20; ++i)
            ASSERT_GT(disc.radius[i], 39.9f) << "stepCount " << disc.stepCount - 1 << " batch " << batch;
        ++respawns[static_cast<std::size_t>(batch)];
    }
    for (int n : respawns)
        ASSERT_EQ(n, 2);
    EXPECT_EQ(disc.stepCount, int64Max);
}

} // namespace
