// Prints fingerprints of the disc's three arrays and of the points a frame
// sends, at checkpoints of a long run whose time step changes on the way
// (negative included), so that every build, on every platform, can be held to
// the same numbers bit for bit.
//   disc_numbers         110000 steps, a line every 1000 steps (and at 1, 2, 1100, 1101)
//   disc_numbers STEPS   STEPS steps at the starting time step, one line at the end
#include "disc/disc.h"
#include "render/points.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// FNV-1a over each float's bit pattern, low byte first, so that the same
// numbers give the same fingerprint whatever the machine's byte order.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037u;

    void add(float f)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        for (int byte = 0; byte < 4; ++byte) {
            value = (value ^ ((bits >> (8 * byte)) & 0xFFu)) * 1099511628211u;
        }
    }
};

std::uint64_t arrayPrint(const float* values)
{
    Fingerprint print;
    for (std::int32_t i = 0; i < disc.particleCount; ++i)
        print.add(values[i]);
    return print.value;
}

// The x, y and grey of every live particle, as the frame computes them.
std::uint64_t framePrint()
{
    Fingerprint print;
    float x[pointBlockSize];
    float y[pointBlockSize];
    float grey[pointBlockSize];
    const std::int32_t live = liveCount();
    for (std::int32_t first = 0; first < live; first += pointBlockSize) {
        const std::int32_t count = std::min(pointBlockSize, live - first);
        pointBlock(disc.radius + first, disc.angle + first, count, disc.outerRadius, x, y, grey);
        for (std::int32_t k = 0; k < count; ++k) {
            print.add(x[k]);
            print.add(y[k]);
            print.add(grey[k]);
        }
    }
    return print.value;
}

void printCheckpoint()
{
    std::uint32_t timeStepBits = 0;
    std::memcpy(&timeStepBits, &disc.timeStep, sizeof timeStepBits);
    std::printf("step %" PRId64 " timeStep %08" PRIx32 " radius %016" PRIx64 " angularSpeed %016" PRIx64
                " angle %016" PRIx64 " points %016" PRIx64 "\n",
                disc.stepCount, timeStepBits, arrayPrint(disc.radius), arrayPrint(disc.angularSpeed),
                arrayPrint(disc.angle), framePrint());
}

void longRun()
{
    // Ten lives of the disc at each time step: small and large, both
    // directions, and zero.
    const float timeSteps[] = {0.5f, 0.25f, -0.5f, 3.0f, -0.000997f, 0.0f, 1.5f, -2.0f, 10.0f, -10.0f, 0.499f};
    for (const float timeStep : timeSteps) {
        disc.timeStep = timeStep;
        for (int k = 0; k < 10000; ++k) {
            advanceDisc();
            const std::int64_t step = disc.stepCount;
            if (step % 1000 == 0 || step == 1 || step == 2 || step == 1100 || step == 1101)
                printCheckpoint();
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    allocateDisc();
    if (argc > 1) {
        const long steps = std::strtol(argv[1], nullptr, 10);
        for (long k = 0; k < steps; ++k)
            advanceDisc();
        printCheckpoint();
    } else {
        longRun();
    }
    releaseDisc();
    return 0;
}
