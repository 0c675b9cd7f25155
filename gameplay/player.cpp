#include "gameplay/player.h"

#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/presentation.h"
#include "gameplay/weapons.h"

#include <cstring>

Player players[2];
float gravity = 0.3f;

namespace {
constexpr float HALF_PI = 1.5707964f;
constexpr float THREE_HALF_PI = 4.712389f;
constexpr float DEGREES_TO_RADIANS = 0.017453292f;
constexpr float STEP_FACTOR = 1.5f;
constexpr float WALK_SPEED = 0.02f;
constexpr float JUMP_SPEED = 0.08f;
constexpr float FRICTION_PER_MS = 1.0f / 10000.0f;
constexpr float GRAVITY_PER_MS = 0.0005f;
constexpr uint8_t FACING_LEFT = 0;
constexpr uint8_t FACING_RIGHT = 1;

Pose spawnPoints[SPAWN_POINT_CAPACITY];
ControlHook controlHook = nullptr;
uint32_t frameTime = 0;

Player &Select(int32_t player) { return player == 1 ? players[0] : players[1]; }

void Turn(Player &player, uint8_t facing)
{
    if (player.walk.facing != facing) {
        player.pose.angle = PI - player.pose.angle;  // mirror the aim
        player.walk.facing = facing;
    }
}

void Move(Player &player, int32_t direction)
{
    switch (direction) {
    case MOVE_JUMP:
        if (player.airborne == 0) {
            player.airborne = 1;
            player.jumpVelocity = JUMP_SPEED;
            player.jumpSound.Play(true, false);
        }
        break;
    case MOVE_LEFT:
        player.horizontalVelocity = -WALK_SPEED;
        Turn(player, FACING_LEFT);
        break;
    case MOVE_RIGHT:
        player.horizontalVelocity = WALK_SPEED;
        Turn(player, FACING_RIGHT);
        break;
    default:
        break;
    }
}

// The test uses half the step, so the aim may end up to half a step beyond the limit.
void Aim(Player &player, float degrees)
{
    const float step = degrees * DEGREES_TO_RADIANS;
    const float half = step / 2.0f;
    float &angle = player.pose.angle;
    if (player.walk.facing == FACING_RIGHT) {
        if (angle + half < HALF_PI && angle + half > -HALF_PI) {
            angle += step;
        }
    } else if (angle - half > HALF_PI && angle - half < THREE_HALF_PI) {
        angle -= step;
    }
}

void SelectWeapon(Player &player, int32_t weapon)
{
    // Weapon numbers index the per-weapon tables; others would reach outside them.
    if (weapon < 0 || weapon >= WEAPON_SLOTS) {
        return;
    }
    const uint32_t now = ReloadClockNow();
    const int32_t current = player.currentWeapon;
    if (now - player.lastShotTimes[current] > ReloadTime(current)) {
        player.currentWeapon = weapon;
    }
}

void WalkAndSlide(Player &player, uint32_t milliseconds)
{
    float &velocity = player.horizontalVelocity;
    const float friction = float(milliseconds) * FRICTION_PER_MS;
    if (velocity > 0.0f) {
        velocity -= friction;
        player.walk.Advance(FACING_RIGHT, milliseconds);
        if (player.airborne != 0) {
            player.walk.currentFrame = 0;
            player.walk.facing = FACING_RIGHT;
        }
        if (velocity <= 0.0f) {
            velocity = 0.0f;
        }
    } else if (velocity < 0.0f) {
        velocity += friction;
        player.walk.Advance(FACING_LEFT, milliseconds);
        if (player.airborne != 0) {
            player.walk.currentFrame = 0;
            player.walk.facing = FACING_LEFT;
        }
        if (velocity >= 0.0f) {
            velocity = 0.0f;
        }
    } else {
        player.walk.currentFrame = 0;  // frame 0 is the standing pose
    }
}

void SetGravity() { gravity = C_ArgFloat(); }

void ReportGravity() { C_ReportFloat(gravity); }

void SetFrameDelay() { players[0].walk.SetRate(C_ArgFloat()); }

void ReportFrameDelay() { C_ReportFloat(players[0].walk.rate); }

}  // namespace

void AddSpawnPoint(float x, float y, int32_t index)
{
    if (index < 0 || index >= SPAWN_POINT_CAPACITY) {
        return;
    }
    spawnPoints[index].x = x;
    spawnPoints[index].y = y;
}

const Pose &SpawnPoint(int32_t index)
{
    return spawnPoints[index >= 0 && index < SPAWN_POINT_CAPACITY ? index : 0];
}

void SetFrameTime(uint32_t milliseconds) { frameTime = milliseconds; }

void IntegratePlayer(Player &player, uint32_t milliseconds)
{
    Pose &pose = player.pose;
    // Positions move per frame; only velocity changes scale with the frame time.
    pose.x += STEP_FACTOR * player.horizontalVelocity;
    WalkAndSlide(player, milliseconds);

    const float pull = gravity * GRAVITY_PER_MS * float(milliseconds);
    player.fallVelocity += pull;
    pose.y -= player.fallVelocity;

    if (GRAVITY_PER_MS * float(milliseconds) < player.jumpVelocity) {
        player.jumpVelocity -= pull;
        pose.y += player.jumpVelocity;
        player.airborne = 1;
    } else {
        player.jumpVelocity = 0.0f;
    }
}

void MovePlayer(Player &player, uint32_t milliseconds)
{
    IntegratePlayer(player, milliseconds);
    Pose &pose = player.pose;
    if (pose.y - FLOOR_HEIGHT <= 0.0f) {
        pose.y = FLOOR_HEIGHT;
        player.fallVelocity = 0.0f;
        player.airborne = 0;
    }
}

void UpdatePlayers(uint32_t milliseconds)
{
    for (Player &player : players) {
        MovePlayer(player, milliseconds);
        DrawPlayer(player);
    }
}

void AdvancePlayers(uint32_t milliseconds)
{
    for (Player &player : players) {
        MovePlayer(player, milliseconds);
    }
}

void SetControlHook(ControlHook hook) { controlHook = hook; }

void PlayerControl(uint32_t action, int32_t player, const void *argument)
{
    if (controlHook != nullptr) {
        controlHook(action, player, argument);
    }
    Player &target = Select(player);
    if (!MatchLetsAct(target)) {
        return;  // in a match the dead, and everyone once it is won, wait
    }
    int32_t integer = 0;
    float real = 0.0f;
    if (argument != nullptr) {
        memcpy(&integer, argument, sizeof integer);
        memcpy(&real, argument, sizeof real);
    }
    switch (action) {
    case ACTION_MOVE:
        Move(target, integer);
        break;
    case ACTION_FIRE:
        Fire(target);
        break;
    case ACTION_AIM:
        Aim(target, real);
        break;
    case ACTION_SELECT_WEAPON:
        SelectWeapon(target, integer);
        break;
    default:
        break;
    }
}

void RegisterPlayerVariables()
{
    C_AddCommand("gravity", SetGravity, ReportGravity);
    C_AddCommand("framedelay", SetFrameDelay, ReportFrameDelay);
}
