// Replays the fuzzer's seed corpus through the same event player, with the
// ordinary compiler and in the ordinary suite, so the seeds stay meaningful.
#include "input_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<std::filesystem::path> inputsIn(const char* folder)
{
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

void replayAll(const char* folder)
{
    const std::vector<std::filesystem::path> paths = inputsIn(folder);
    ASSERT_FALSE(paths.empty()) << "no input in " << folder;
    for (const auto& path : paths) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_EQ(playInput(bytes.data(), bytes.size()), "") << path.filename();
    }
}

class FuzzCorpusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareFuzzRuns(); }
};

TEST_F(FuzzCorpusTest, EverySeedKeepsTheInvariants)
{
    replayAll(VELQUIN_FUZZ_DIR "/corpus");
    EXPECT_GT(fuzzCounts().escapes, 0u) << "the seeds press Escape at least once";
}

} // namespace
