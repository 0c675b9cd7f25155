#include "gameplay/hud.h"

#include "gameplay/match.h"
#include "gameplay/match_shots.h"
#include "gameplay/presentation.h"
#include "gameplay/weapons.h"
#include "gfx/font.h"
#include "platform/gl.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
// Player 1 as its figure looks, player 2 in its tint; the HUD takes the same colours.
constexpr float PLAYER_2_GLOW[3] = {0.3f, 0.1f, 0.0f};
constexpr float HUD_COLOURS[2][3] = {{0.45f, 0.95f, 0.35f}, {1.0f, 0.55f, 0.25f}};
constexpr float FIGURE_TINTS[2][3] = {{1.0f, 1.0f, 1.0f}, {1.0f, 0.5f, 0.3f}};
constexpr const float *FIGURE_GLOWS[2] = {nullptr, PLAYER_2_GLOW};
constexpr int32_t MARGIN = 8;
constexpr int32_t TEXT_SIZE = 12;
constexpr uint32_t DEATH_EFFECT_MS = 800;
constexpr uint32_t FRAG_LINE_FADE_MS = 1000;

struct Viewport {
    int32_t width;
    int32_t height;
};

// Pixel coordinates with the origin at the bottom left, for the HUD's quads.
Viewport BeginPixels()
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, double(viewport[2]), 0.0, double(viewport[3]), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return Viewport{viewport[2], viewport[3]};
}

void EndPixels()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void FillRect(int32_t left, int32_t bottom, int32_t width, int32_t height, const float rgb[3],
              float alpha)
{
    glDisable(GL_TEXTURE_2D);
    glColor4f(rgb[0], rgb[1], rgb[2], alpha);
    glBegin(GL_QUADS);
    glVertex2i(left, bottom);
    glVertex2i(left + width, bottom);
    glVertex2i(left + width, bottom + height);
    glVertex2i(left, bottom + height);
    glEnd();
}

void DrawPicture(const T_Texture &picture, int32_t left, int32_t bottom, int32_t width,
                 int32_t height)
{
    glEnable(GL_TEXTURE_2D);
    picture.Bind();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(left, bottom);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2i(left + width, bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2i(left + width, bottom + height);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2i(left, bottom + height);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// Text in a player's colour (or white for `colour` null), with a black shadow for the bricks.
void Print(int32_t x, int32_t y, int32_t size, const float *colour, float alpha, const char *text)
{
    if (colour != nullptr) {
        F_SetColorA(colour[0], colour[1], colour[2], alpha);
    } else {
        F_SetColorA(1.0f, 1.0f, 1.0f, alpha);
    }
    F_Shadow();
    F_SetShadowColor(0.0f, 0.0f, 0.0f);
    F_SetSize(size);
    F_Print(x, y, "%s", text);
}

int32_t TextWidth(const char *text, int32_t size) { return int32_t(strlen(text)) * size; }

// The figure in the walking animation's current frame, tinted, tipped over by `tilt` degrees
// about its feet.
void DrawFigure(const Player &player, const float tint[3], const float *glow, float alpha,
                float tilt)
{
    const Frame &walk = player.walk;
    const float x = player.pose.x;
    const float y = player.pose.y;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D,
                  walk.currentFrame < Frame::MAX_FRAMES ? walk.textures[walk.currentFrame] : 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(tint[0], tint[1], tint[2], alpha);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glTranslatef(x, y - FLOOR_HEIGHT, 0.0f);
    glRotatef(tilt, 0.0f, 0.0f, 1.0f);
    glTranslatef(-x, FLOOR_HEIGHT - y, 0.0f);
    const FrameQuad quad = FrameQuadAt(x, y, 1.0f, 1.5f, walk.facing);
    glBegin(GL_QUADS);
    for (int corner = 0; corner < 4; ++corner) {
        glTexCoord2f(quad.u[corner], quad.v[corner]);
        glVertex2f(quad.x[corner], quad.y[corner]);
    }
    glEnd();
    if (glow != nullptr) {
        // A second pass adds the glow colour wherever the picture is opaque: the texture
        // environment's blend mode turns every texel into that colour, keeping its alpha.
        const GLfloat colour[4] = {glow[0], glow[1], glow[2], 1.0f};
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
        glColor4f(glow[0], glow[1], glow[2], alpha);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2f(quad.u[corner], quad.v[corner]);
            glVertex2f(quad.x[corner], quad.y[corner]);
        }
        glEnd();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    glPopMatrix();
    glPopAttrib();
}

void DrawMatchPlayer(int32_t index, const MatchState &match)
{
    const Player &player = players[index];
    if (!match.dead[index]) {
        if (index == 0) {
            DrawPlayer(player);
        } else {
            DrawFigure(player, FIGURE_TINTS[index], FIGURE_GLOWS[index], 1.0f, 0.0f);
            DrawPlayerGear(player);
        }
        return;
    }
    // Dying: the figure reddens, falls on its back and fades.
    if (match.deadMs[index] >= DEATH_EFFECT_MS) {
        return;
    }
    const float progress = float(match.deadMs[index]) / float(DEATH_EFFECT_MS);
    const float *tint = FIGURE_TINTS[index];
    const float red[3] = {tint[0], tint[1] * 0.35f, tint[2] * 0.3f};
    const float backwards = player.walk.facing == 1 ? 90.0f : -90.0f;
    DrawFigure(player, red, nullptr, 1.0f - progress, backwards * progress);
}

void DrawPanel(int32_t index, const MatchState &match, Viewport view)
{
    static constexpr float SHADE[3] = {0.0f, 0.0f, 0.0f};
    static constexpr float EMPTY[3] = {0.15f, 0.15f, 0.15f};
    const float *colour = HUD_COLOURS[index];
    const Player &player = players[index];
    const HudPanel panel = HudPanelOf(index + 1, view.width, view.height);
    const int32_t bottom = panel.top - HUD_PANEL_HEIGHT;
    FillRect(panel.left, bottom, HUD_PANEL_WIDTH, HUD_PANEL_HEIGHT, SHADE, 0.55f);
    FillRect(panel.left, panel.top - 2, HUD_PANEL_WIDTH, 2, colour, 1.0f);

    char text[32];
    snprintf(text, sizeof text, "Player %d", int(index + 1));
    Print(panel.left + 6, panel.top - 17, TEXT_SIZE, colour, 1.0f, text);
    snprintf(text, sizeof text, "Frags %d", int(match.frags[index]));
    Print(panel.left + HUD_PANEL_WIDTH - 6 - TextWidth(text, TEXT_SIZE), panel.top - 17, TEXT_SIZE,
          colour, 1.0f, text);

    const int32_t health = match.dead[index] ? 0 : std::max(player.health, 0);
    snprintf(text, sizeof text, "%d", int(health));
    Print(panel.left + 6, panel.barBottom - 2, 14, colour, 1.0f, text);
    FillRect(panel.barLeft, panel.barBottom, panel.barWidth, panel.barHeight, EMPTY, 0.9f);
    FillRect(panel.barLeft, panel.barBottom, HealthBarWidth(health, panel.barWidth),
             panel.barHeight, colour, 1.0f);

    // The weapon in hand, and under the health bar how far it has reloaded.
    const int32_t weapon = player.currentWeapon;
    DrawPicture(WeaponSprite(weapon), panel.left + 4, bottom + 3, 36, 20);
    const uint32_t reload = ReloadTime(weapon);
    const uint32_t since =
        ReloadClockNow() - player.lastShotTimes[weapon >= 0 && weapon < WEAPON_SLOTS ? weapon : 0];
    const float loaded = reload == 0 || since >= reload ? 1.0f : float(since) / float(reload);
    const int32_t reloadBottom = bottom + 9;
    FillRect(panel.barLeft, reloadBottom, panel.barWidth, 5, EMPTY, 0.9f);
    FillRect(panel.barLeft, reloadBottom, int32_t(float(panel.barWidth) * loaded), 5, colour,
             loaded < 1.0f ? 0.5f : 1.0f);
}

void DrawTimeAndFrags(const MatchState &match, Viewport view)
{
    int32_t y = view.height - MARGIN - 14;
    bool limited = false;
    const uint32_t timeLeft = MatchTimeLeft(&limited);
    if (limited) {
        const uint32_t seconds = (timeLeft + 999) / 1000;
        char text[16];
        snprintf(text, sizeof text, "%u:%02u", unsigned(seconds / 60), unsigned(seconds % 60));
        Print(view.width / 2 - TextWidth(text, 14) / 2, y, 14, nullptr, 1.0f, text);
    }
    // The frag lines go under the panels, which leave too little room between them.
    y = view.height - MARGIN - HUD_PANEL_HEIGHT - 16;
    for (const FragLine &line : match.feed) {
        if (line.text[0] == '\0' || line.ageMs >= MATCH_FRAG_LINE_MS) {
            continue;
        }
        const uint32_t shown = MATCH_FRAG_LINE_MS - line.ageMs;
        const float alpha =
            shown < FRAG_LINE_FADE_MS ? float(shown) / float(FRAG_LINE_FADE_MS) : 1.0f;
        Print(view.width / 2 - TextWidth(line.text, TEXT_SIZE) / 2, y, TEXT_SIZE, nullptr, alpha,
              line.text);
        y -= TEXT_SIZE + 3;
    }
}

void DrawWinnerScreen(const MatchState &match, Viewport view)
{
    static constexpr float SHADE[3] = {0.0f, 0.0f, 0.0f};
    const float *colour = HUD_COLOURS[match.winner == 1 ? 0 : 1];
    FillRect(0, 0, view.width, view.height, SHADE, 0.5f);
    const int32_t width = 460;
    const int32_t height = 150;
    const int32_t left = view.width / 2 - width / 2;
    const int32_t bottom = view.height / 2 - height / 2;
    FillRect(left - 4, bottom - 4, width + 8, height + 8, colour, 1.0f);
    FillRect(left, bottom, width, height, SHADE, 0.9f);

    char text[C_LINE_SIZE];
    snprintf(text, sizeof text, "Player %d wins the match", int(match.winner));
    Print(view.width / 2 - TextWidth(text, 18) / 2, bottom + height - 40, 18, colour, 1.0f, text);
    snprintf(text, sizeof text, "%d:%d", int(match.frags[0]), int(match.frags[1]));
    Print(view.width / 2 - TextWidth(text, 32) / 2, bottom + 50, 32, nullptr, 1.0f, text);
    const char hint[] = "Space or Escape: next match";
    Print(view.width / 2 - TextWidth(hint, TEXT_SIZE) / 2, bottom + 16, TEXT_SIZE, nullptr, 0.8f,
          hint);
}
}  // namespace

HudPanel HudPanelOf(int32_t player, int32_t width, int32_t height)
{
    const int32_t left = player == 1 ? MARGIN : width - MARGIN - HUD_PANEL_WIDTH;
    const int32_t top = height - MARGIN;
    return HudPanel{left, top, left + 48, top - 34, HUD_PANEL_WIDTH - 54, 10};
}

int32_t HealthBarWidth(int32_t health, int32_t fullWidth)
{
    if (health <= 0) {
        return 0;
    }
    if (health >= MATCH_HEALTH) {
        return fullWidth;
    }
    // A player still standing keeps at least a sliver of bar.
    return std::max(int32_t(int64_t(fullWidth) * health / MATCH_HEALTH), int32_t(1));
}

void DrawMatch()
{
    const MatchState &match = CurrentMatch();
    DrawMatchPlayer(0, match);
    DrawMatchPlayer(1, match);
    DrawShotsInMatch();
    const Viewport view = BeginPixels();
    DrawPanel(0, match, view);
    DrawPanel(1, match, view);
    DrawTimeAndFrags(match, view);
    if (match.over) {
        DrawWinnerScreen(match, view);
    }
    EndPixels();
}
