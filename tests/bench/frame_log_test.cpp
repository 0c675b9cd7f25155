#include "bench/frame_log.h"

#include "bench/alloc_count.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {
void *volatile kept[4];

std::string Written()
{
    static char text[1 << 16];
    memset(text, 0, sizeof text);
    FILE *const out = fmemopen(text, sizeof text - 1, "w");
    FrameLogWrite(out);
    fclose(out);
    return text;
}

// Frame times are present to present, and each frame owns what was allocated before its present:
// three blocks before the second present belong to the second frame, not the first.
TEST(FrameLogTest, TimesAndAllocationsBelongToTheFrameTheyPrecede)
{
    AllocCountThisThread();
    FrameLogStart(100.0);
    FrameLogPresent(100.010);
    for (int i = 0; i < 3; ++i) {
        kept[i] = malloc(16);
    }
    FrameLogPresent(100.035);
    for (int i = 0; i < 3; ++i) {
        free(kept[i]);
    }
    const std::string text = Written();
    EXPECT_EQ(FrameLogFrames(), 2);
    EXPECT_NEAR(FrameLogSeconds(), 0.035, 1e-9);
    EXPECT_NE(text.find("frames 2\nseconds 0.035000\nfps 57.143\n"), std::string::npos) << text;
    EXPECT_NE(text.find("samples\n10.0000 0 0 0 0\n25.0000 3 3 0 0\n"), std::string::npos) << text;
    FrameLogStart(200.0);  // starting again forgets them all
    EXPECT_EQ(FrameLogFrames(), 0);
    const std::string again = Written();
    EXPECT_NE(again.find("frames 0\nseconds 0.000000\n"), std::string::npos) << again;
    EXPECT_EQ(again.substr(again.find("samples\n")), "samples\n");
}
}  // namespace
