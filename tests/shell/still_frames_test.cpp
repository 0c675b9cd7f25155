#include "shell/still_frames.h"

#include <functional>

#include <gtest/gtest.h>

namespace {
StillView StillMenu()
{
    StillView view = {};
    view.menuVisible = true;
    view.consoleParked = true;
    return view;
}

StillView StillWorld()
{
    StillView view = StillMenu();
    view.menuVisible = false;
    view.worldAtRest = true;
    return view;
}

// A frame is skipped only when nothing at all can have changed the picture: each of these
// alone must have the frame drawn.
TEST(StillFramesTest, AnythingMovingDrawsTheFrame)
{
    EXPECT_TRUE(FrameIsStill(StillMenu()));
    EXPECT_TRUE(FrameIsStill(StillWorld()));
    const struct {
        const char *what;
        std::function<void(StillView &)> change;
    } changes[] = {
        {"a message", [](StillView &v) { v.changed = true; }},
        {"the pointer", [](StillView &v) { v.cursorMoved = true; }},
        {"a pad", [](StillView &v) { v.padsActive = true; }},
        {"the console", [](StillView &v) { v.consoleParked = false; }},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.what);
        for (StillView view : {StillMenu(), StillWorld()}) {
            c.change(view);
            EXPECT_FALSE(FrameIsStill(view));
        }
    }
    StillView hovered = StillMenu();
    hovered.buttonHovered = true;
    EXPECT_FALSE(FrameIsStill(hovered)) << "a hovered button pulses";
    StillView moving = StillWorld();
    moving.worldAtRest = false;
    EXPECT_FALSE(FrameIsStill(moving));
}
}  // namespace
