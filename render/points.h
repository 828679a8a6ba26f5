// The frame's arithmetic, a block of particles at a time: the x, y and grey
// level that drawDisc sends for each. No GL here.
#pragma once

#include <cstdint>

// Blocks this long keep the scratch arrays on the stack and in the cache.
constexpr std::int32_t pointBlockSize = 256;

// sine[k] and cosine[k] become exactly (float)std::sin(angle[k]) and
// (float)std::cos(angle[k]), the angle widened to double, for every float.
void sinCosBlock(const float* angle, std::int32_t count, float* sine, float* cosine);

// For each particle: x = (float)cos(angle) * radius, rounded to float, and y
// likewise with sine; grey = (outerRadius - radius) / outerRadius + 0.2f,
// evaluated in double and rounded once. count is at most pointBlockSize.
void pointBlock(const float* radius, const float* angle, std::int32_t count, float outerRadius, float* x, float* y,
                float* grey);
