// Plays a byte string as a run of the program: its own input callbacks, steps
// and frames (drawn through the recording GL stand-in), in the order the bytes
// give, checking the disc's and the frame's invariants after every event.
// The libFuzzer harness and the corpus replay test share it.
//
// Byte format (every value little-endian; a value cut short by the end of the
// input reads as zero):
//   start     1 byte: the state the run starts from, modulo 5:
//             0 fresh, 1 ten steps before the end of warm-up (1090 steps), 2 warm (1100 steps),
//             3 warm with stepCount just past where batchSize x stepCount would
//             overflow 64 bits, 4 warm with stepCount as near 2^63 as the step
//             budget allows
//   timeStep  4 bytes: a signed count of 0.001 presses added to 0.5, clamped to
//             what presses can reach (about +-32768)
//   events    repeated to the end: an opcode byte, modulo 9, and its operands
//             0 keyboard   key (1 byte), x, y (4 bytes each)
//             1 special    key (4 bytes), x, y
//             2 mouse      button, state, x, y (4 bytes each)
//             3 motion     x, y
//             4 reshape    width, height
//             5 main loop  n (1 byte): n % 64 + 1 turns of GLUT's loop, each the
//                          idle callback if one is installed, then a pending redisplay
//             6 steps      n (1 byte): n % 64 + 1 calls of advanceDisc
//             7 display    (no operand)
//             8 held arrow key (1 byte, modulo 4, Left/Up/Right/Down),
//                          presses (2 bytes): that many special() calls
// Escape's exit(0) is intercepted (the test programs link with --wrap=exit):
// the driver checks that it was exit(0) with the arrays released, then starts
// afresh, as the program would if run again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Steps one input may take in all: a step of the full disc costs about a
// millisecond under the sanitizers, and the start states put every stage of
// the run within reach. It also keeps stepCount from passing 2^63 - 1, a count
// no run reaches (some 300 000 years at a million steps a second).
constexpr std::int64_t fuzzStepBudget = 256;

// Builds the start states; call once before the first run.
void prepareFuzzRuns();

// Plays one input; returns an empty string, or the first broken invariant.
std::string playInput(const std::uint8_t* data, std::size_t size);

// Events played and steps taken since prepareFuzzRuns, for the reports.
struct FuzzCounts {
    std::uint64_t events = 0;
    std::uint64_t steps = 0;
    std::uint64_t frames = 0;
    std::uint64_t escapes = 0;
};
const FuzzCounts& fuzzCounts();
