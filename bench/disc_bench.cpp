// Google Benchmark: one steady-state step and the arithmetic of one frame
// (x, y and grey of 22000 particles), the plain reading against the program's
// own code, with each figure's ratio to the plain one printed at the end.
#include "plain.h"

#include "disc/disc.h"
#include "render/points.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

void fillVelquin()
{
    if (disc.radius == nullptr)
        allocateDisc();
    while (disc.stepCount < 1500)
        advanceDisc();
}

PlainDisc& filledPlain()
{
    static PlainDisc plain;
    while (plain.stepCount < 1500)
        plainStep(plain);
    return plain;
}

void stepPlain(benchmark::State& state)
{
    PlainDisc& plain = filledPlain();
    for (auto _ : state) {
        plainStep(plain);
        benchmark::DoNotOptimize(plain.angle.data());
    }
}

void stepVelquin(benchmark::State& state)
{
    fillVelquin();
    for (auto _ : state) {
        advanceDisc();
        benchmark::DoNotOptimize(disc.angle);
    }
}

void frameArithmeticPlain(benchmark::State& state)
{
    const PlainDisc& plain = filledPlain();
    std::vector<PlainPoint> points(static_cast<std::size_t>(plain.particleCount));
    for (auto _ : state) {
        for (std::int32_t i = 0; i < plainLiveCount(plain); ++i)
            points[static_cast<std::size_t>(i)] = plainPoint(plain, i);
        benchmark::DoNotOptimize(points.data());
    }
}

void frameArithmeticVelquin(benchmark::State& state)
{
    fillVelquin();
    std::vector<float> x(pointBlockSize), y(pointBlockSize), grey(pointBlockSize);
    for (auto _ : state) {
        const std::int32_t live = liveCount();
        for (std::int32_t first = 0; first < live; first += pointBlockSize) {
            pointBlock(disc.radius + first, disc.angle + first, std::min(pointBlockSize, live - first),
                       disc.outerRadius, x.data(), y.data(), grey.data());
            benchmark::DoNotOptimize(x.data());
            benchmark::DoNotOptimize(y.data());
            benchmark::DoNotOptimize(grey.data());
        }
    }
}

BENCHMARK(stepPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(stepVelquin)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameArithmeticPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(frameArithmeticVelquin)->Unit(benchmark::kMicrosecond);

// The console table as usual, and the times kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> microseconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            microseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* what, const std::string& plain, const std::string& own) {
        if (reporter.microseconds.count(plain) != 0 && reporter.microseconds.count(own) != 0)
            std::printf("%-26s plain %9.2f us  velquin %9.2f us  ratio %.3f\n", what, reporter.microseconds[plain],
                        reporter.microseconds[own], reporter.microseconds[own] / reporter.microseconds[plain]);
    };
    ratio("step (steady state)", "stepPlain", "stepVelquin");
    ratio("frame arithmetic (22000)", "frameArithmeticPlain", "frameArithmeticVelquin");
    benchmark::Shutdown();
    releaseDisc();
    return 0;
}
