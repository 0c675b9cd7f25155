#pragma once

#include "audio/sound.h"
#include "gfx/frame.h"
#include "gfx/texture.h"

#include <cstdint>

struct Pose {
    float x;
    float y;
    float angle;  // radians, counter-clockwise from the positive x axis
};

struct Player {
    Sound jumpSound;
    Frame walk;    // its facing flag is the player's: 1 right (as stored), 0 left (mirrored)
    Frame crouch;  // loaded, never shown
    Pose pose;     // centre of the figure and the aim
    T_Texture crosshairs[10];
    uint8_t airborne;
    float horizontalVelocity;  // world units per frame, before the step factor
    float jumpVelocity;        // upwards, world units per frame
    float fallVelocity;        // downwards, world units per frame
    int32_t currentWeapon;
    uint32_t lastShotTimes[10];  // per weapon number, milliseconds
    int32_t health;
};

// PlayerControl actions and their arguments.
constexpr uint32_t ACTION_MOVE = 0;
constexpr uint32_t ACTION_FIRE = 1;
constexpr uint32_t ACTION_AIM = 2;
constexpr uint32_t ACTION_SELECT_WEAPON = 3;
constexpr int32_t MOVE_JUMP = 0;
constexpr int32_t MOVE_LEFT = 1;
constexpr int32_t MOVE_RIGHT = 2;

// Angles are 32-bit floats in radians; the game's own value of pi.
constexpr float PI = 3.1415927f;
constexpr float RADIANS_TO_DEGREES = 180.0f / PI;

constexpr float FLOOR_HEIGHT = 0.3f;  // lowest centre of a player; also the hit radius
constexpr int32_t SPAWN_POINT_CAPACITY = 65536;
constexpr int32_t WEAPON_SLOTS = 10;

extern Player players[2];
extern float gravity;

// Stores a spawn point (the map loader calls it once per respawn cell); indices outside the
// table are ignored.
void AddSpawnPoint(float x, float y, int32_t index);
const Pose &SpawnPoint(int32_t index);

// The frame time in milliseconds that the next frame's movement uses.
void SetFrameTime(uint32_t milliseconds);

// Moves and draws the first player, then the second.
void UpdatePlayers(uint32_t milliseconds);

// The same without drawing, for a frame nobody sees.
void AdvancePlayers(uint32_t milliseconds);

// One movement step of a player: walking with friction, gravity, jump and floor.
void MovePlayer(Player &player, uint32_t milliseconds);

// The same step without the floor: walking with friction, gravity and the jump.
void IntegratePlayer(Player &player, uint32_t milliseconds);

// Called at the start of every PlayerControl with its arguments, before they act; null (the
// start) for none. Demos record play through it.
using ControlHook = void (*)(uint32_t action, int32_t player, const void *argument);
void SetControlHook(ControlHook hook);

// An action for player 1 (`player` 1) or player 2 (any other number). `argument` points to a
// 32-bit integer (move, select weapon) or float (aim, degrees); fire reads nothing.
void PlayerControl(uint32_t action, int32_t player, const void *argument);

// Registers the gravity and framedelay console variables.
void RegisterPlayerVariables();
