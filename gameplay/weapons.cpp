#include "gameplay/weapons.h"

#include "audio/sound.h"
#include "gameplay/presentation.h"
#include "gfx/frame.h"
#include "gfx/texture.h"
#include "platform/gl.h"
#include "platform/timer.h"
#include "shell/display.h"

#include <cmath>
#include <cstring>

namespace {
constexpr char MODEL_DIRECTORY[] = "basev2/models/sarge";
constexpr float SPAWN_DISTANCE = 0.35f;
constexpr float ARENA_LEFT = -4.0f;
constexpr float ARENA_RIGHT = 4.0f;
constexpr float ARENA_BOTTOM = 0.0f;  // the floor line: shots below it have left the arena
constexpr float ARENA_TOP = 3.0f;

uint32_t reloadTimes[WEAPON_SLOTS];
int32_t damages[WEAPON_SLOTS];
Projectile projectiles[PROJECTILE_SLOTS];
int32_t healthBeforeExplosion[2];

Sound hitSound;
Sound plasmaSound;
Sound railSound;
Sound rocketSound;
Sound rocketHitSound;
T_Texture plasmaShot;
T_Texture rocketShot;
Frame explosion;
uint32_t (*reloadClock)() = P_Ticks;  // only tests change it, to a clock they set

using DrawHook = void (*)(const Projectile &projectile, WorldPosition at);

void PlayShotSound(int32_t weapon)
{
    // The sounds are shared, so a shot cuts off the other weapons' sounds of both players.
    switch (weapon) {
    case WEAPON_RAIL:
        rocketSound.Pause(false);
        plasmaSound.Pause(false);
        railSound.Play(true, false);
        break;
    case WEAPON_PLASMA:
        railSound.Pause(false);
        rocketSound.Pause(false);
        plasmaSound.Play(true, false);
        break;
    case WEAPON_ROCKET:
        plasmaSound.Pause(false);
        railSound.Pause(false);
        rocketSound.Play(true, false);
        break;
    default:
        break;
    }
}

bool Within(const Player &player, WorldPosition at)
{
    const float dx = player.pose.x - at.x;
    const float dy = player.pose.y - at.y;
    return sqrtf(dx * dx + dy * dy) < FLOOR_HEIGHT;
}

void DrawRailBeam(const Projectile &beam)
{
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(0.0, 1.0, 1.0, beam.opacity);
    const float c = cosf(beam.origin.angle);
    const float s = sinf(beam.origin.angle);
    DrawLine(double(beam.origin.x + c * 0.3f), double(beam.origin.y + s * 0.3f),
             double(beam.origin.x + c * beam.distance), double(beam.origin.y + s * beam.distance),
             1.0f);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
}

void DrawRocket(const Projectile &rocket, WorldPosition at)
{
    glPushMatrix();
    glTranslatef(at.x, at.y, 0.0f);
    glRotatef(rocket.origin.angle * RADIANS_TO_DEGREES, 0.0f, 0.0f, 1.0f);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT | GL_LIGHTING_BIT);
    glEnable(GL_TEXTURE_2D);
    rocketShot.Bind();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    // Mirrored, so the picture's left edge leads.
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(-0.1f, -0.1f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.1f, -0.1f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.1f, 0.1f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(-0.1f, 0.1f);
    glEnd();
    glPopAttrib();
    glPopMatrix();
}

void DrawPlasma(WorldPosition at)
{
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT | GL_LIGHTING_BIT);
    glEnable(GL_TEXTURE_2D);
    plasmaShot.Bind();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(at.x - 0.1f, at.y - 0.1f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(at.x + 0.1f, at.y - 0.1f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(at.x + 0.1f, at.y + 0.1f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(at.x - 0.1f, at.y + 0.1f);
    glEnd();
    glPopAttrib();
}

void DrawProjectile(const Projectile &projectile, WorldPosition at)
{
    switch (projectile.type) {
    case WEAPON_RAIL:
        DrawRailBeam(projectile);
        break;
    case WEAPON_ROCKET:
        DrawRocket(projectile, at);
        break;
    case WEAPON_PLASMA:
        DrawPlasma(at);
        break;
    default:
        break;
    }
}

void DrawExplosion(WorldPosition at) { explosion.Draw(at.x, at.y, 1.2f, 1.2f, 1); }

void StepRail(Projectile &beam, uint32_t milliseconds, DrawHook draw)
{
    if (beam.life <= 0.0f) {
        beam = Projectile{};
        return;
    }
    // Float steps, as the beam always grew: about a thousand, once per beam.
    while (beam.distance < RAIL_LENGTH) {
        beam.distance += 0.01f;
    }
    FadeRailBeam(beam, milliseconds);
    if (draw != nullptr) {
        draw(beam, WorldPosition{0.0f, 0.0f});
    }
}

void Explode(Projectile &rocket, uint32_t milliseconds, bool drawing)
{
    if (explosion.currentFrame == 0 && explosion.accumulatedTime == 0.0f) {
        for (int32_t i = 0; i < 2; ++i) {
            if (players[i].health < healthBeforeExplosion[i]) {
                PlayHitSound();
            }
        }
        PlayRocketHitSound();
    }
    const WorldPosition at = ProjectilePosition(rocket);
    if (AdvanceExplosion(milliseconds)) {
        rocket = Projectile{};
        return;
    }
    if (drawing) {
        DrawExplosion(at);
    }
}

void StepRocket(Projectile &rocket, uint32_t milliseconds, DrawHook draw)
{
    if (HitTest(rocket)) {
        Explode(rocket, milliseconds, draw != nullptr);
        return;
    }
    if (draw != nullptr) {
        draw(rocket, ProjectilePosition(rocket));
    }
    rocket.distance += float(milliseconds) * ROCKET_SPEED;
    healthBeforeExplosion[0] = players[0].health;
    healthBeforeExplosion[1] = players[1].health;
}

void StepPlasma(Projectile &ball, uint32_t milliseconds, DrawHook draw)
{
    if (HitTest(ball)) {
        ball = Projectile{};
        return;
    }
    if (draw != nullptr) {
        draw(ball, ProjectilePosition(ball));
    }
    ball.distance += float(milliseconds) * PLASMA_SPEED;
}

void Step(uint32_t milliseconds, DrawHook draw)
{
    for (Projectile &projectile : projectiles) {
        switch (projectile.type) {
        case WEAPON_RAIL:
            StepRail(projectile, milliseconds, draw);
            break;
        case WEAPON_ROCKET:
            StepRocket(projectile, milliseconds, draw);
            break;
        case WEAPON_PLASMA:
            StepPlasma(projectile, milliseconds, draw);
            break;
        default:
            break;
        }
    }
}

void LoadWeapon(int32_t weapon, uint32_t reload, int32_t damage)
{
    reloadTimes[weapon] = reload;
    damages[weapon] = damage;
}
}  // namespace

void InitGameplay()
{
    LoadPlayer(players[0], MODEL_DIRECTORY);
    LoadPlayer(players[1], MODEL_DIRECTORY);
    hitSound.Open("basev2/media/weapons/hit.wav", SOUND_WAVE_AUDIO);

    plasmaShot.Load("basev2/textures/weapons/plasma_shoot.BMP", false);
    LoadWeaponSprite(WEAPON_PLASMA, "basev2/textures/weapons/plasma_weapon.BMP");
    plasmaSound.Open("basev2/media/weapons/Plasma.wav", SOUND_WAVE_AUDIO);
    LoadWeapon(WEAPON_PLASMA, 90, 20);

    LoadWeaponSprite(WEAPON_RAIL, "basev2/textures/weapons/rail_weapon.BMP");
    railSound.Open("basev2/media/weapons/Rail.wav", SOUND_WAVE_AUDIO);
    LoadWeapon(WEAPON_RAIL, 1500, 100);

    LoadWeaponSprite(WEAPON_ROCKET, "basev2/textures/weapons/rocket_weapon.BMP");
    rocketShot.Load("basev2/textures/weapons/rocket_shoot.BMP", true);
    rocketSound.Open("basev2/media/weapons/rocket.wav", SOUND_WAVE_AUDIO);
    explosion.Load("basev2/models/weapons/rocket.fp", 1);
    explosion.SetRate(40.0f);
    rocketHitSound.Open("basev2/media/weapons/rocket_hit.wav", SOUND_WAVE_AUDIO);
    LoadWeapon(WEAPON_ROCKET, 800, 100);

    RegisterPlayerVariables();
}

uint32_t ReloadTime(int32_t weapon)
{
    return weapon >= 0 && weapon < WEAPON_SLOTS ? reloadTimes[weapon] : 0;
}

void SetReloadClock(uint32_t (*clock)()) { reloadClock = clock != nullptr ? clock : P_Ticks; }

uint32_t ReloadClockNow() { return reloadClock(); }

void Fire(Player &player)
{
    const int32_t weapon = player.currentWeapon;
    if (weapon < 0 || weapon >= WEAPON_SLOTS) {
        return;
    }
    const uint32_t now = ReloadClockNow();
    if (now - player.lastShotTimes[weapon] <= reloadTimes[weapon]) {
        return;
    }
    player.lastShotTimes[weapon] = now;
    const int32_t owner = &player == &players[0] ? 1 : 2;
    for (Projectile &slot : projectiles) {
        if (slot.type == 0) {
            slot = Projectile{weapon, player.pose, SPAWN_DISTANCE, 100.0f, 1.0, owner};
            break;
        }
    }
    PlayShotSound(weapon);
}

void UpdateProjectiles(uint32_t milliseconds) { Step(milliseconds, DrawProjectile); }

void AdvanceProjectiles(uint32_t milliseconds) { Step(milliseconds, nullptr); }

const Projectile &GetProjectile(int32_t slot) { return projectiles[slot]; }

WorldPosition ProjectilePosition(const Projectile &projectile)
{
    const Pose &origin = projectile.origin;
    return WorldPosition{origin.x + cosf(origin.angle) * projectile.distance,
                         origin.y + sinf(origin.angle) * projectile.distance};
}

bool HitTest(const Projectile &projectile)
{
    const WorldPosition at = ProjectilePosition(projectile);
    const int32_t type = projectile.type;
    const int32_t damage = type >= 0 && type < WEAPON_SLOTS ? damages[type] : 0;
    for (Player &player : players) {
        if (Within(player, at)) {
            player.health -= damage;
            return true;
        }
    }
    return at.x < ARENA_LEFT || at.x > ARENA_RIGHT || at.y < ARENA_BOTTOM || at.y > ARENA_TOP;
}

void ResetWeapons()
{
    for (Projectile &projectile : projectiles) {
        projectile = Projectile{};
    }
    memset(reloadTimes, 0, sizeof reloadTimes);
    memset(damages, 0, sizeof damages);
    healthBeforeExplosion[0] = 0;
    healthBeforeExplosion[1] = 0;
}

Projectile &ProjectileSlot(int32_t slot) { return projectiles[slot]; }

int32_t Damage(int32_t weapon)
{
    return weapon >= 0 && weapon < WEAPON_SLOTS ? damages[weapon] : 0;
}

void DrawShot(const Projectile &projectile)
{
    DrawProjectile(projectile, ProjectilePosition(projectile));
}

void DrawExplosionAt(WorldPosition at) { DrawExplosion(at); }

bool AdvanceExplosion(uint32_t milliseconds)
{
    explosion.Advance(0, milliseconds / 2);
    // The last frame is never shown. Without frames the end test could never hold and the
    // rocket would keep its slot for good, so it ends at once like a one-frame explosion.
    if (explosion.frameCount == 0 || explosion.currentFrame == explosion.frameCount - 1) {
        explosion.currentFrame = 0;
        explosion.accumulatedTime = 0.0f;
        return true;
    }
    return false;
}

void FadeRailBeam(Projectile &beam, uint32_t milliseconds)
{
    beam.life -= float(milliseconds) * 0.05f;
    if (beam.life < 50.0f) {
        beam.opacity -= milliseconds * 0.0025;
    }
}

void PlayHitSound()
{
    hitSound.Pause(false);
    hitSound.Play(true, false);
}

void PlayRocketHitSound() { rocketHitSound.Play(true, false); }

void SaveWeapons(WeaponsState *state)
{
    memcpy(state->projectiles, projectiles, sizeof projectiles);
    state->healthBeforeExplosion[0] = healthBeforeExplosion[0];
    state->healthBeforeExplosion[1] = healthBeforeExplosion[1];
    state->explosionFrame = explosion.currentFrame;
    state->explosionTime = explosion.accumulatedTime;
    state->explosionFacing = explosion.facing;
}

void RestoreWeapons(const WeaponsState &state)
{
    memcpy(projectiles, state.projectiles, sizeof projectiles);
    healthBeforeExplosion[0] = state.healthBeforeExplosion[0];
    healthBeforeExplosion[1] = state.healthBeforeExplosion[1];
    explosion.currentFrame = state.explosionFrame < explosion.frameCount ? state.explosionFrame : 0;
    explosion.accumulatedTime = state.explosionTime;
    explosion.facing = state.explosionFacing;
}
