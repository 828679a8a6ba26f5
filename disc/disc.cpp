// The particle disc and its step. Every expression is evaluated in double
// precision and rounded to float only where a value is stored, as the
// static_casts show; the figures the tests check depend on those points.
#include "disc/disc.h"

#include "disc/gl.h"
#include "disc/target_clones.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

Disc disc;
std::uint32_t randomState = 1;

namespace {

float* allocateArray(const char* name)
{
    void* block = std::calloc(static_cast<std::size_t>(disc.particleCount), sizeof(float));
    if (block == nullptr) {
        std::fprintf(stderr, "Velquin: cannot allocate the %s array (%d floats)\n", name, disc.particleCount);
        releaseDisc();
        std::exit(1);
    }
    return static_cast<float*>(block);
}

// The divisor is 32767, not 32768, so that both ends of [0, 1] can be drawn.
float unitDraw()
{
    return static_cast<float>(nextRandom() / 32767.0);
}

} // namespace

// As 1 / (r * sqrt(r)): for every float radius the disc can hold this rounds
// to the same float as 1 / pow(r, 1.5) (the tests go through all of them), and
// square root and division are correctly rounded everywhere, so it is the more
// portable form as well as the one that vectorizes.
float inversePower(float r)
{
    const double wide = r;
    return static_cast<float>(1.0 / (wide * std::sqrt(wide)));
}

namespace {

// The fall of every live particle, over arrays that cannot alias, so that
// the loop vectorizes.
VELQUIN_TARGET_CLONES
void fall(float* __restrict radius, float* __restrict angularSpeed, float* __restrict angle, std::int32_t live,
          double timeStep, double decrement)
{
    for (std::int32_t i = 0; i < live; ++i) {
        // The angle moves with the speed of the radius before this step's fall.
        angle[i] = static_cast<float>(angle[i] + angularSpeed[i] * timeStep);
        radius[i] = static_cast<float>(radius[i] - decrement);
        angularSpeed[i] = inversePower(radius[i]);
    }
}

} // namespace

void allocateDisc()
{
    disc.radius = allocateArray("radius");
    disc.angularSpeed = allocateArray("angularSpeed");
    disc.angle = allocateArray("angle");
}

void releaseDisc()
{
    std::free(disc.radius);
    std::free(disc.angularSpeed);
    std::free(disc.angle);
    disc.radius = nullptr;
    disc.angularSpeed = nullptr;
    disc.angle = nullptr;
}

std::int32_t liveCount()
{
    // Once warm-up is over every particle is live; testing that first keeps
    // the product below from ever growing with stepCount.
    if (disc.stepCount >= disc.lifetimeSteps)
        return disc.particleCount;
    const std::int64_t spawned = std::int64_t{disc.batchSize} * disc.stepCount;
    return static_cast<std::int32_t>(std::min<std::int64_t>(disc.particleCount, spawned));
}

std::uint32_t nextRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return (randomState >> 16) & 0x7FFFu;
}

void spawnParticle(std::int32_t i)
{
    const float radiusDraw = unitDraw();
    disc.radius[i] = static_cast<float>(static_cast<double>(disc.outerRadius) + radiusDraw);
    disc.angularSpeed[i] = inversePower(disc.radius[i]);
    const float angleDraw = unitDraw();
    // 3.14159, not the full pi: the spawn angles are tied to this constant.
    disc.angle[i] = static_cast<float>(static_cast<double>(angleDraw) * 2.0 * 3.14159);
}

void advanceDisc()
{
    const auto batch = static_cast<std::int32_t>(disc.stepCount % disc.lifetimeSteps);
    const std::int32_t first = batch * disc.batchSize;
    for (std::int32_t i = first; i < first + disc.batchSize; ++i)
        spawnParticle(i);

    // The live count is taken before stepCount moves on, so during warm-up
    // the batch just spawned waits one step before it falls.
    const double decrement = (static_cast<double>(disc.outerRadius) - disc.innerRadius) / disc.lifetimeSteps;
    fall(disc.radius, disc.angularSpeed, disc.angle, liveCount(), disc.timeStep, decrement);
    ++disc.stepCount;
}

void stepDisc()
{
    advanceDisc();
    glutPostRedisplay();
}
