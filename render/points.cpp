// The frame's arithmetic. Sine and cosine come from one polynomial pass that
// vectorizes, checked lane by lane: where the fast value cannot be shown to
// round to the same float as the standard library's, that lane is redone with
// the standard library, so the points are the same bit for bit either way.
#include "render/points.h"

#include "disc/target_clones.h"

#include <cmath>
#include <cstring>

// The reduction's constants and both polynomials below are fdlibm's (its
// e_rem_pio2.c, k_sin.c and k_cos.c, as kept in FreeBSD's and musl's libm),
// under its notice:
//
//   Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
//   Developed at SunSoft, a Sun Microsystems, Inc. business.
//   Permission to use, copy, modify, and distribute this
//   software is freely granted, provided that this notice
//   is preserved.

namespace {

// pi/2 in three pieces for the reduction: the first two have 33 significant
// bits, so their products with a quadrant number below 2^20 are exact.
constexpr double twoOverPi = 6.36619772367581382433e-01;
constexpr double halfPi1 = 1.57079632673412561417e+00;
constexpr double halfPi2 = 6.07710050630396597660e-11;
constexpr double halfPi2Tail = 2.02226624879595063154e-21;

// Adding and taking away 1.5 * 2^52 rounds to an integer, which then sits in
// the low bits of the sum.
constexpr double roundingShift = 0x1.8p52;

// Beyond this the quadrant products stop being exact; such angles (never
// reached with the default time step, whose angles stay below 100) go to the
// standard library.
constexpr double fastLimit = 0x1p20;

// Reduction and polynomials are together within 2^-50 of the true values and
// the standard library within one double ulp; a lane whose value lies farther
// than this from every float rounding boundary rounds as the library's does.
constexpr double errorBound = 0x1p-46;

// Minimax polynomials for sine and cosine on [-pi/4, pi/4], error below 2^-58.
constexpr double s1 = -1.66666666666666324348e-01;
constexpr double s2 = 8.33333333332248946124e-03;
constexpr double s3 = -1.98412698298579493134e-04;
constexpr double s4 = 2.75573137070700676789e-06;
constexpr double s5 = -2.50507602534068634195e-08;
constexpr double s6 = 1.58969099521155010221e-10;
constexpr double c1 = 4.16666666666666019037e-02;
constexpr double c2 = -1.38888888888741095749e-03;
constexpr double c3 = 2.48015872894767294178e-05;
constexpr double c4 = -2.75573143513906633035e-07;
constexpr double c5 = 2.08757232129817482790e-09;
constexpr double c6 = -1.13596475577881948265e-11;

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double doubleOf(std::uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool roundsSurely(double value)
{
    return static_cast<float>(value - errorBound) == static_cast<float>(value + errorBound);
}

// Returns how many lanes are doubtful and marks them.
VELQUIN_TARGET_CLONES
std::int32_t fastSinCos(const float* __restrict angle, std::int32_t count, float* __restrict sine,
                        float* __restrict cosine, unsigned char* __restrict doubtful)
{
    std::int32_t doubts = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const double a = angle[i];
        const double shifted = a * twoOverPi + roundingShift;
        const double k = shifted - roundingShift;
        const std::uint64_t quadrant = bitsOf(shifted) & 3u;

        const double r = ((a - k * halfPi1) - k * halfPi2) - k * halfPi2Tail;
        const double z = r * r;
        const double sinR = r + r * z * (s1 + z * (s2 + z * (s3 + z * (s4 + z * (s5 + z * s6)))));
        const double cosR = 1.0 - 0.5 * z + z * z * (c1 + z * (c2 + z * (c3 + z * (c4 + z * (c5 + z * c6)))));

        // Each quadrant swaps sine and cosine or flips their signs, done on
        // the bits so that the loop has no branch and vectorizes.
        const std::uint64_t swap = 0 - (quadrant & 1u);
        const std::uint64_t sinFlip = (quadrant & 2u) << 62;
        const std::uint64_t cosFlip = ((quadrant + 1u) & 2u) << 62;
        const std::uint64_t sinBits = bitsOf(sinR), cosBits = bitsOf(cosR);
        const double sinA = doubleOf(((cosBits & swap) | (sinBits & ~swap)) ^ sinFlip);
        const double cosA = doubleOf(((sinBits & swap) | (cosBits & ~swap)) ^ cosFlip);
        sine[i] = static_cast<float>(sinA);
        cosine[i] = static_cast<float>(cosA);
        // A NaN angle fails the first comparison and so counts as doubtful.
        // The tests are combined without short-circuits, which would branch.
        const int sure = static_cast<int>(std::fabs(a) <= fastLimit) & static_cast<int>(roundsSurely(sinA)) &
                         static_cast<int>(roundsSurely(cosA));
        doubtful[i] = static_cast<unsigned char>(1 - sure);
        doubts += 1 - sure;
    }
    return doubts;
}

VELQUIN_TARGET_CLONES
void placePoints(const float* __restrict radius, const float* __restrict sine, const float* __restrict cosine,
                 std::int32_t count, float outerRadius, float* __restrict x, float* __restrict y,
                 float* __restrict grey)
{
    const double outer = outerRadius;
    const double brightnessOffset = 0.2f; // the float 0.2, added in double
    for (std::int32_t i = 0; i < count; ++i) {
        // The product of two floats is exact in double, so rounding it to
        // float is the same as one float multiplication.
        x[i] = cosine[i] * radius[i];
        y[i] = sine[i] * radius[i];
        grey[i] = static_cast<float>((outer - radius[i]) / outer + brightnessOffset);
    }
}

} // namespace

void sinCosBlock(const float* angle, std::int32_t count, float* sine, float* cosine)
{
    unsigned char doubtful[pointBlockSize];
    for (std::int32_t first = 0; first < count; first += pointBlockSize) {
        const std::int32_t n = count - first < pointBlockSize ? count - first : pointBlockSize;
        if (fastSinCos(angle + first, n, sine + first, cosine + first, doubtful) == 0)
            continue;
        for (std::int32_t k = 0; k < n; ++k)
            if (doubtful[k] != 0) {
                const double a = angle[first + k];
                sine[first + k] = static_cast<float>(std::sin(a));
                cosine[first + k] = static_cast<float>(std::cos(a));
            }
    }
}

void pointBlock(const float* radius, const float* angle, std::int32_t count, float outerRadius, float* x, float* y,
                float* grey)
{
    float sine[pointBlockSize];
    float cosine[pointBlockSize];
    sinCosBlock(angle, count, sine, cosine);
    placePoints(radius, sine, cosine, count, outerRadius, x, y, grey);
}
