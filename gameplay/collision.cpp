#include "gameplay/collision.h"

#include "world/map.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float VIEW_LEFT = float(M_LEFT);
constexpr float VIEW_RIGHT = float(M_LEFT + M_COLUMNS * M_CELL_WIDTH);
constexpr float VIEW_TOP = float(M_TOP);
constexpr float VIEW_BOTTOM = float(M_TOP - M_ROWS * M_CELL_HEIGHT);
// Closer than this to a face counts as touching it: positions are floats, faces are computed.
constexpr float EPSILON = 1e-4f;
// A move longer than the view ends at its edge all the same; bounding it keeps the cell
// arithmetic finite whatever a console variable does to the velocities.
constexpr float LONGEST_MOVE = 16.0f;

// Cells from `first` to `last`, both included; empty when first > last.
struct Span {
    int32_t first;
    int32_t last;
};

float ColumnLeft(int32_t column) { return float(M_LEFT + column * M_CELL_WIDTH); }

float RowTop(int32_t row) { return float(M_TOP - row * M_CELL_HEIGHT); }

// Grid coordinates: columns count to the right from the view's left edge, rows down from its top.
double ColumnCoordinate(float x) { return (double(x) - M_LEFT) / M_CELL_WIDTH; }

double RowCoordinate(float y) { return (M_TOP - double(y)) / M_CELL_HEIGHT; }

int32_t Floor(double value) { return int32_t(std::floor(value)); }

int32_t Ceil(double value) { return int32_t(std::ceil(value)); }

// The columns a box from `left` to `right` overlaps by more than touching.
Span ColumnsOf(float left, float right)
{
    return Span{std::max(Floor(ColumnCoordinate(left + EPSILON)), 0),
                std::min(Floor(ColumnCoordinate(right - EPSILON)), M_COLUMNS - 1)};
}

Span RowsOf(float bottom, float top)
{
    return Span{std::max(Floor(RowCoordinate(top - EPSILON)), 0),
                std::min(Floor(RowCoordinate(bottom + EPSILON)), M_ROWS - 1)};
}

bool SolidInColumn(int32_t column, Span rows)
{
    for (int32_t row = rows.first; row <= rows.last; ++row) {
        if (IsSolidCell(column, row)) {
            return true;
        }
    }
    return false;
}

bool SolidInRow(int32_t row, Span columns)
{
    for (int32_t column = columns.first; column <= columns.last; ++column) {
        if (IsSolidCell(column, row)) {
            return true;
        }
    }
    return false;
}

// Faces are looked for between where the box's leading side starts and where it would end, the
// nearest first; a brick the box is already in does not hold it, so it can always move out.
float SweepAcross(float x, float y, float dx, bool *hit)
{
    const Span rows = RowsOf(y - PLAYER_HALF_HEIGHT, y + PLAYER_HALF_HEIGHT);
    if (dx > 0.0f) {
        const float front = x + PLAYER_HALF_WIDTH;
        const float reach = std::min(front + dx, VIEW_RIGHT);
        const int32_t last = std::min(Floor(ColumnCoordinate(reach)), M_COLUMNS - 1);
        for (int32_t column = std::max(Ceil(ColumnCoordinate(front - EPSILON)), 0); column <= last;
             ++column) {
            if (SolidInColumn(column, rows)) {
                *hit = true;
                return ColumnLeft(column) - PLAYER_HALF_WIDTH;
            }
        }
        if (front + dx > VIEW_RIGHT) {
            *hit = true;
            return VIEW_RIGHT - PLAYER_HALF_WIDTH;
        }
    } else if (dx < 0.0f) {
        const float back = x - PLAYER_HALF_WIDTH;
        const float reach = std::max(back + dx, VIEW_LEFT);
        const int32_t last = std::max(Ceil(ColumnCoordinate(reach)) - 1, 0);
        for (int32_t column = std::min(Floor(ColumnCoordinate(back + EPSILON)) - 1, M_COLUMNS - 1);
             column >= last; --column) {
            if (SolidInColumn(column, rows)) {
                *hit = true;
                return ColumnLeft(column + 1) + PLAYER_HALF_WIDTH;
            }
        }
        if (back + dx < VIEW_LEFT) {
            *hit = true;
            return VIEW_LEFT + PLAYER_HALF_WIDTH;
        }
    }
    return x + dx;
}

float SweepUpDown(float x, float y, float dy, bool *landed, bool *bumped)
{
    const Span columns = ColumnsOf(x - PLAYER_HALF_WIDTH, x + PLAYER_HALF_WIDTH);
    if (dy < 0.0f) {
        const float feet = y - PLAYER_HALF_HEIGHT;
        const float reach = std::max(feet + dy, VIEW_BOTTOM);
        const int32_t last = std::min(Floor(RowCoordinate(reach)), M_ROWS - 1);
        for (int32_t row = std::max(Ceil(RowCoordinate(feet + EPSILON)), 0); row <= last; ++row) {
            if (SolidInRow(row, columns)) {
                *landed = true;
                return RowTop(row) + PLAYER_HALF_HEIGHT;
            }
        }
        if (feet + dy < VIEW_BOTTOM) {
            *landed = true;
            return VIEW_BOTTOM + PLAYER_HALF_HEIGHT;
        }
    } else if (dy > 0.0f) {
        const float head = y + PLAYER_HALF_HEIGHT;
        const float reach = std::min(head + dy, VIEW_TOP);
        const int32_t last = std::max(Ceil(RowCoordinate(reach)) - 1, 0);
        for (int32_t row = std::min(Floor(RowCoordinate(head - EPSILON)) - 1, M_ROWS - 1);
             row >= last; --row) {
            if (SolidInRow(row, columns)) {
                *bumped = true;
                return RowTop(row + 1) - PLAYER_HALF_HEIGHT;
            }
        }
        if (head + dy > VIEW_TOP) {
            *bumped = true;
            return VIEW_TOP - PLAYER_HALF_HEIGHT;
        }
    }
    return y + dy;
}

bool Supported(float x, float y)
{
    const float feet = y - PLAYER_HALF_HEIGHT;
    if (feet <= VIEW_BOTTOM + EPSILON) {
        return true;
    }
    const auto row = int32_t(std::lround(RowCoordinate(feet)));
    return row >= 0 && row < M_ROWS && std::fabs(RowTop(row) - feet) <= EPSILON &&
           SolidInRow(row, ColumnsOf(x - PLAYER_HALF_WIDTH, x + PLAYER_HALF_WIDTH));
}

float Bounded(float move)
{
    if (!std::isfinite(move)) {
        return 0.0f;
    }
    return std::max(-LONGEST_MOVE, std::min(move, LONGEST_MOVE));
}

// Lifts a blocked player onto the highest brick it overlaps until it is free; false once its
// head would leave the view.
bool Lift(float x, float *y)
{
    for (int32_t attempt = 0; attempt <= M_ROWS; ++attempt) {
        if (!PlayerBlocked(x, *y)) {
            return true;
        }
        const Span columns = ColumnsOf(x - PLAYER_HALF_WIDTH, x + PLAYER_HALF_WIDTH);
        const Span rows = RowsOf(*y - PLAYER_HALF_HEIGHT, *y + PLAYER_HALF_HEIGHT);
        int32_t row = rows.first;
        while (row <= rows.last && !SolidInRow(row, columns)) {
            ++row;
        }
        if (row > rows.last) {
            return false;
        }
        *y = RowTop(row) + PLAYER_HALF_HEIGHT;
        if (*y + PLAYER_HALF_HEIGHT > VIEW_TOP + EPSILON) {
            return false;
        }
    }
    return false;
}
}  // namespace

bool IsSolidCell(int32_t column, int32_t row)
{
    const int16_t *const cells = M_GetCells();
    if (cells == nullptr || column < 0 || column >= M_COLUMNS || row < 0 || row >= M_ROWS) {
        return false;
    }
    return M_IsBrick(cells[column * M_ROWS + row]);
}

bool PlayerBlocked(float x, float y)
{
    const float left = x - PLAYER_HALF_WIDTH;
    const float right = x + PLAYER_HALF_WIDTH;
    const float bottom = y - PLAYER_HALF_HEIGHT;
    const float top = y + PLAYER_HALF_HEIGHT;
    if (left < VIEW_LEFT - EPSILON || right > VIEW_RIGHT + EPSILON ||
        bottom < VIEW_BOTTOM - EPSILON || top > VIEW_TOP + EPSILON) {
        return true;
    }
    const Span columns = ColumnsOf(left, right);
    const Span rows = RowsOf(bottom, top);
    for (int32_t row = rows.first; row <= rows.last; ++row) {
        if (SolidInRow(row, columns)) {
            return true;
        }
    }
    return false;
}

SweepResult SweepPlayer(float x, float y, float dx, float dy)
{
    SweepResult result{x, y, false, false, false, false};
    result.x = SweepAcross(x, y, Bounded(dx), &result.hitWall);
    result.y = SweepUpDown(result.x, y, Bounded(dy), &result.landed, &result.bumped);
    result.supported = Supported(result.x, result.y);
    return result;
}

void MovePlayerInBricks(Player &player, uint32_t milliseconds)
{
    const Pose before = player.pose;
    IntegratePlayer(player, milliseconds);
    const SweepResult moved =
        SweepPlayer(before.x, before.y, player.pose.x - before.x, player.pose.y - before.y);
    player.pose.x = moved.x;
    player.pose.y = moved.y;
    if (moved.hitWall) {
        player.horizontalVelocity = 0.0f;
    }
    if (moved.bumped) {
        player.jumpVelocity = 0.0f;
        player.fallVelocity = 0.0f;
    }
    // Standing ends the jump too: what is left of it would lift the player off the brick again.
    if (moved.landed || moved.supported) {
        player.jumpVelocity = 0.0f;
        player.fallVelocity = 0.0f;
        player.airborne = 0;
    } else {
        player.airborne = 1;
    }
}

Pose FreeSpotNear(float x, float y)
{
    const float heldX =
        std::max(VIEW_LEFT + PLAYER_HALF_WIDTH,
                 std::min(std::isfinite(x) ? x : 0.0f, VIEW_RIGHT - PLAYER_HALF_WIDTH));
    const float heldY =
        std::max(VIEW_BOTTOM + PLAYER_HALF_HEIGHT,
                 std::min(std::isfinite(y) ? y : 0.0f, VIEW_TOP - PLAYER_HALF_HEIGHT));
    // The column itself, then one to the right, one to the left, two to the right...
    for (int32_t step = 0; step <= 2 * M_COLUMNS; ++step) {
        const int32_t columns = (step + 1) / 2 * (step % 2 == 1 ? 1 : -1);
        const float candidateX = heldX + float(columns) * float(M_CELL_WIDTH);
        if (candidateX < VIEW_LEFT + PLAYER_HALF_WIDTH ||
            candidateX > VIEW_RIGHT - PLAYER_HALF_WIDTH) {
            continue;
        }
        float candidateY = heldY;
        if (Lift(candidateX, &candidateY)) {
            return Pose{candidateX, candidateY, 0.0f};
        }
    }
    return Pose{heldX, heldY, 0.0f};
}

float DistanceToSolid(float x, float y, float angle, float limit)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle)) {
        return 0.0f;
    }
    const double u = ColumnCoordinate(x);
    const double v = RowCoordinate(y);
    int32_t column = Floor(u);
    int32_t row = Floor(v);
    if (column < 0 || column >= M_COLUMNS || row < 0 || row >= M_ROWS || IsSolidCell(column, row)) {
        return 0.0f;
    }
    // Cell by cell along the ray: the distances at which it crosses the next column and row line.
    const double du = std::cos(double(angle)) / M_CELL_WIDTH;
    const double dv = -std::sin(double(angle)) / M_CELL_HEIGHT;
    const int32_t stepColumn = du > 0.0 ? 1 : -1;
    const int32_t stepRow = dv > 0.0 ? 1 : -1;
    const double deltaColumn = du != 0.0 ? 1.0 / std::fabs(du) : HUGE_VAL;
    const double deltaRow = dv != 0.0 ? 1.0 / std::fabs(dv) : HUGE_VAL;
    double nextColumn = HUGE_VAL;
    if (du != 0.0) {
        nextColumn = (du > 0.0 ? column + 1 - u : u - column) * deltaColumn;
    }
    double nextRow = HUGE_VAL;
    if (dv != 0.0) {
        nextRow = (dv > 0.0 ? row + 1 - v : v - row) * deltaRow;
    }
    for (;;) {
        double distance;
        if (nextColumn < nextRow) {
            column += stepColumn;
            distance = nextColumn;
            nextColumn += deltaColumn;
        } else {
            row += stepRow;
            distance = nextRow;
            nextRow += deltaRow;
        }
        if (distance >= double(limit)) {
            return limit;
        }
        if (column < 0 || column >= M_COLUMNS || row < 0 || row >= M_ROWS ||
            IsSolidCell(column, row)) {
            return float(distance);
        }
    }
}
