#include "menu/menu.h"

#include "platform/gl.h"

Menu mainMenu;
Sound menuClick;
Sound menuMove;

namespace {
constexpr double PULSE_PER_MS = 0.0013;  // about 0.77 s for a full fade

void TexturedQuad(double left, double bottom, double right, double top)
{
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(left, bottom);
    glTexCoord2d(0.0, 1.0);
    glVertex2d(left, top);
    glTexCoord2d(1.0, 1.0);
    glVertex2d(right, top);
    glTexCoord2d(1.0, 0.0);
    glVertex2d(right, bottom);
    glEnd();
}

void InitButton(MenuButton &button, const char *normal, const char *hover, double left,
                double right)
{
    button.normalTexture.Load(normal, true);
    button.left = left;
    button.bottom = 0.7;
    button.right = right;
    button.top = 1.3;
    button.normalAlpha = 1.0;
    button.hoverAlpha = 0.0;
    button.hoverSoundArmed = true;
    button.clickArmed = true;
    button.hoverTexture.Load(hover, true);
}
}  // namespace

bool MenuButton::HitTest(double x, double y) const
{
    return left < x && x < right && bottom < y && y < top;
}

void MenuButton::Hover(uint32_t delta, double x, double y)
{
    if (!HitTest(x, y)) {
        normalAlpha = 1.0;
        hoverAlpha = 0.0;
        hoverSoundArmed = true;
        return;
    }
    if (hoverSoundArmed) {
        menuMove.Play(true, false);
        hoverSoundArmed = false;
    }
    // Each picture jumps back when it reaches its end, so a hovered button keeps pulsing.
    const double step = delta * PULSE_PER_MS;
    if (normalAlpha < 1.0) {
        normalAlpha += step;
    } else {
        normalAlpha = 0.0;
    }
    if (hoverAlpha > 0.0) {
        hoverAlpha -= step;
    } else {
        hoverAlpha = 1.0;
    }
}

void MenuButton::Draw(uint32_t delta, double x, double y)
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Hover(delta, x, y);
    glColor4d(1.0, 1.0, 1.0, normalAlpha);
    normalTexture.Bind();
    TexturedQuad(left, bottom, right, top);
    glColor4d(1.0, 1.0, 1.0, hoverAlpha);
    hoverTexture.Bind();
    TexturedQuad(left, bottom, right, top);
    glDisable(GL_TEXTURE_2D);
}

void Menu::Init()
{
    background.Load("basev2/textures/menu/bg_0.bmp", true);
    InitButton(playButton, "basev2/textures/menu/play_0.bmp", "basev2/textures/menu/play_1.bmp",
               0.35, 1.95);
    InitButton(backButton, "basev2/textures/menu/back_0.bmp", "basev2/textures/menu/back_1.bmp",
               -1.95, -0.35);
    cursor.Load("basev2/textures/menu/cursor_0.bmp", true);
    menuClick.Open("basev2/media/menu/click.wav", SOUND_WAVE_AUDIO);
    menuMove.Open("basev2/media/menu/move.wav", SOUND_WAVE_AUDIO);
}

void Menu::Draw(uint32_t delta, double x, double y)
{
    glEnable(GL_TEXTURE_2D);
    background.Bind();
    glColor3f(1.0f, 1.0f, 1.0f);
    TexturedQuad(-4.0, -3.0, 4.0, 3.0);
    glDisable(GL_TEXTURE_2D);
    playButton.Draw(delta, x, y);
    backButton.Draw(delta, x, y);
}

void Menu::DrawCursor(double x, double y)
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    cursor.Bind();
    glColor3f(1.0f, 1.0f, 1.0f);
    TexturedQuad(x - 0.2, y - 0.2, x + 0.2, y + 0.2);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

int32_t Menu::Click(double x, double y)
{
    if (playButton.HitTest(x, y)) {
        if (playButton.clickArmed) {
            menuClick.Play(true, false);
        }
        playButton.clickArmed = false;
        visible = false;
        return MENU_CLICK_PLAY;
    }
    if (backButton.HitTest(x, y)) {
        menuClick.Play(true, false);
        return MENU_CLICK_BACK;
    }
    return MENU_CLICK_NONE;
}
