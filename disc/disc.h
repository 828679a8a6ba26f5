// The particle disc: its fixed parameters, the three per-particle arrays, the
// random source that places new particles and the step that moves them.
// No GL here: the one redisplay request is made by stepDisc, at the edge.
#pragma once

#include <cstdint>

// The fields are kept in columns by hand.
// clang-format off
struct Disc {
    std::int32_t batchSize     = 20;      // particles respawned on each step
    std::int32_t lifetimeSteps = 1100;    // steps between two spawns of a particle; also the number of batches
    float        outerRadius   = 40.0f;   // lower bound of the spawn radius, in model units
    float        innerRadius   = 0.1f;    // where a particle spawned at outerRadius ends its life
    float        timeStep      = 0.5f;    // factor on each angular speed per step; the arrow keys change it
    std::int32_t particleCount = lifetimeSteps * batchSize;
    float*       radius        = nullptr; // distance from the centre, in model units
    float*       angularSpeed  = nullptr; // radius^-1.5, kept in step with radius
    float*       angle         = nullptr; // polar angle in radians; never reduced modulo 2 pi
    std::int64_t stepCount     = 0;       // steps taken since start
};
// clang-format on

extern Disc disc;

// The generator's state: 1 at process start and never seeded, so every run
// places its particles in the same way.
extern std::uint32_t randomState;

// Allocates the three arrays, zero-filled. On failure it says on standard
// error which array could not be had and ends the process with status 1.
void allocateDisc();
void releaseDisc();

// Particles with an index below this are live; it never overflows.
std::int32_t liveCount();

// r^-1.5 rounded to float, as the disc computes every angular speed.
float inversePower(float r);

// 0 to 32767 inclusive, from a fixed linear congruential sequence.
std::uint32_t nextRandom();
void spawnParticle(std::int32_t i);

// One simulation step without the redisplay request, for use without a window.
void advanceDisc();
// The idle callback: one step, then a redisplay request.
void stepDisc();
