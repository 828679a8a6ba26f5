// libFuzzer entry: each input is played as a run of the program's callbacks
// (tests/fuzz/input_driver.h gives the format); a broken invariant aborts with
// what broke, and libFuzzer keeps the input.
#include "input_driver.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    prepareFuzzRuns();
    std::atexit([] {
        const FuzzCounts& c = fuzzCounts();
        std::fprintf(stderr, "input_fuzzer: %llu events, %llu steps, %llu frames, %llu Escapes\n",
                     static_cast<unsigned long long>(c.events), static_cast<unsigned long long>(c.steps),
                     static_cast<unsigned long long>(c.frames), static_cast<unsigned long long>(c.escapes));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = playInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "input_fuzzer: invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
