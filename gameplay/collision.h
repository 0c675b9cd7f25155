#pragma once

#include "gameplay/player.h"

#include <cstdint>

// Solid bricks for the match. The map's brick cells (codes 1 to 7) are solid, empty and respawn
// cells are not, and the view's edges close the arena: left and right walls, the bottom edge the
// lowest floor, the top edge a ceiling. A player is an upright box around its centre. Every
// move is swept cell by cell, so no frame is long enough to pass through a brick; boxes that
// only touch a brick are free.

constexpr float PLAYER_HALF_WIDTH = 0.15f;  // the figure is 0.4 wide, its body narrower
constexpr float PLAYER_HALF_HEIGHT = 0.3f;  // the figure's feet are 0.3 below its centre

// What a swept move ran into, and where it ended.
struct SweepResult {
    float x;
    float y;
    bool hitWall;    // stopped by a brick's side or the view's left or right edge
    bool landed;     // stopped on a brick's top or the view's bottom edge
    bool bumped;     // stopped under a brick's bottom or the view's top edge
    bool supported;  // at the end, the feet rest on a brick's top or the view's bottom edge
};

// Whether cell (column, row) of the map is a brick; false outside the grid or without a map.
bool IsSolidCell(int32_t column, int32_t row);

// Whether a player centred on (x, y) overlaps a brick or reaches outside the view.
bool PlayerBlocked(float x, float y);

// Moves a player centred on (x, y) by (dx, dy): first across, then up or down, each part stopped
// at the first brick face or view edge in its way.
SweepResult SweepPlayer(float x, float y, float dx, float dy);

// One movement step in a match: walking, friction, jump and gravity as always, then the move
// swept through the bricks. A wall stops the walk, a ceiling ends the jump, a floor the fall.
void MovePlayerInBricks(Player &player, uint32_t milliseconds);

// A free place for a player near (x, y): the point itself, else lifted onto the bricks it is
// in, trying the nearest columns after it. Falls back to (x, y) held inside the view.
Pose FreeSpotNear(float x, float y);

// Distance from (x, y) along `angle` (radians) to the first brick or view edge, at most `limit`;
// 0 when (x, y) is in a brick or outside the view.
float DistanceToSolid(float x, float y, float angle, float limit);
