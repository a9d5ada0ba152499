// Nothing is allocated once a run is under way. This test program replaces the C library's
// allocator entry points with counting ones (the C library's own allocations go through them
// too), so it is built only where no sanitizer owns them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "sim/world.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);

static long allocations;

void* malloc(size_t size) {
    ++allocations;
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    ++allocations;
    return __libc_realloc(block, size);
}
}

// A food-rich world that never runs out of energy, logged to /dev/null as the runner logs.
TEST(NoAllocation, ManyStepsAfterTheFirstLineAllocateNothing) {
    const int32_t values[] = {1000000000, 3, 0, 5, 5,  5, 12, 20, 6,  16,         6,
                              3,          2, 1, 2, 12, 2, 1,  25, 10, 2000000000, 1};
    initWorldWith(7, values);
    logStream = std::fopen("/dev/null", "w");
    logFlushesEachLine = false;
    tickClock();  // the stream sets up its buffer with the first line

    const long before = allocations;
    for (int i = 0; i < 200000; ++i) {
        tickClock();
    }
    EXPECT_EQ(allocations, before);
    EXPECT_EQ(agent.stepCount, 200001);  // the run stayed live throughout

    // The count does see the C library's own allocations: opening a stream makes one.
    std::FILE* another = std::fopen("/dev/null", "w");
    EXPECT_GT(allocations, before);
    std::fclose(another);
    std::fclose(logStream);
}
