#pragma once

#include "audio/sound.h"
#include "gfx/texture.h"

#include <cstdint>

struct MenuButton {
    double left;
    double bottom;
    double right;
    double top;
    double normalAlpha;
    double hoverAlpha;
    bool hoverSoundArmed;
    bool clickArmed;  // the play button's click sound plays once per visit of the menu
    T_Texture normalTexture;
    T_Texture hoverTexture;

    // Strictly inside the rectangle; the border is outside.
    bool HitTest(double x, double y) const;
    // Updates the hover pulse for a cursor at (x, y) and draws the button.
    void Draw(uint32_t delta, double x, double y);
    // The hover pulse alone, without drawing.
    void Hover(uint32_t delta, double x, double y);
};

constexpr int32_t MENU_CLICK_NONE = 0;
constexpr int32_t MENU_CLICK_PLAY = 1;
constexpr int32_t MENU_CLICK_BACK = 2;

struct Menu {
    MenuButton playButton;
    MenuButton backButton;
    T_Texture background;
    T_Texture cursor;
    bool visible = true;  // the game opens on the menu
    bool escapeArmed = true;

    // Loads the pictures and sounds and places the buttons.
    void Init();
    void Draw(uint32_t delta, double x, double y);
    void DrawCursor(double x, double y);
    // Which button a click at (x, y) hits; play hides the menu. Plays the click sound.
    int32_t Click(double x, double y);
};

extern Menu mainMenu;
extern Sound menuClick;
extern Sound menuMove;
