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
        {"strdup", [] { kept = strdup("a line of text"); }, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Delta delta = CountsOf(c.allocate);
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

TEST_F(AllocCountTest, BadAlignmentIsRefusedAndStillCounted)
{
    void *block = nullptr;
    int result = 0;
    const Delta delta = CountsOf([&] { result = posix_memalign(&block, 3, 64); });
    EXPECT_EQ(result, EINVAL);
    EXPECT_EQ(delta.all, 1u);
    const Delta good = CountsOf([&] { result = posix_memalign(&block, 64, 64); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 64, 0u);
    EXPECT_EQ(good.program, 1u);
    free(block);
}

TEST_F(AllocCountTest, ListsTheLibrariesThatAsked)
{
    kept = malloc(10);
    free(kept);
    kept = strdup("x");
    free(kept);
    char text[4096] = "";
    FILE *const out = fmemopen(text, sizeof text - 1, "w");
    ASSERT_NE(out, nullptr);
    AllocCountWriteByLibrary(out);
    fclose(out);
    EXPECT_NE(strstr(text, "alloc program "), nullptr) << text;
    EXPECT_NE(strstr(text, "alloc libc.so.6 "), nullptr) << text;
}
}  // namespace
