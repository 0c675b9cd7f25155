#include "platform/window.h"

#include "platform/events.h"

#include <gtest/gtest.h>

namespace {
int presentCount = 0;
bool dueInsideHook = true;

void CountPresent()
{
    ++presentCount;
    dueInsideHook = P_FrameDue();
}

// Frame timing reads the present time from inside the hook, so it must already be recorded:
// with a minute between frames, no frame may be due yet. Needs no window: the present is noted
// even when there is nothing to swap.
TEST(PresentHookTest, RunsOncePerPresentAfterItsTimeIsRecorded)
{
    P_SetFrameInterval(60000);
    P_SetPresentHook(CountPresent);
    for (int frame = 1; frame <= 2; ++frame) {
        SCOPED_TRACE(frame);
        dueInsideHook = true;
        P_SwapBuffers();
        EXPECT_EQ(presentCount, frame);
        EXPECT_FALSE(dueInsideHook);
    }
    P_SetPresentHook(nullptr);
    P_SwapBuffers();
    EXPECT_EQ(presentCount, 2);
    P_SetFrameInterval(10);
}
}  // namespace
