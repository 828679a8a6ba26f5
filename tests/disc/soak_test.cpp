// A million steps of the disc with the time step changed every few thousand
// steps, from the default through zero to the largest values the arrow keys
// reach, checking the invariants every few hundred steps. Part of `make soak`,
// not of CTest: it takes half a minute or more. VELQUIN_SOAK_STEPS sets another length.
#include "disc/disc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::int64_t soakSteps()
{
    const char* text = std::getenv("VELQUIN_SOAK_STEPS");
    return text != nullptr ? std::strtoll(text, nullptr, 10) : 1000000;
}

TEST(DiscSoakTest, AMillionStepsWithChangingTimeStepsKeepEveryInvariant)
{
    releaseDisc();
    disc = Disc{};
    randomState = 1;
    allocateDisc();

    // The values a user can reach: the default, just either side of zero (as
    // 500 and 501 Left presses leave it), ordinary ones, and the ends of what
    // presses can reach before the increment no longer moves the float.
    const float timeSteps[] = {0.5f, 0.0000029f, -0.000997f, 1.5f, -2.0f, 32768.0f, -32768.0f, 0.001f, 100.0f};
    const std::int64_t steps = soakSteps();
    // Both prime, so that neither keeps step with the 1100-step cycle.
    const std::int64_t changeEvery = 10007;
    const std::int64_t checkEvery = 997;

    float smallest = 41.0f, largest = 0.0f, widestAngle = 0.0f;
    std::int64_t checks = 0;
    const auto started = std::chrono::steady_clock::now();
    for (std::int64_t k = 0; k < steps; ++k) {
        if (k % changeEvery == 0)
            disc.timeStep =
                timeSteps[static_cast<std::size_t>(k / changeEvery) % (sizeof timeSteps / sizeof timeSteps[0])];
        advanceDisc();
        if (k % checkEvery != 0 && k != steps - 1)
            continue;
        ++checks;
        const std::int32_t live = liveCount();
        ASSERT_EQ(live, disc.stepCount >= 1100 ? 22000 : 20 * disc.stepCount) << "after step " << k;
        for (std::int32_t i = 0; i < live; ++i) {
            const float r = disc.radius[i];
            ASSERT_GT(r, 0.09f) << "step " << k << " particle " << i;
            ASSERT_LE(r, 41.1f) << "step " << k << " particle " << i;
            ASSERT_EQ(disc.angularSpeed[i], static_cast<float>(1.0 / std::pow(static_cast<double>(r), 1.5)))
                << "step " << k << " particle " << i;
            ASSERT_TRUE(std::isfinite(disc.angle[i])) << "step " << k << " particle " << i;
            smallest = std::fmin(smallest, r);
            largest = std::fmax(largest, r);
            widestAngle = std::fmax(widestAngle, std::fabs(disc.angle[i]));
        }
        // The batch the next step respawns lies inside the arrays.
        const std::int64_t next = disc.stepCount % disc.lifetimeSteps;
        ASSERT_GE(next, 0);
        ASSERT_LE((next + 1) * disc.batchSize, disc.particleCount);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(disc.stepCount, steps);
    std::printf("disc soak: %lld steps in %.1f s (%.3f ms a step), %lld checks; radii seen %.7g to %.7g, "
                "largest |angle| %.7g\n",
                static_cast<long long>(steps), seconds, seconds * 1000 / static_cast<double>(steps),
                static_cast<long long>(checks), static_cast<double>(smallest), static_cast<double>(largest),
                static_cast<double>(widestAngle));
    releaseDisc();
}

} // namespace
