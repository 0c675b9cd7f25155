#include "input/actions.h"

#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "platform/keys.h"

#include <strings.h>

namespace {
constexpr float AIM_STEP_DEGREES = 4.0f;
constexpr bool REPEAT = false;
constexpr bool ONCE = true;

int32_t weaponCycleStep = 0;
ShellActions shell = {};

void Control(uint32_t action, int32_t player, int32_t argument)
{
    PlayerControl(action, player, &argument);
}

void Aim(int32_t player, float degrees) { PlayerControl(ACTION_AIM, player, &degrees); }

void CycleWeapon(int32_t player) { Control(ACTION_SELECT_WEAPON, player, NextCycledWeapon()); }

void CallShell(KeyCallback callback)
{
    if (callback != nullptr) {
        callback();
    }
}

// clang-format off
void Player1Right() { Control(ACTION_MOVE, 1, MOVE_RIGHT); }
void Player1Left() { Control(ACTION_MOVE, 1, MOVE_LEFT); }
void Player1Fire() { PlayerControl(ACTION_FIRE, 1, nullptr); }
void Player1Jump() { Control(ACTION_MOVE, 1, MOVE_JUMP); }
void Player1AimUp() { Aim(1, AIM_STEP_DEGREES); }
void Player1AimDown() { Aim(1, -AIM_STEP_DEGREES); }
void Player1Rail() { Control(ACTION_SELECT_WEAPON, 1, WEAPON_RAIL); }
void Player1Plasma() { Control(ACTION_SELECT_WEAPON, 1, WEAPON_PLASMA); }
void Player1Rocket() { Control(ACTION_SELECT_WEAPON, 1, WEAPON_ROCKET); }
void Player1Cycle() { CycleWeapon(1); }
void Player2Right() { Control(ACTION_MOVE, 2, MOVE_RIGHT); }
void Player2Left() { Control(ACTION_MOVE, 2, MOVE_LEFT); }
void Player2Jump() { Control(ACTION_MOVE, 2, MOVE_JUMP); }
void Player2AimUp() { Aim(2, AIM_STEP_DEGREES); }
void Player2AimDown() { Aim(2, -AIM_STEP_DEGREES); }
void Player2Fire() { PlayerControl(ACTION_FIRE, 2, nullptr); }
void Player2Rail() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_RAIL); }
void Player2Plasma() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_PLASMA); }
void Player2Rocket() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_ROCKET); }
void Player2Cycle() { CycleWeapon(2); }
void Quit() { CallShell(shell.shutdown); }
void PauseMusic() { CallShell(shell.pauseMusic); }
void PlayMusic() { CallShell(shell.playMusic); }

struct NamedAction {
    const char *name;
    KeyCallback callback;
    bool once;
};

// The mode belongs to the action: a weapon change stays once per press on any key. Player 2's
// aim and fire are the mouse's at start; keys can take them too.
constexpr NamedAction ACTIONS[] = {
    {"p1_left",       Player1Left,    REPEAT}, {"p1_right",      Player1Right,   REPEAT},
    {"p1_jump",       Player1Jump,    REPEAT}, {"p1_aimup",      Player1AimUp,   REPEAT},
    {"p1_aimdown",    Player1AimDown, REPEAT}, {"p1_fire",       Player1Fire,    REPEAT},
    {"p1_rail",       Player1Rail,    ONCE},   {"p1_plasma",     Player1Plasma,  ONCE},
    {"p1_rocket",     Player1Rocket,  ONCE},   {"p1_nextweapon", Player1Cycle,   ONCE},
    {"p2_left",       Player2Left,    REPEAT}, {"p2_right",      Player2Right,   REPEAT},
    {"p2_jump",       Player2Jump,    REPEAT}, {"p2_aimup",      Player2AimUp,   REPEAT},
    {"p2_aimdown",    Player2AimDown, REPEAT}, {"p2_fire",       Player2Fire,    REPEAT},
    {"p2_rail",       Player2Rail,    ONCE},   {"p2_plasma",     Player2Plasma,  ONCE},
    {"p2_rocket",     Player2Rocket,  ONCE},   {"p2_nextweapon", Player2Cycle,   ONCE},
    {"music_pause",   PauseMusic,     ONCE},   {"music_play",    PlayMusic,      ONCE},
    {"quit",          Quit,           REPEAT},
};

// The start-up bindings, in the order they are made.
constexpr struct { uint8_t key; KeyCallback callback; } DEFAULT_BINDINGS[] = {
    {P_KEY_F12, Quit},              {'D', Player1Right},            {'A', Player1Left},
    {P_KEY_SPACE, Player1Fire},     {'W', Player1Jump},             {'T', Player1AimUp},
    {'F', Player1AimDown},          {'1', Player1Rail},             {'2', Player1Plasma},
    {'3', Player1Rocket},           {P_KEY_RIGHT, Player2Right},    {P_KEY_LEFT, Player2Left},
    {P_KEY_UP, Player2Jump},        {'Q', Player1Cycle},            {P_KEY_NUMPAD_0, Player2Cycle},
    {P_KEY_INSERT, Player2Rail},    {P_KEY_DELETE, Player2Plasma},  {P_KEY_END, Player2Rocket},
    {P_KEY_F8, PauseMusic},         {P_KEY_F9, PlayMusic},
};
// clang-format on

const NamedAction *FindAction(KeyCallback callback)
{
    for (const NamedAction &action : ACTIONS) {
        if (action.callback == callback) {
            return &action;
        }
    }
    return nullptr;
}
}  // namespace

int32_t NextCycledWeapon()
{
    weaponCycleStep = weaponCycleStep >= 3 ? 1 : weaponCycleStep + 1;
    return weaponCycleStep + 1;
}

void BindDefaultKeys(const ShellActions &actions)
{
    shell = actions;
    ClearBindings();
    for (const auto &binding : DEFAULT_BINDINGS) {
        BindKey(binding.key, binding.callback, FindAction(binding.callback)->once);
    }
}

bool BindAction(int32_t keyCode, const char *name)
{
    for (const NamedAction &action : ACTIONS) {
        if (strcasecmp(action.name, name) == 0) {
            BindKey(keyCode, action.callback, action.once);
            return true;
        }
    }
    return false;
}

const char *ActionName(KeyCallback callback)
{
    const NamedAction *const action = callback != nullptr ? FindAction(callback) : nullptr;
    return action != nullptr ? action->name : nullptr;
}

const char *DefaultActionName(int32_t keyCode)
{
    for (const auto &binding : DEFAULT_BINDINGS) {
        if (binding.key == keyCode) {
            return ActionName(binding.callback);
        }
    }
    return nullptr;
}
