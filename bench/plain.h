// The plain reading of the disc step and the frame's arithmetic, kept as the
// baseline that the benchmarks measure the program's own code against: the
// power function per particle per step, sine and cosine per particle per frame.
#pragma once

#include <cstdint>
#include <vector>

struct PlainDisc {
    std::int32_t batchSize = 20;
    std::int32_t lifetimeSteps = 1100;
    float outerRadius = 40.0f;
    float innerRadius = 0.1f;
    float timeStep = 0.5f;
    std::int32_t particleCount = lifetimeSteps * batchSize;
    std::vector<float> radius = std::vector<float>(static_cast<std::size_t>(particleCount));
    std::vector<float> angularSpeed = std::vector<float>(static_cast<std::size_t>(particleCount));
    std::vector<float> angle = std::vector<float>(static_cast<std::size_t>(particleCount));
    std::int64_t stepCount = 0;
    std::uint32_t randomState = 1;
};

std::int32_t plainLiveCount(const PlainDisc& d);
void plainStep(PlainDisc& d);

// The x, y and grey values that a frame sends for particle i.
struct PlainPoint {
    float x, y, g;
};
PlainPoint plainPoint(const PlainDisc& d, std::int32_t i);
