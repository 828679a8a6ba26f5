// The program's fast step and frame against the plain reading kept in bench/:
// the same arrays and the same points, bit for bit, through two lives of the
// disc with the time step changed on the way, negative included.
#include "plain.h"

#include "disc/disc.h"
#include "render/render.h"
#include "support/fresh_state.h"
#include "support/gl_recorder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool sameBits(const float* a, const float* b, std::int32_t n)
{
    return std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(float)) == 0;
}

TEST(PlainAgreementTest, StepsAndFramesMatchThePlainReadingBitForBit)
{
    freshState();
    PlainDisc plain;
    const float timeSteps[] = {0.5f, 0.25f, -0.000997f, 3.0f, 0.0f, 0.5f};
    for (int k = 0; k < 2400; ++k) {
        if (k % 400 == 0) {
            disc.timeStep = timeSteps[k / 400];
            plain.timeStep = timeSteps[k / 400];
        }
        advanceDisc();
        plainStep(plain);
        ASSERT_TRUE(sameBits(disc.radius, plain.radius.data(), disc.particleCount)) << "step " << k;
        ASSERT_TRUE(sameBits(disc.angularSpeed, plain.angularSpeed.data(), disc.particleCount)) << "step " << k;
        ASSERT_TRUE(sameBits(disc.angle, plain.angle.data(), disc.particleCount)) << "step " << k;
        if (k % 150 != 0)
            continue;
        resetGlRecord();
        drawDisc();
        ASSERT_EQ(static_cast<std::int32_t>(gl.points.size()), plainLiveCount(plain));
        for (std::int32_t i = 0; i < plainLiveCount(plain); ++i) {
            const PlainPoint p = plainPoint(plain, i);
            const GlPoint& sent = gl.points[static_cast<std::size_t>(i)];
            const float expected[] = {p.x, p.y, p.g};
            const float got[] = {sent.x, sent.y, sent.g};
            ASSERT_TRUE(sameBits(expected, got, 3)) << "step " << k << " particle " << i;
        }
    }
    releaseDisc();
}

} // namespace
