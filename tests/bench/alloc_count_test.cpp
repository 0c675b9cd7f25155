#include "bench/alloc_count.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {
void *volatile kept = nullptr;  // keeps the compiler from dropping an allocation it can see

struct Delta {
    uint64_t all;
    uint64_t program;
};

// What `allocate` added to the counts; nothing else may run on the thread in between.
template <typename Allocate> Delta CountsOf(Allocate allocate)
{
    const AllocCounts before = AllocCountsSoFar();
    allocate();
    const AllocCounts after = AllocCountsSoFar();
    return Delta{after.all - before.all, after.program - before.program};
}

class AllocCountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AllocCountThisThread();
        AllocCountMapLibraries();
    }
};

// Every way in is counted once, and told apart by who asked: this program, or the C library
// on its behalf (strdup), which the per-frame goal must not blame on the game.
TEST_F(AllocCountTest, CountsEachEntryPointOnceByTheCodeThatAsked)
{
    struct Case {
        const char *name;
        void (*allocate)();
        uint64_t program;
    };
    const Case cases[] = {
        {"malloc", [] { kept = malloc(24); }, 1},
        {"calloc", [] { kept = calloc(3, 8); }, 1},
        {"realloc", [] { kept = realloc(nullptr, 24); }, 1},
        {"aligned_alloc", [] { kept = aligned_alloc(64, 128); }, 1},
        {"new", [] { kept = new int(7); }, 1},
        {"new[]", [] { kept = new char[40]; }, 1},
        {"posix_memalign",
         [] {
             void *block = nullptr;
             kept = posix_memalign(&block, 64, 64) == 0 ? block : nullptr;
         },
         1},
        {"strdup", [] { kept = strdup("a line of text"); }, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Delta delta = CountsOf(c.allocate);
        EXPECT_NE(kept, nullptr);
        EXPECT_EQ(delta.all, 1u);
        EXPECT_EQ(delta.program, c.program);
        free(kept);  // what new gave back comes from the same allocator
    }
}

TEST_F(AllocCountTest, OtherThreadsAreNotCounted)
{
    // Starting a thread allocates on this one (the first time more); a worker's own allocations
    // must not add to that.
    const auto idle = [] {
        std::thread worker([] {});
        worker.join();
    };
    idle();
    const Delta alone = CountsOf(idle);
    const Delta delta = CountsOf([] {
        std::thread worker([] {
            for (int i = 0; i < 5; ++i) {
                kept = malloc(100);
                free(kept);
            }
        });
        worker.join();
    });
    EXPECT_EQ(delta.all, alone.all);
}
}  // namespace
