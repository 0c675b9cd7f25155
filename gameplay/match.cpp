#include "gameplay/match.h"

#include "console/registry.h"
#include "gameplay/collision.h"
#include "gameplay/hud.h"
#include "gameplay/match_shots.h"
#include "gameplay/weapons.h"
#include "platform/keys.h"
#include "world/map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr int32_t DEFAULT_FRAG_LIMIT = 10;
constexpr float MS_PER_MINUTE = 60000.0f;
constexpr float MAX_TIME_LIMIT = 10000.0f;  // minutes
// Kept clear of straight up and down, where the aim would leave the half the player faces.
constexpr float STEEPEST_AIM = 1.5f;
// With fewer than two spawn points the players start at the ends of the old floor line.
constexpr Pose FLOOR_ENDS[2] = {{-3.8f, FLOOR_HEIGHT, 0.0f}, {3.8f, FLOOR_HEIGHT, 0.0f}};
constexpr int32_t ESCAPE_KEY = 0;
constexpr int32_t SPACE_KEY = 1;

int32_t matchSetting = 0;
int32_t fragLimit = DEFAULT_FRAG_LIMIT;
float timeLimitMinutes = 0.0f;
MatchState state;
bool keysHeld[2];  // Escape and Space, as the last key-down or key-up left them

// Clocks that must not wrap round to a small number.
uint32_t AddHeld(uint32_t clock, uint32_t milliseconds)
{
    return clock + milliseconds < clock ? UINT32_MAX : clock + milliseconds;
}

int32_t Index(int32_t player) { return player == 1 ? 0 : 1; }

int32_t Number(const Player &player) { return &player == &players[0] ? 1 : 2; }

int32_t MapSpawnPointCount() { return std::min(spawnPointCount, SPAWN_POINT_CAPACITY); }

// Index of the point of `points` farthest from (x, y), the first of equals.
int32_t FarthestPoint(const Pose *points, int32_t count, float x, float y)
{
    int32_t farthest = 0;
    float farthestSquared = -1.0f;
    for (int32_t i = 0; i < count; ++i) {
        const float dx = points[i].x - x;
        const float dy = points[i].y - y;
        const float squared = dx * dx + dy * dy;
        if (squared > farthestSquared) {
            farthest = i;
            farthestSquared = squared;
        }
    }
    return farthest;
}

void Face(Player &player, const Pose &other)
{
    const float dx = other.x - player.pose.x;
    const float dy = other.y - player.pose.y;
    const bool right = dx >= 0.0f;
    const float rise =
        std::max(-STEEPEST_AIM, std::min(std::atan2(dy, std::fabs(dx)), STEEPEST_AIM));
    player.walk.facing = right ? 1 : 0;
    player.pose.angle = right ? rise : PI - rise;
}

void PlaceAt(Player &player, const Pose &point)
{
    SpawnPlayer(player);  // its facing and aim are the next Face's
    player.pose = FreeSpotNear(point.x, point.y);
}

void Respawn(int32_t index)
{
    Player &player = players[index];
    const Player &opponent = players[1 - index];
    PlaceAt(player, ChooseRespawnPoint(&SpawnPoint(0), MapSpawnPointCount(), opponent.pose.x,
                                       opponent.pose.y));
    Face(player, opponent.pose);
    state.dead[index] = false;
    state.deadMs[index] = 0;
}

void AddFragLine(const char *text)
{
    for (int32_t i = MATCH_FRAG_LINES - 1; i > 0; --i) {
        state.feed[i] = state.feed[i - 1];
    }
    snprintf(state.feed[0].text, sizeof state.feed[0].text, "%s", text);
    state.feed[0].ageMs = 0;
}

void Win(int32_t winner)
{
    state.over = true;
    state.winner = winner;
    char line[C_LINE_SIZE];
    snprintf(line, sizeof line, "Player %d wins the match (%d:%d)\n", int(winner),
             int(state.frags[0]), int(state.frags[1]));
    C_Print(line, nullptr);
    ClearShotsInMatch();
}

// Checked after every frag and every frame: the frag limit, then the time limit with a leader.
void CheckEnd()
{
    if (state.over) {
        return;
    }
    for (int32_t i = 0; i < 2; ++i) {
        if (fragLimit > 0 && state.frags[i] >= fragLimit) {
            Win(i + 1);
            return;
        }
    }
    bool limited = false;
    if (MatchTimeLeft(&limited) == 0 && limited && state.frags[0] != state.frags[1]) {
        Win(state.frags[0] > state.frags[1] ? 1 : 2);
    }
}

void Die(int32_t victim)
{
    const int32_t index = Index(victim);
    state.dead[index] = true;
    state.deadMs[index] = 0;
    PlayRocketHitSound();  // the figure bursts
    const int32_t killer = state.lastAttacker[index];
    char line[C_LINE_SIZE];
    if (killer == victim || (killer != 1 && killer != 2)) {
        --state.frags[index];
        snprintf(line, sizeof line, "Player %d fragged himself (%d:%d)", int(victim),
                 int(state.frags[0]), int(state.frags[1]));
    } else {
        ++state.frags[Index(killer)];
        snprintf(line, sizeof line, "Player %d fragged Player %d (%d:%d)", int(killer), int(victim),
                 int(state.frags[0]), int(state.frags[1]));
    }
    AddFragLine(line);
    C_Print(line, "\n", nullptr);
    CheckEnd();
}

void SetMatch()
{
    const int32_t value = C_ArgInt();
    if (value != 0 && value != 1) {
        C_Print("g_match must be 0 or 1.\n", nullptr);
        return;
    }
    matchSetting = value;
    state.started = false;  // with 1 the match (re)starts at the next world frame
}

void ReportMatch() { C_ReportInt(matchSetting); }

void SetFragLimit()
{
    const int32_t value = C_ArgInt();
    if (value < 0) {
        C_Print("g_fraglimit must be 0 or more.\n", nullptr);
        return;
    }
    fragLimit = value;
}

void ReportFragLimit() { C_ReportInt(fragLimit); }

void SetTimeLimit()
{
    const float value = C_ArgFloat();
    // A week of minutes at most keeps the match clock's milliseconds inside 32 bits.
    if (!(value >= 0.0f) || value > MAX_TIME_LIMIT) {
        C_Print("g_timelimit must be between 0 and 10000 minutes.\n", nullptr);
        return;
    }
    timeLimitMinutes = value;
}

void ReportTimeLimit() { C_ReportFloat(timeLimitMinutes); }

int32_t KeySlot(uint32_t key)
{
    if (key == P_KEY_ESCAPE) {
        return ESCAPE_KEY;
    }
    return key == P_KEY_SPACE ? SPACE_KEY : -1;
}
}  // namespace

void RegisterMatchVariables()
{
    C_AddVariable("g_match", SetMatch, ReportMatch, 0.0f);
    C_AddVariable("g_fraglimit", SetFragLimit, ReportFragLimit, float(DEFAULT_FRAG_LIMIT));
    C_AddVariable("g_timelimit", SetTimeLimit, ReportTimeLimit, 0.0f);
}

bool MatchOn() { return matchSetting == 1; }

void UpdateMatch(uint32_t milliseconds)
{
    AdvanceMatch(milliseconds);
    DrawMatch();
}

void AdvanceMatch(uint32_t milliseconds)
{
    if (!MatchOn()) {
        return;
    }
    if (!state.started) {
        StartMatch();
    }
    for (FragLine &line : state.feed) {
        line.ageMs = AddHeld(line.ageMs, milliseconds);
    }
    for (int32_t i = 0; i < 2; ++i) {
        if (state.dead[i]) {
            state.deadMs[i] = std::min(state.deadMs[i] + std::min(milliseconds, MATCH_RESPAWN_MS),
                                       MATCH_RESPAWN_MS);
        }
    }
    if (state.over) {
        return;  // the world stands still behind the winner screen
    }
    state.playedMs = AddHeld(state.playedMs, milliseconds);
    for (int32_t i = 0; i < 2; ++i) {
        if (state.dead[i] && state.deadMs[i] >= MATCH_RESPAWN_MS) {
            Respawn(i);
        }
    }
    for (int32_t i = 0; i < 2; ++i) {
        if (!state.dead[i]) {
            MovePlayerInBricks(players[i], milliseconds);
        }
    }
    AdvanceShotsInMatch(milliseconds);
    CheckEnd();
}

void StartMatch()
{
    state = MatchState{};
    state.started = true;
    ClearShotsInMatch();
    const StartPoints start = ChooseStartPoints(&SpawnPoint(0), MapSpawnPointCount());
    PlaceAt(players[0], start.first);
    PlaceAt(players[1], start.second);
    Face(players[0], players[1].pose);
    Face(players[1], players[0].pose);
}

void MatchMapChanged() { state.started = false; }

void HurtPlayer(int32_t victim, int32_t damage, int32_t attacker)
{
    const int32_t index = Index(victim);
    if (!state.started || state.over || state.dead[index]) {
        return;
    }
    players[index].health -= damage;
    state.lastAttacker[index] = attacker;
    if (players[index].health <= 0) {
        Die(victim);
    }
}

StartPoints ChooseStartPoints(const Pose *points, int32_t count)
{
    if (count < 2) {
        return StartPoints{FLOOR_ENDS[0], FLOOR_ENDS[1]};
    }
    return StartPoints{points[0], points[FarthestPoint(points, count, points[0].x, points[0].y)]};
}

Pose ChooseRespawnPoint(const Pose *points, int32_t count, float x, float y)
{
    if (count < 2) {
        return FLOOR_ENDS[FarthestPoint(FLOOR_ENDS, 2, x, y)];
    }
    return points[FarthestPoint(points, count, x, y)];
}

bool MatchKeyDown(uint32_t key)
{
    const int32_t slot = KeySlot(key);
    if (slot < 0) {
        return false;
    }
    const bool repeated = keysHeld[slot];
    keysHeld[slot] = true;
    if (!MatchOn() || !state.started || !state.over) {
        return false;
    }
    // A key held since before the end only repeats: the next match waits for a fresh press.
    if (!repeated) {
        StartMatch();
    }
    return true;
}

void MatchKeyUp(uint32_t key)
{
    const int32_t slot = KeySlot(key);
    if (slot >= 0) {
        keysHeld[slot] = false;
    }
}

bool MatchLetsAct(const Player &player)
{
    if (!MatchOn() || !state.started) {
        return true;
    }
    return !state.over && !state.dead[Index(Number(player))];
}

const MatchState &CurrentMatch() { return state; }

MatchSettings CurrentMatchSettings()
{
    return MatchSettings{matchSetting, fragLimit, timeLimitMinutes};
}

void SetMatchSettings(const MatchSettings &settings)
{
    matchSetting = settings.setting;
    fragLimit = settings.fragLimit;
    timeLimitMinutes = settings.timeLimitMinutes;
}

void SaveMatch(MatchSnapshot *snapshot)
{
    snapshot->state = state;
    snapshot->keysHeld[0] = keysHeld[0];
    snapshot->keysHeld[1] = keysHeld[1];
    SaveShotsStruck(snapshot->struck);
    snapshot->setting = matchSetting;
    snapshot->fragLimit = fragLimit;
    snapshot->timeLimitMinutes = timeLimitMinutes;
}

void RestoreMatch(const MatchSnapshot &snapshot)
{
    state = snapshot.state;
    keysHeld[0] = snapshot.keysHeld[0];
    keysHeld[1] = snapshot.keysHeld[1];
    RestoreShotsStruck(snapshot.struck);
    matchSetting = snapshot.setting;
    fragLimit = snapshot.fragLimit;
    timeLimitMinutes = snapshot.timeLimitMinutes;
}

uint32_t MatchTimeLeft(bool *limited)
{
    *limited = timeLimitMinutes > 0.0f;
    if (!*limited) {
        return 0;
    }
    const double limit = double(timeLimitMinutes) * double(MS_PER_MINUTE);
    const double left = limit - double(state.playedMs);
    return left > 0.0 ? uint32_t(std::lround(left)) : 0;
}
