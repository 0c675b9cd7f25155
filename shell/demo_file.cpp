#include "shell/demo_file.h"

#include "platform/file.h"

#include <cstring>

namespace {
constexpr uint8_t MAGIC[4] = {'V', 'D', 'E', 'M'};
constexpr size_t PLAYER_BYTES = 82;
constexpr size_t END_BYTES = 2 * PLAYER_BYTES + 8;
constexpr size_t TRAILER_BYTES = 4 + END_BYTES + 4;  // tick count, end, CRC
constexpr size_t SETTINGS_BYTES = 24;
constexpr size_t TICK_HEAD_BYTES = 6;  // delta and event count
constexpr size_t HASH_BYTES = 4;

struct CrcTable {
    uint32_t entries[256];
};

constexpr CrcTable MakeCrcTable()
{
    CrcTable table = {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table.entries[i] = c;
    }
    return table;
}

constexpr CrcTable CRC_TABLE = MakeCrcTable();

// Writes numbers one after another into a buffer the caller made large enough.
struct Out {
    uint8_t *at;

    void U8(uint8_t value) { *at++ = value; }
    void U16(uint16_t value)
    {
        WriteLE16(at, value);
        at += 2;
    }
    void U32(uint32_t value)
    {
        WriteLE32(at, value);
        at += 4;
    }
    void I32(int32_t value) { U32(uint32_t(value)); }
    void F32(float value)
    {
        uint32_t bits = 0;
        memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void F64(double value)
    {
        uint64_t bits = 0;
        memcpy(&bits, &value, sizeof bits);
        U32(uint32_t(bits));
        U32(uint32_t(bits >> 32));
    }
    void Bool(bool value) { U8(value ? 1 : 0); }
};

// Reads numbers one after another; reading past the end, or a value out of its range, marks the
// whole read bad and gives zeros from then on.
struct In {
    const uint8_t *at;
    const uint8_t *end;
    bool good = true;

    bool Take(size_t count)
    {
        if (!good || size_t(end - at) < count) {
            good = false;
            return false;
        }
        return true;
    }
    uint8_t U8()
    {
        if (!Take(1)) {
            return 0;
        }
        return *at++;
    }
    uint16_t U16()
    {
        if (!Take(2)) {
            return 0;
        }
        const uint16_t value = ReadLE16(at);
        at += 2;
        return value;
    }
    uint32_t U32()
    {
        if (!Take(4)) {
            return 0;
        }
        const uint32_t value = ReadLE32(at);
        at += 4;
        return value;
    }
    int32_t I32() { return int32_t(U32()); }
    float F32()
    {
        const uint32_t bits = U32();
        float value = 0.0f;
        memcpy(&value, &bits, sizeof value);
        return value;
    }
    double F64()
    {
        const uint64_t low = U32();
        const uint64_t bits = low | (uint64_t(U32()) << 32);
        double value = 0.0;
        memcpy(&value, &bits, sizeof value);
        return value;
    }
    bool Bool()
    {
        const uint8_t value = U8();
        Check(value <= 1);
        return value == 1;
    }
    // A value the game would index or switch on with: out of range is damage.
    uint32_t Below(uint32_t value, uint32_t bound)
    {
        Check(value < bound);
        return value < bound ? value : 0;
    }
    void Check(bool holds) { good = good && holds; }
};

void PutSettings(Out &out, const DemoSettings &settings)
{
    out.F32(settings.gravity);
    out.F32(settings.walkRates[0]);
    out.F32(settings.walkRates[1]);
    out.I32(settings.matchSetting);
    out.I32(settings.fragLimit);
    out.F32(settings.timeLimitMinutes);
}

DemoSettings GetSettings(In &in)
{
    DemoSettings settings = {};
    settings.gravity = in.F32();
    settings.walkRates[0] = in.F32();
    settings.walkRates[1] = in.F32();
    settings.matchSetting = int32_t(in.Below(in.U32(), 2));
    settings.fragLimit = in.I32();
    settings.timeLimitMinutes = in.F32();
    return settings;
}

void PutPlayer(Out &out, const DemoPlayer &player)
{
    out.F32(player.pose.x);
    out.F32(player.pose.y);
    out.F32(player.pose.angle);
    out.U8(player.airborne);
    out.F32(player.horizontalVelocity);
    out.F32(player.jumpVelocity);
    out.F32(player.fallVelocity);
    out.I32(player.currentWeapon);
    for (const uint32_t time : player.lastShotTimes) {
        out.U32(time);
    }
    out.I32(player.health);
    out.U32(player.walkFrame);
    out.F32(player.walkTime);
    out.U8(player.facing);
}

DemoPlayer GetPlayer(In &in)
{
    DemoPlayer player = {};
    player.pose.x = in.F32();
    player.pose.y = in.F32();
    player.pose.angle = in.F32();
    player.airborne = uint8_t(in.Below(in.U8(), 2));
    player.horizontalVelocity = in.F32();
    player.jumpVelocity = in.F32();
    player.fallVelocity = in.F32();
    // The weapon indexes the per-weapon tables, the frame the animation's textures.
    player.currentWeapon = int32_t(in.Below(in.U32(), WEAPON_SLOTS));
    for (uint32_t &time : player.lastShotTimes) {
        time = in.U32();
    }
    player.health = in.I32();
    player.walkFrame = in.Below(in.U32(), Frame::MAX_FRAMES);
    player.walkTime = in.F32();
    player.facing = uint8_t(in.Below(in.U8(), 2));
    return player;
}

void PutWeapons(Out &out, const WeaponsState &weapons)
{
    for (const Projectile &shot : weapons.projectiles) {
        out.I32(shot.type);
        out.F32(shot.origin.x);
        out.F32(shot.origin.y);
        out.F32(shot.origin.angle);
        out.F32(shot.distance);
        out.F32(shot.life);
        out.F64(shot.opacity);
    }
    out.I32(weapons.healthBeforeExplosion[0]);
    out.I32(weapons.healthBeforeExplosion[1]);
    out.U32(weapons.explosionFrame);
    out.F32(weapons.explosionTime);
    out.U8(weapons.explosionFacing);
}

void GetWeapons(In &in, WeaponsState *weapons)
{
    for (Projectile &shot : weapons->projectiles) {
        shot.type = in.I32();
        shot.origin.x = in.F32();
        shot.origin.y = in.F32();
        shot.origin.angle = in.F32();
        shot.distance = in.F32();
        shot.life = in.F32();
        shot.opacity = in.F64();
    }
    weapons->healthBeforeExplosion[0] = in.I32();
    weapons->healthBeforeExplosion[1] = in.I32();
    weapons->explosionFrame = in.Below(in.U32(), Frame::MAX_FRAMES);
    weapons->explosionTime = in.F32();
    weapons->explosionFacing = uint8_t(in.Below(in.U8(), 2));
}

void PutMatch(Out &out, const MatchSnapshot &match)
{
    const MatchState &state = match.state;
    out.Bool(state.started);
    out.Bool(state.over);
    out.I32(state.winner);
    for (int32_t i = 0; i < 2; ++i) {
        out.I32(state.frags[i]);
        out.Bool(state.dead[i]);
        out.U32(state.deadMs[i]);
        out.I32(state.lastAttacker[i]);
    }
    out.U32(state.playedMs);
    for (const FragLine &line : state.feed) {
        memcpy(out.at, line.text, sizeof line.text);
        out.at += sizeof line.text;
        out.U32(line.ageMs);
    }
    out.Bool(match.keysHeld[0]);
    out.Bool(match.keysHeld[1]);
    for (const bool struck : match.struck) {
        out.Bool(struck);
    }
    out.I32(match.setting);
    out.I32(match.fragLimit);
    out.F32(match.timeLimitMinutes);
}

void GetMatch(In &in, MatchSnapshot *match)
{
    MatchState &state = match->state;
    state.started = in.Bool();
    state.over = in.Bool();
    state.winner = in.I32();
    for (int32_t i = 0; i < 2; ++i) {
        state.frags[i] = in.I32();
        state.dead[i] = in.Bool();
        state.deadMs[i] = in.U32();
        state.lastAttacker[i] = in.I32();
    }
    state.playedMs = in.U32();
    for (FragLine &line : state.feed) {
        if (in.Take(sizeof line.text)) {
            memcpy(line.text, in.at, sizeof line.text);
            in.at += sizeof line.text;
        }
        in.Check(memchr(line.text, '\0', sizeof line.text) != nullptr);  // printed as text
        line.ageMs = in.U32();
    }
    match->keysHeld[0] = in.Bool();
    match->keysHeld[1] = in.Bool();
    for (bool &struck : match->struck) {
        struck = in.Bool();
    }
    match->setting = int32_t(in.Below(in.U32(), 2));
    match->fragLimit = in.I32();
    match->timeLimitMinutes = in.F32();
}

void GetWorld(In &in, DemoWorld *world)
{
    world->settings = GetSettings(in);
    world->players[0] = GetPlayer(in);
    world->players[1] = GetPlayer(in);
    GetWeapons(in, &world->weapons);
    GetMatch(in, &world->match);
}

void GetEnd(In &in, DemoEnd *end)
{
    end->players[0] = GetPlayer(in);
    end->players[1] = GetPlayer(in);
    end->frags[0] = in.I32();
    end->frags[1] = in.I32();
}

void PutEvent(Out &out, const DemoInput &event)
{
    out.U8(uint8_t(event.kind));
    switch (event.kind) {
    case DemoEvent::CONTROL:
        out.U32(event.action);
        out.U8(uint8_t(event.player));
        out.Bool(event.hasArgument);
        out.U32(event.argument);
        break;
    case DemoEvent::MATCH_KEY_DOWN:
    case DemoEvent::MATCH_KEY_UP:
        out.U8(uint8_t(event.key));
        break;
    case DemoEvent::SETTINGS:
        PutSettings(out, event.settings);
        break;
    }
}

DemoInput GetEvent(In &in)
{
    DemoInput event = {};
    const uint8_t kind = in.U8();
    switch (kind) {
    case uint8_t(DemoEvent::CONTROL):
        event.kind = DemoEvent::CONTROL;
        event.action = in.U32();
        event.player = in.U8();
        in.Check(event.player == 1 || event.player == 2);
        event.hasArgument = in.Bool();
        event.argument = in.U32();
        break;
    case uint8_t(DemoEvent::MATCH_KEY_DOWN):
    case uint8_t(DemoEvent::MATCH_KEY_UP):
        event.kind = DemoEvent(kind);
        event.key = in.U8();
        break;
    case uint8_t(DemoEvent::SETTINGS):
        event.kind = DemoEvent::SETTINGS;
        event.settings = GetSettings(in);
        break;
    default:
        in.Check(false);
        break;
    }
    return event;
}

// Walks one tick in `in`, checking it; false at damage.
bool SkipTick(In &in)
{
    in.U32();
    const uint16_t events = in.U16();
    in.Check(events <= DEMO_MAX_EVENTS);
    for (uint16_t i = 0; i < events && in.good; ++i) {
        GetEvent(in);
    }
    in.U32();
    return in.good;
}
}  // namespace

bool operator==(const DemoSettings &a, const DemoSettings &b)
{
    return memcmp(&a.gravity, &b.gravity, sizeof a.gravity) == 0 &&
           memcmp(a.walkRates, b.walkRates, sizeof a.walkRates) == 0 &&
           a.matchSetting == b.matchSetting && a.fragLimit == b.fragLimit &&
           memcmp(&a.timeLimitMinutes, &b.timeLimitMinutes, sizeof a.timeLimitMinutes) == 0;
}

uint32_t DemoCrc(uint32_t crc, const uint8_t *bytes, size_t size)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = CRC_TABLE.entries[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

uint32_t DemoHash(const uint8_t *bytes, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash;
}

size_t DemoEncodeWorld(const DemoWorld &world, uint8_t *out)
{
    Out writer{out};
    PutSettings(writer, world.settings);
    PutPlayer(writer, world.players[0]);
    PutPlayer(writer, world.players[1]);
    PutWeapons(writer, world.weapons);
    PutMatch(writer, world.match);
    return size_t(writer.at - out);
}

size_t DemoEncodeEnd(const DemoEnd &end, uint8_t *out)
{
    Out writer{out};
    PutPlayer(writer, end.players[0]);
    PutPlayer(writer, end.players[1]);
    writer.I32(end.frags[0]);
    writer.I32(end.frags[1]);
    return size_t(writer.at - out);
}

DemoCheck DemoParse(const uint8_t *bytes, size_t size, DemoData *demo, uint16_t *version)
{
    In in{bytes, bytes + size};
    uint8_t magic[sizeof MAGIC] = {};
    for (uint8_t &byte : magic) {
        byte = in.U8();
    }
    if (!in.good || memcmp(magic, MAGIC, sizeof MAGIC) != 0) {
        return DemoCheck::NOT_A_DEMO;
    }
    *version = in.U16();
    if (!in.good) {
        return DemoCheck::DAMAGED;
    }
    if (*version != DEMO_VERSION) {
        return DemoCheck::OTHER_VERSION;
    }
    if (size < TRAILER_BYTES || DemoCrc(0, bytes, size - 4) != ReadLE32(bytes + size - 4)) {
        return DemoCheck::DAMAGED;
    }
    static DemoData read;  // a few kilobytes; demos are read one at a time, never in a frame
    read = DemoData{};
    read.header.version = *version;
    const uint8_t nameLength = in.U8();
    char name[M_NAME_MAX + 1] = {};
    in.Check(nameLength >= 1 && nameLength <= M_NAME_MAX);
    for (uint8_t i = 0; i < nameLength && in.good; ++i) {
        name[i] = char(in.U8());
    }
    // Written without ".vsm", as M_CheckMapName gives it back.
    in.Check(in.good && strlen(name) == nameLength && M_CheckMapName(name, &read.header.map) &&
             strcmp(name, read.header.map.text) == 0);
    for (int16_t &cell : read.header.cells) {
        cell = int16_t(in.U16());
    }
    read.header.clockStart = in.U32();
    GetWorld(in, &read.header.world);
    if (!in.good || size_t(in.end - in.at) < TRAILER_BYTES) {
        return DemoCheck::DAMAGED;
    }
    const uint8_t *const ticks = in.at;
    In walk{ticks, bytes + size - TRAILER_BYTES};
    uint32_t count = 0;
    while (walk.good && walk.at < walk.end) {
        SkipTick(walk);
        ++count;
    }
    In trailer{bytes + size - TRAILER_BYTES, bytes + size};
    const uint32_t stated = trailer.U32();
    GetEnd(trailer, &read.end);
    if (!walk.good || walk.at != walk.end || !trailer.good || stated != count) {
        return DemoCheck::DAMAGED;
    }
    read.tickCount = count;
    read.ticks = ticks;
    read.ticksSize = size_t(walk.end - ticks);
    *demo = read;
    return DemoCheck::GOOD;
}

void DemoTicks::Start(const DemoData &demo)
{
    at = demo.ticks;
    end = demo.ticks + demo.ticksSize;
    ticksLeft = demo.tickCount;
    ticksRead = 0;
}

bool DemoTicks::NextTick(uint32_t *delta, int32_t *events, uint32_t *hash)
{
    if (ticksLeft == 0) {
        return false;
    }
    In in{at, end};
    *delta = in.U32();
    *events = in.U16();
    at = in.at;
    // The hash sits after the events: find it without taking them.
    In skip{at, end};
    for (int32_t i = 0; i < *events; ++i) {
        GetEvent(skip);
    }
    *hash = skip.U32();
    --ticksLeft;
    ++ticksRead;
    return true;
}

DemoInput DemoTicks::NextEvent()
{
    In in{at, end};
    const DemoInput event = GetEvent(in);
    at = in.at;
    return event;
}

uint32_t DemoTicks::TickHash()
{
    In in{at, end};
    const uint32_t hash = in.U32();
    at = in.at;
    return hash;
}

bool DemoWriter::Open(FILE *out, const DemoHeader &header)
{
    file = out;
    crc = 0;
    ticks = 0;
    failed = false;
    static uint8_t bytes[64 + 2 * M_CELLS + DEMO_WORLD_BYTES];  // start-up of a recording only
    Out writer{bytes};
    for (const uint8_t byte : MAGIC) {
        writer.U8(byte);
    }
    writer.U16(DEMO_VERSION);
    const size_t nameLength = strlen(header.map.text);
    writer.U8(uint8_t(nameLength));
    memcpy(writer.at, header.map.text, nameLength);
    writer.at += nameLength;
    for (const int16_t cell : header.cells) {
        writer.U16(uint16_t(cell));
    }
    writer.U32(header.clockStart);
    writer.at += DemoEncodeWorld(header.world, writer.at);
    Put(bytes, size_t(writer.at - bytes));
    return !failed;
}

void DemoWriter::Tick(uint32_t delta, const DemoInput *events, int32_t count, uint32_t hash)
{
    uint8_t bytes[TICK_HEAD_BYTES];
    Out head{bytes};
    head.U32(delta);
    head.U16(uint16_t(count));
    Put(bytes, sizeof bytes);
    for (int32_t i = 0; i < count; ++i) {
        uint8_t event[1 + SETTINGS_BYTES];
        Out writer{event};
        PutEvent(writer, events[i]);
        Put(event, size_t(writer.at - event));
    }
    uint8_t tail[HASH_BYTES];
    WriteLE32(tail, hash);
    Put(tail, sizeof tail);
    ++ticks;
}

bool DemoWriter::Close(const DemoEnd &end)
{
    uint8_t bytes[4 + END_BYTES];
    WriteLE32(bytes, ticks);
    const size_t endSize = DemoEncodeEnd(end, bytes + 4);
    Put(bytes, 4 + endSize);
    uint8_t tail[4];
    WriteLE32(tail, crc);
    Put(tail, sizeof tail);
    FilePtr owned(file);
    file = nullptr;
    return P_FinishWriting(owned) && !failed;
}

void DemoWriter::Abandon()
{
    if (file != nullptr) {
        fclose(file);
        file = nullptr;
    }
}

void DemoWriter::Put(const uint8_t *bytes, size_t size)
{
    crc = DemoCrc(crc, bytes, size);
    if (file == nullptr || fwrite(bytes, 1, size, file) != size) {
        failed = true;
    }
}
