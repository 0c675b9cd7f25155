#include "gameplay/collision.h"

#include "world/map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {
// A block of cells, columns and rows both included. Row r spans y 3 - 0.2 (r + 1) to 3 - 0.2 r,
// column c spans x -4 + 0.4 c to -4 + 0.4 (c + 1).
struct Bricks {
    int firstColumn;
    int lastColumn;
    int firstRow;
    int lastRow;
    int16_t code = 3;
};
using Map = std::vector<Bricks>;

const Bricks FLOOR_20 = {0, 19, 20, 20};  // one brick thick, its top at y -1.0
constexpr float ON_FLOOR_20 = -0.7f;      // a player's centre standing on it
constexpr float NO_MOVE = -1.0f;

void BuildMap(const Map &map)
{
    M_AllocMap();
    for (const Bricks &block : map) {
        for (int column = block.firstColumn; column <= block.lastColumn; ++column) {
            for (int row = block.firstRow; row <= block.lastRow; ++row) {
                M_SetCell(column * M_ROWS + row, block.code);
            }
        }
    }
}

class CollisionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gravity = 0.3f;
        for (Player &player : players) {
            Place(player, 0.0f, 0.0f);
            player.walk.frameCount = 0;
            player.walk.facing = 1;
        }
    }
    void TearDown() override { M_FreeMap(); }

    static void Place(Player &player, float x, float y)
    {
        player.pose = Pose{x, y, 0.0f};
        player.horizontalVelocity = player.jumpVelocity = player.fallVelocity = 0.0f;
        player.airborne = 0;
    }
    static void Control(int32_t player, int32_t move) { PlayerControl(ACTION_MOVE, player, &move); }
};

TEST_F(CollisionTest, SweptMoves)
{
    struct Case {
        const char *name;
        Map map;
        float x, y, dx, dy;
        float endX, endY;
        bool hitWall, landed, bumped, supported;
    };
    // clang-format off
    const Case cases[] = {
        {"lands on a brick's top", {FLOOR_20},
         0.0f, 0.0f, 0.0f, -5.0f,          0.0f, ON_FLOOR_20,   false, true, false, true},
        {"stopped by a wall on the right", {FLOOR_20, {12, 12, 17, 19}},
         0.0f, ON_FLOOR_20, 2.0f, 0.0f,    0.65f, ON_FLOOR_20,  true, false, false, true},
        {"bumps a low ceiling", {FLOOR_20, {9, 10, 15, 15}},
         0.0f, ON_FLOOR_20, 0.0f, 1.0f,    0.0f, -0.5f,         false, false, true, false},
        {"moves past a corner, then lands on it", {{10, 10, 20, 20}},
         -0.4f, -0.5f, 0.3f, -0.5f,        -0.1f, ON_FLOOR_20,  false, true, false, true},
        {"stopped by a side, then falls past it", {{10, 10, 20, 20}},
         -0.3f, -1.1f, 0.5f, -1.0f,        -0.15f, -2.1f,       true, false, false, false},
        {"a fast fall onto a one-brick floor", {FLOOR_20},
         0.0f, 2.5f, 0.0f, -50.0f,         0.0f, ON_FLOOR_20,   false, true, false, true},
        {"the view's bottom edge is the lowest floor", {},
         0.0f, 0.0f, 0.0f, -10.0f,         0.0f, -2.7f,         false, true, false, true},
        {"the view's right edge is a wall", {},
         3.7f, 0.0f, 1.0f, 0.0f,           3.85f, 0.0f,         true, false, false, false},
        {"a brick the player is in does not hold it", {FLOOR_20},
         0.0f, -0.9f, 0.0f, 0.5f,          0.0f, -0.4f,         false, false, false, false},
        {"a one-column shaft, to the left", {{9, 9, 17, 19}, {11, 11, 17, 19}},
         0.2f, -0.7f, -1.0f, 0.0f,         0.15f, -0.7f,        true, false, false, false},
        {"respawn cells and unknown codes are not solid",
         {FLOOR_20, {9, 10, 12, 12, M_RESPAWN}, {9, 10, 14, 14, 9}},
         0.0f, 0.0f, 0.0f, -5.0f,          0.0f, ON_FLOOR_20,   false, true, false, true},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BuildMap(c.map);
        const SweepResult result = SweepPlayer(c.x, c.y, c.dx, c.dy);
        EXPECT_NEAR(result.x, c.endX, 1e-4f);
        EXPECT_NEAR(result.y, c.endY, 1e-4f);
        EXPECT_EQ(result.hitWall, c.hitWall);
        EXPECT_EQ(result.landed, c.landed);
        EXPECT_EQ(result.bumped, c.bumped);
        EXPECT_EQ(result.supported, c.supported);
    }
}

// Frame by frame a player is never inside a brick, and once down from the air it stays down.
TEST_F(CollisionTest, MovesThroughTheBricks)
{
    struct Case {
        const char *name;
        Map map;
        float x, y;
        float move;  // held every frame, or NO_MOVE
        bool jump;   // at the first frame
        uint32_t frameMs;
        int frames;
        float endX, endY;
        float highestY;  // the highest centre on the way
    };
    // clang-format off
    const Case cases[] = {
        {"jumps onto a ledge while still rising, and stays", {FLOOR_20, {11, 19, 17, 17}},
         0.0f, ON_FLOOR_20, MOVE_RIGHT, true, 10, 80,            2.35f, -0.1f, 0.33f},
        {"walks off a ledge, falls to the view's bottom", {{0, 9, 20, 20}},
         -0.5f, ON_FLOOR_20, MOVE_RIGHT, false, 10, 150,         3.85f, -2.7f, ON_FLOOR_20},
        {"falls at one-second frames onto a one-brick floor", {FLOOR_20},
         0.0f, 2.5f, NO_MOVE, false, 1000, 12,                   0.0f, ON_FLOOR_20, 2.5f},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BuildMap(c.map);
        Player &player = players[0];
        Place(player, c.x, c.y);
        if (c.jump) {
            Control(1, MOVE_JUMP);
        }
        float highest = c.y;
        bool landed = false;
        float landedY = 0.0f;
        for (int frame = 0; frame < c.frames; ++frame) {
            SCOPED_TRACE(frame);
            if (c.move != NO_MOVE) {
                Control(1, int32_t(c.move));
            }
            const bool wasAirborne = player.airborne != 0;
            MovePlayerInBricks(player, c.frameMs);
            highest = std::max(highest, player.pose.y);
            ASSERT_FALSE(PlayerBlocked(player.pose.x, player.pose.y))
                << "inside a brick at " << player.pose.x << "," << player.pose.y;
            if (landed) {
                ASSERT_EQ(player.pose.y, landedY) << "left the ground again";
            } else if (wasAirborne && player.airborne == 0) {
                landed = true;
                landedY = player.pose.y;
            }
        }
        EXPECT_NEAR(player.pose.x, c.endX, 0.02f);
        EXPECT_NEAR(player.pose.y, c.endY, 1e-4f);
        EXPECT_NEAR(highest, c.highestY, 0.02f);
        EXPECT_EQ(player.airborne, 0);
        EXPECT_EQ(player.fallVelocity, 0.0f);
    }
}

TEST_F(CollisionTest, NoJumpWhileFallingOffALedge)
{
    BuildMap({{0, 9, 20, 20}});
    Player &player = players[0];
    Place(player, 0.1f, ON_FLOOR_20);
    Control(1, MOVE_RIGHT);
    MovePlayerInBricks(player, 10);  // still on the ledge's last brick
    EXPECT_EQ(player.airborne, 0);
    for (int frame = 0; frame < 5; ++frame) {
        Control(1, MOVE_RIGHT);
        MovePlayerInBricks(player, 10);
    }
    ASSERT_LT(player.pose.y, ON_FLOOR_20);
    EXPECT_EQ(player.airborne, 1);
    Control(1, MOVE_JUMP);
    EXPECT_EQ(player.jumpVelocity, 0.0f);
}

TEST_F(CollisionTest, FreeSpots)
{
    struct Case {
        const char *name;
        Map map;
        float x, y;
        float endX, endY;
    };
    // clang-format off
    const Case cases[] = {
        {"a free point stays",                   {FLOOR_20},         1.0f, 0.0f,    1.0f, 0.0f},
        {"feet in a floor: lifted onto it",      {{0, 19, 15, 15}},  0.0f, 0.1f,    0.0f, 0.3f},
        {"lifted over a stack of bricks",        {{9, 10, 13, 15}},  0.0f, 0.1f,    0.0f, 0.7f},
        {"in a full column: the next column",    {{10, 10, 0, 29}},  0.2f, 0.0f,    0.6f, 0.0f},
        {"outside the view: held inside",        {},                 10.0f, 10.0f,  3.85f, 2.7f},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BuildMap(c.map);
        const Pose spot = FreeSpotNear(c.x, c.y);
        EXPECT_NEAR(spot.x, c.endX, 1e-4f);
        EXPECT_NEAR(spot.y, c.endY, 1e-4f);
        EXPECT_FALSE(PlayerBlocked(spot.x, spot.y));
    }
    BuildMap({{0, 19, 0, 29}});  // nowhere to go: the point comes back, and the search ends
    const Pose spot = FreeSpotNear(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(spot.x, 0.0f);
    EXPECT_FLOAT_EQ(spot.y, 0.0f);
}
}  // namespace
