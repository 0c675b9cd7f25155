#include "input/actions.h"

#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "platform/keys.h"

namespace {
constexpr float AIM_STEP_DEGREES = 4.0f;

int32_t weaponCycleStep = 0;

void Control(uint32_t action, int32_t player, int32_t argument)
{
    PlayerControl(action, player, &argument);
}

void Aim(int32_t player, float degrees) { PlayerControl(ACTION_AIM, player, &degrees); }

void CycleWeapon(int32_t player) { Control(ACTION_SELECT_WEAPON, player, NextCycledWeapon()); }

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
void Player2Right() { Control(ACTION_MOVE, 2, MOVE_RIGHT); }
void Player2Left() { Control(ACTION_MOVE, 2, MOVE_LEFT); }
void Player2Jump() { Control(ACTION_MOVE, 2, MOVE_JUMP); }
void Player1Cycle() { CycleWeapon(1); }
void Player2Cycle() { CycleWeapon(2); }
void Player2Rail() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_RAIL); }
void Player2Plasma() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_PLASMA); }
void Player2Rocket() { Control(ACTION_SELECT_WEAPON, 2, WEAPON_ROCKET); }
// clang-format on
}  // namespace

int32_t NextCycledWeapon()
{
    weaponCycleStep = weaponCycleStep >= 3 ? 1 : weaponCycleStep + 1;
    return weaponCycleStep + 1;
}

void BindDefaultKeys(const ShellActions &actions)
{
    constexpr bool REPEAT = false;
    constexpr bool ONCE = true;
    ClearBindings();
    BindKey(P_KEY_F12, actions.shutdown, REPEAT);
    BindKey('D', Player1Right, REPEAT);
    BindKey('A', Player1Left, REPEAT);
    BindKey(P_KEY_SPACE, Player1Fire, REPEAT);
    BindKey('W', Player1Jump, REPEAT);
    BindKey('T', Player1AimUp, REPEAT);
    BindKey('F', Player1AimDown, REPEAT);
    BindKey('1', Player1Rail, ONCE);
    BindKey('2', Player1Plasma, ONCE);
    BindKey('3', Player1Rocket, ONCE);
    BindKey(P_KEY_RIGHT, Player2Right, REPEAT);
    BindKey(P_KEY_LEFT, Player2Left, REPEAT);
    BindKey(P_KEY_UP, Player2Jump, REPEAT);
    BindKey('Q', Player1Cycle, ONCE);
    BindKey(P_KEY_NUMPAD_0, Player2Cycle, ONCE);
    BindKey(P_KEY_INSERT, Player2Rail, ONCE);
    BindKey(P_KEY_DELETE, Player2Plasma, ONCE);
    BindKey(P_KEY_END, Player2Rocket, ONCE);
    BindKey(P_KEY_F8, actions.pauseMusic, ONCE);
    BindKey(P_KEY_F9, actions.playMusic, ONCE);
}
