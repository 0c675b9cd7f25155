#pragma once

#include <cstdint>

// What players see of a match, drawn with the game's font and pictures. Player 1 looks as
// always, player 2 is tinted; each player's HUD panel, in the same colour, sits in its own top
// corner (player 1 left, player 2 right) and holds the health as a number and a bar, the weapon
// with its reload, and the frags. The time left, when there is a limit, and a line for each frag
// stay at the top edge, so nothing covers the middle of the arena until the winner screen.

// Pixel geometry of a HUD panel in a viewport `width` wide and `height` high: its left, its top
// and where its health bar lies (left, bottom, full width, height), origin at the bottom left.
struct HudPanel {
    int32_t left;
    int32_t top;
    int32_t barLeft;
    int32_t barBottom;
    int32_t barWidth;
    int32_t barHeight;
};
constexpr int32_t HUD_PANEL_WIDTH = 220;
constexpr int32_t HUD_PANEL_HEIGHT = 58;
HudPanel HudPanelOf(int32_t player, int32_t width, int32_t height);

// Width of the health bar for `health` out of the spawn health: empty at 0 and below, full at
// the spawn health and above.
int32_t HealthBarWidth(int32_t health, int32_t fullWidth);

// Players, projectiles, HUD and, once the match is won, the winner screen.
void DrawMatch();
