// A failed allocation at start-up ends the program with a message, never with
// a null array. Linked with --wrap=calloc, so the test decides which call fails.
#include "disc/disc.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
int callocCallsBeforeFailure = -1; // -1: never fail
}

extern "C" void* __real_calloc(std::size_t count, std::size_t size);

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    if (callocCallsBeforeFailure == 0)
        return nullptr;
    if (callocCallsBeforeFailure > 0)
        --callocCallsBeforeFailure;
    return __real_calloc(count, size);
}

TEST(DiscAllocationDeathTest, SaysWhichArrayCouldNotBeHadAndExitsWithStatusOne)
{
    callocCallsBeforeFailure = 0;
    EXPECT_EXIT(allocateDisc(), ::testing::ExitedWithCode(1), "cannot allocate the radius array");
    callocCallsBeforeFailure = 1;
    EXPECT_EXIT(allocateDisc(), ::testing::ExitedWithCode(1), "cannot allocate the angularSpeed array");
    callocCallsBeforeFailure = 2;
    EXPECT_EXIT(allocateDisc(), ::testing::ExitedWithCode(1), "cannot allocate the angle array");
}

TEST(DiscAllocationTest, ReleaseLeavesNoDanglingArrays)
{
    callocCallsBeforeFailure = -1;
    allocateDisc();
    ASSERT_NE(disc.angle, nullptr);
    releaseDisc();
    EXPECT_EQ(disc.radius, nullptr);
    EXPECT_EQ(disc.angularSpeed, nullptr);
    EXPECT_EQ(disc.angle, nullptr);
}
