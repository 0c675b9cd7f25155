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
        {"a held key", [](StillView &v) { v.keysHeld = true; }},
        {"a held mouse button", [](StillView &v) { v.mouseButtonHeld = true; }},
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
    // What belongs to the other screen does not count.
    StillView menu = StillMenu();
    menu.worldAtRest = false;
    EXPECT_TRUE(FrameIsStill(menu)) << "the world stands still behind the menu";
    StillView world = StillWorld();
    world.buttonHovered = true;
    EXPECT_TRUE(FrameIsStill(world)) << "the menu's buttons are not drawn in play";
}

Player player;  // holds sounds and textures: one for all cases, set up anew by Stand

void Stand(Player &p)
{
    p.pose = Pose{1.0f, FLOOR_HEIGHT, 3.1415927f};
    p.airborne = 0;
    p.horizontalVelocity = p.jumpVelocity = p.fallVelocity = 0.0f;
    p.walk.currentFrame = 0;
}

// A player the next movement step would change, however little, is not at rest.
TEST(StillFramesTest, PlayersAtRest)
{
    Stand(player);
    EXPECT_TRUE(PlayerAtRest(player, 0.3f));
    EXPECT_TRUE(PlayerAtRest(player, 0.0f));
    const struct {
        const char *what;
        float gravity;
        std::function<void(Player &)> change;
    } cases[] = {
        {"walking", 0.3f, [](Player &p) { p.horizontalVelocity = 0.001f; }},
        {"sliding back", 0.3f, [](Player &p) { p.horizontalVelocity = -0.001f; }},
        {"in the air", 0.3f, [](Player &p) { p.airborne = 1; }},
        {"jumping", 0.3f, [](Player &p) { p.jumpVelocity = 0.01f; }},
        {"falling", 0.3f, [](Player &p) { p.fallVelocity = 0.01f; }},
        {"above the floor", 0.3f, [](Player &p) { p.pose.y = FLOOR_HEIGHT + 0.001f; }},
        {"a walking frame shown", 0.3f, [](Player &p) { p.walk.currentFrame = 2; }},
        {"negative gravity", -0.1f, [](Player &) {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Stand(player);
        c.change(player);
        EXPECT_FALSE(PlayerAtRest(player, c.gravity));
    }
}
}  // namespace
