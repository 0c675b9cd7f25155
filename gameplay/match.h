#pragma once

#include "console/console.h"
#include "gameplay/player.h"
#include "gameplay/presentation.h"
#include "gameplay/weapons.h"

#include <cstdint>

// Match rules, chosen with the console variable g_match (0 or 1, default 0). With 0 nothing here
// runs and the game plays as it always did. With 1 a match starts at the next world frame: solid
// bricks, damage that kills, respawns, a score, an end at g_fraglimit frags (default 10, 0 none)
// or after g_timelimit minutes (default 0, none), a HUD and a winner screen. Players are
// numbered 1 and 2, as in the texts the console prints.

constexpr int32_t MATCH_HEALTH = START_HEALTH;
constexpr uint32_t MATCH_RESPAWN_MS = 2000;    // from a death to the respawn
constexpr uint32_t MATCH_FRAG_LINE_MS = 4000;  // how long a frag line stays on the screen
constexpr int32_t MATCH_FRAG_LINES = 3;

struct FragLine {
    char text[C_LINE_SIZE];  // empty for none
    uint32_t ageMs;
};

struct MatchState {
    bool started;  // the rules are in play since g_match was last set
    bool over;     // won: the winner screen shows until Escape or Space
    int32_t winner;
    int32_t frags[2];
    bool dead[2];
    uint32_t deadMs[2];               // time since the death
    int32_t lastAttacker[2];          // who last hurt this player: 1 or 2
    uint32_t playedMs;                // match time, counted in world frames until the match is won
    FragLine feed[MATCH_FRAG_LINES];  // newest first
};

// Registers g_match, g_fraglimit and g_timelimit; writecfg saves them only when changed.
void RegisterMatchVariables();

// Whether g_match is 1.
bool MatchOn();

// A world frame in a match, in the order of a frame without one: players, then projectiles,
// each moved and drawn, then the HUD. AdvanceMatch is the same frame undrawn.
void UpdateMatch(uint32_t milliseconds);

// The rules of one world frame without drawing: starts the match when due, respawns, moves the
// living through the bricks, flies the projectiles, scores and ends the match. Nothing with
// g_match 0.
void AdvanceMatch(uint32_t milliseconds);

// Score 0:0, projectiles gone, both players at their start: player 1 at the map's first spawn
// point, player 2 at the one farthest from it (with fewer than two, the ends of the floor line),
// facing each other.
void StartMatch();

// A new map is in play: a match under way starts again on it at the next world frame.
void MatchMapChanged();

// Lowers the health of player `victim` (1 or 2) by `damage` from a shot of player `attacker`.
// At 0 or below the victim dies and the frag is scored; nothing once dead or after the end.
void HurtPlayer(int32_t victim, int32_t damage, int32_t attacker);

// Where a match starts, from the map's spawn points: player 1 at the first, player 2 at the
// one farthest from it. With fewer than two points, at the two ends of the old floor line.
struct StartPoints {
    Pose first;
    Pose second;
};
StartPoints ChooseStartPoints(const Pose *points, int32_t count);

// Where a player respawns: the spawn point farthest from its opponent at (x, y), the first of
// equals. With fewer than two points, the farther end of the old floor line.
Pose ChooseRespawnPoint(const Pose *points, int32_t count, float x, float y);

// Key-downs and key-ups while the world shows and the console is closed. On the winner screen a
// fresh press of Escape or Space starts the next match; true when the key was taken (its
// auto-repeat too), so that nothing else sees it.
bool MatchKeyDown(uint32_t key);
void MatchKeyUp(uint32_t key);

// Whether `player` may move, aim, fire and choose weapons: always outside a match; in one, while
// alive and until the match is won.
bool MatchLetsAct(const Player &player);

// The match as it stands, for drawing.
const MatchState &CurrentMatch();

// The match's console settings: g_match, g_fraglimit and g_timelimit, taken as they stand.
struct MatchSettings {
    int32_t setting;
    int32_t fragLimit;
    float timeLimitMinutes;
};
MatchSettings CurrentMatchSettings();
void SetMatchSettings(const MatchSettings &settings);

// Everything a match keeps from frame to frame, its settings included, for demos.
struct MatchSnapshot {
    MatchState state;
    bool keysHeld[2];  // Escape and Space
    bool struck[PROJECTILE_SLOTS];
    int32_t setting;  // g_match
    int32_t fragLimit;
    float timeLimitMinutes;
};
void SaveMatch(MatchSnapshot *snapshot);
void RestoreMatch(const MatchSnapshot &snapshot);

// Milliseconds left until g_timelimit, 0 once it has passed; `limited` false without a limit.
uint32_t MatchTimeLeft(bool *limited);
