#include "gameplay/presentation.h"

#include "gameplay/weapons.h"
#include "platform/gl.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr int32_t SPAWN_ENTRY = 1;  // both players start at the map's second respawn point
constexpr size_t PATH_SIZE = 256;

T_Texture weaponSprites[WEAPON_SLOTS];

void DrawWeapon(const Player &player)
{
    const Pose &pose = player.pose;
    glPushMatrix();
    glTranslatef(pose.x, pose.y + 0.05f, 0.0f);
    glRotatef(pose.angle * RADIANS_TO_DEGREES, 0.0f, 0.0f, 1.0f);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT | GL_LIGHTING_BIT);
    glEnable(GL_TEXTURE_2D);
    const int32_t weapon = player.currentWeapon;
    if (weapon == WEAPON_ROCKET || weapon == WEAPON_RAIL || weapon == WEAPON_PLASMA) {
        weaponSprites[weapon].Bind();
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    // Aiming into the left half flips the picture so the gun stays the right way up.
    const float degrees = pose.angle * RADIANS_TO_DEGREES;
    const bool rightHalf = degrees > -90.0f && degrees < 90.0f;
    const float bottom = rightHalf ? 0.0f : 1.0f;
    const float top = 1.0f - bottom;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, bottom);
    glVertex2f(-0.15f, -0.15f);
    glTexCoord2f(1.0f, bottom);
    glVertex2f(0.3f, -0.15f);
    glTexCoord2f(1.0f, top);
    glVertex2f(0.3f, 0.15f);
    glTexCoord2f(0.0f, top);
    glVertex2f(-0.15f, 0.15f);
    glEnd();
    glPopAttrib();
    glPopMatrix();
}

void DrawCrosshair(const Player &player)
{
    player.crosshairs[0].Bind();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glPushMatrix();
    // The lower-left corner, not the centre, sits on the aim line one unit out.
    const float x = player.pose.x + cosf(player.pose.angle);
    const float y = player.pose.y + sinf(player.pose.angle);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x, y);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x, y + 0.1f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x + 0.1f, y + 0.1f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x + 0.1f, y);
    glEnd();
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}
}  // namespace

void LoadPlayer(Player &player, const char *directory)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof path, "%s/move.fp", directory);
    player.walk.Load(path, 1);
    player.walk.SetRate(20.0f);
    snprintf(path, sizeof path, "%s/cr.fp", directory);
    player.crouch.Load(path, 1);
    snprintf(path, sizeof path, "%s/jump.wav", directory);
    player.jumpSound.Open(path, SOUND_WAVE_AUDIO);
    for (int32_t i = 0; i < 10; ++i) {
        snprintf(path, sizeof path, "basev2/textures/cross/cross%d.bmp", int(i));
        player.crosshairs[i].Load(path, true);
    }
    SpawnPlayer(player);
}

void SpawnPlayer(Player &player)
{
    player.airborne = 0;
    player.horizontalVelocity = 0.0f;
    player.jumpVelocity = 0.0f;
    player.fallVelocity = 0.0f;
    player.walk.facing = 0;
    player.walk.currentFrame = 0;
    player.currentWeapon = WEAPON_ROCKET;
    player.pose = SpawnPoint(SPAWN_ENTRY);
    player.pose.angle = PI;
    player.health = START_HEALTH;
}

void LoadWeaponSprite(int32_t weapon, const char *path)
{
    if (weapon >= 0 && weapon < WEAPON_SLOTS) {
        weaponSprites[weapon].Load(path, true);
    }
}

void DrawPlayer(const Player &player)
{
    player.walk.Draw(player.pose.x, player.pose.y, 1.0f, 1.5f, 0);
    DrawPlayerGear(player);
}

void DrawPlayerGear(const Player &player)
{
    DrawWeapon(player);
    DrawCrosshair(player);
}

const T_Texture &WeaponSprite(int32_t weapon)
{
    return weaponSprites[weapon >= 0 && weapon < WEAPON_SLOTS ? weapon : 0];
}
