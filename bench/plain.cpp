// The baseline, written plainly in the order the program's rules give, with
// no regard for speed.
#include "plain.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t plainRandom(PlainDisc& d)
{
    d.randomState = d.randomState * 214013u + 2531011u;
    return (d.randomState >> 16) & 0x7FFFu;
}

void plainSpawn(PlainDisc& d, std::size_t i)
{
    const auto u1 = static_cast<float>(plainRandom(d) / 32767.0);
    d.radius[i] = static_cast<float>(static_cast<double>(d.outerRadius) + u1);
    d.angularSpeed[i] = static_cast<float>(1.0 / std::pow(static_cast<double>(d.radius[i]), 1.5));
    const auto u2 = static_cast<float>(plainRandom(d) / 32767.0);
    d.angle[i] = static_cast<float>(static_cast<double>(u2) * 2.0 * 3.14159);
}

} // namespace

std::int32_t plainLiveCount(const PlainDisc& d)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(d.particleCount, std::int64_t{d.batchSize} * d.stepCount));
}

void plainStep(PlainDisc& d)
{
    const std::int64_t b = d.stepCount % d.lifetimeSteps;
    for (std::int64_t i = b * d.batchSize; i < b * d.batchSize + d.batchSize; ++i)
        plainSpawn(d, static_cast<std::size_t>(i));
    const std::int32_t live = plainLiveCount(d);
    for (std::size_t i = 0; i < static_cast<std::size_t>(d.particleCount); ++i) {
        if (static_cast<std::int64_t>(i) >= live)
            continue;
        d.angle[i] = static_cast<float>(d.angle[i] + static_cast<double>(d.angularSpeed[i]) * d.timeStep);
        d.radius[i] = static_cast<float>(
            d.radius[i] - (static_cast<double>(d.outerRadius) - static_cast<double>(d.innerRadius)) / d.lifetimeSteps);
        d.angularSpeed[i] = static_cast<float>(1.0 / std::pow(static_cast<double>(d.radius[i]), 1.5));
    }
    ++d.stepCount;
}

PlainPoint plainPoint(const PlainDisc& d, std::int32_t i)
{
    const auto k = static_cast<std::size_t>(i);
    const double a = d.angle[k];
    const auto x = static_cast<float>(static_cast<double>(static_cast<float>(std::cos(a))) * d.radius[k]);
    const auto y = static_cast<float>(static_cast<double>(static_cast<float>(std::sin(a))) * d.radius[k]);
    const auto g = static_cast<float>((static_cast<double>(d.outerRadius) - d.radius[k]) / d.outerRadius +
                                      static_cast<double>(0.2f));
    return {x, y, g};
}
