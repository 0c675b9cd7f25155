#pragma once

#include "gameplay/match.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "world/map.h"
#include "world/map_name.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The demo file: a recording of play that replays exactly. All numbers little-endian, floats as
// their 32 or 64 bits.
//
//   "VDEM", version (16 bits), the map's name (a length byte and its letters) and its 600
//   cells, the reload clock at the start, the world at the start (settings, both players, the
//   weapons, the match), the number of ticks, the ticks, both players at the end, and a CRC-32
//   of everything before it.
//
// A tick is one frame: its delta in milliseconds, the number of its events, the events, and a
// hash of the world after it. An event is one byte of kind and its values: a player's control
// (action, player, whether it carries an argument, the argument's 32 bits), a key the match
// took or let go, or the settings as changed from the console.

constexpr uint16_t DEMO_VERSION = 1;
constexpr int32_t DEMO_MAX_EVENTS = 1024;  // in one tick: far more than any frame's input

enum class DemoEvent : uint8_t { CONTROL = 1, MATCH_KEY_DOWN = 2, MATCH_KEY_UP = 3, SETTINGS = 4 };

// What a console command may change while a demo is recorded.
struct DemoSettings {
    float gravity;
    float walkRates[2];  // framedelay is the first
    int32_t matchSetting;
    int32_t fragLimit;
    float timeLimitMinutes;
};

bool operator==(const DemoSettings &a, const DemoSettings &b);

// A player as far as play changes it; the pictures and sounds are the game's own.
struct DemoPlayer {
    Pose pose;
    uint8_t airborne;
    float horizontalVelocity;
    float jumpVelocity;
    float fallVelocity;
    int32_t currentWeapon;
    uint32_t lastShotTimes[WEAPON_SLOTS];
    int32_t health;
    uint32_t walkFrame;
    float walkTime;
    uint8_t facing;
};

// Everything a replay starts from.
struct DemoWorld {
    DemoSettings settings;
    DemoPlayer players[2];
    WeaponsState weapons;
    MatchSnapshot match;
};

// What the end of a replay is checked against, bit for bit.
struct DemoEnd {
    DemoPlayer players[2];
    int32_t frags[2];
};

struct DemoHeader {
    uint16_t version;
    M_MapName map;
    int16_t cells[M_CELLS];
    uint32_t clockStart;
    DemoWorld world;
};

// One event as written and read.
struct DemoInput {
    DemoEvent kind;
    uint32_t action;  // CONTROL
    int32_t player;   // CONTROL: 1 or 2
    bool hasArgument;
    uint32_t argument;  // CONTROL: the bits of an int32_t or a float
    uint32_t key;       // MATCH_KEY_*
    DemoSettings settings;
};

enum class DemoCheck { GOOD, NOT_A_DEMO, OTHER_VERSION, DAMAGED };

// A whole demo read into memory and checked: its header, its ticks and its end. Ticks are read
// from `bytes` with a DemoTicks cursor.
struct DemoData {
    DemoHeader header;
    uint32_t tickCount;
    DemoEnd end;
    const uint8_t *ticks;  // into the caller's bytes
    size_t ticksSize;
};

// Checks a demo file's bytes: every size, count, kind and index against the bytes there are, and
// the CRC. Fills `demo` only when the answer is GOOD; `*version` gets the file's version when it
// is a demo at all.
DemoCheck DemoParse(const uint8_t *bytes, size_t size, DemoData *demo, uint16_t *version);

// Walks the ticks of a parsed demo in order.
class DemoTicks {
public:
    void Start(const DemoData &demo);
    // The next tick's delta, event count and hash; false after the last tick.
    bool NextTick(uint32_t *delta, int32_t *events, uint32_t *hash);
    // The next event of the current tick; only as many as NextTick said.
    DemoInput NextEvent();
    // The tick's hash follows its events: call after the last event.
    uint32_t TickHash();
    uint32_t TicksRead() const { return ticksRead; }

private:
    const uint8_t *at = nullptr;
    const uint8_t *end = nullptr;
    uint32_t ticksLeft = 0;
    uint32_t ticksRead = 0;
};

// Writes a demo as it is recorded, tick by tick, to an open file it then owns. Allocates
// nothing after Open; the tick count and the CRC are put in place by Close.
class DemoWriter {
public:
    bool Open(FILE *file, const DemoHeader &header);
    void Tick(uint32_t delta, const DemoInput *events, int32_t count, uint32_t hash);
    // Writes the end and the CRC and closes the file; false when anything failed to be written.
    bool Close(const DemoEnd &end);
    // Closes without finishing, for a recording given up.
    void Abandon();
    uint32_t Ticks() const { return ticks; }

private:
    void Put(const uint8_t *bytes, size_t size);
    FILE *file = nullptr;
    uint32_t crc = 0;
    uint32_t ticks = 0;
    bool failed = false;
};

// The bytes of the demo's world and of its end, as the file holds them; also what the tick hash
// is taken over. Returns the number of bytes (at most DEMO_WORLD_BYTES).
constexpr size_t DEMO_WORLD_BYTES = 8192;
size_t DemoEncodeWorld(const DemoWorld &world, uint8_t *out);
size_t DemoEncodeEnd(const DemoEnd &end, uint8_t *out);

// The FNV-1a hash of `size` bytes.
uint32_t DemoHash(const uint8_t *bytes, size_t size);

// The CRC-32 (as zlib's) of `size` bytes, continuing from `crc` (0 to start).
uint32_t DemoCrc(uint32_t crc, const uint8_t *bytes, size_t size);
