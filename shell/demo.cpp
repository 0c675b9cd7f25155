#include "shell/demo.h"

#include "console/console.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "input/bindings.h"
#include "menu/menu.h"
#include "platform/events.h"
#include "platform/file.h"
#include "shell/map_commands.h"
#include "world/map.h"
#include "world/static_layers.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {
constexpr char DEMO_FOLDER[] = "basev2/demos";
constexpr long MAX_DEMO_BYTES = 1L << 28;  // hours of play; larger is no demo of ours
constexpr size_t PATH_SIZE = 64;           // the folder, a name of at most 24 letters and ".dem"

enum class Mode : uint8_t { IDLE, RECORDING, PLAYING, HOLDING };

Mode mode = Mode::IDLE;
uint32_t demoClock = 0;  // the reload clock while a demo records or plays: it runs on frames

// Recording.
DemoWriter writer;
char recordPath[PATH_SIZE];
DemoInput pending[DEMO_MAX_EVENTS];  // the controls since the last frame
int32_t pendingCount = 0;
bool overflowed = false;
bool tickOpen = false;
uint32_t tickDelta = 0;
DemoSettings lastSettings;
DemoEnd lastEnd;  // the world the last recorded frame left: what a replay must end on

// Replaying.
std::vector<uint8_t> replayBytes;
DemoData replay;
DemoTicks ticks;
char replayPath[PATH_SIZE];
bool timed = false;
bool stopAsked = false;
bool lastTick = false;
uint32_t expectedHash = 0;
uint32_t firstDifference = 0;  // the first tick whose world differed, counted from 1; 0 none
uint32_t savedInterval = 0;
std::chrono::steady_clock::time_point timedStart;
bool timing = false;
DemoWorld before;  // the world the replay put aside, given back at its end
M_MapName mapBefore;
bool mapChanged = false;
W_ViewCopy heldView = {0, 0, 0, 0};
bool viewHeld = false;

uint8_t worldBytes[DEMO_WORLD_BYTES];  // a frame's world, hashed: too large for every frame's stack

uint32_t DemoClock() { return demoClock; }

DemoSettings CurrentSettings()
{
    const MatchSettings match = CurrentMatchSettings();
    return DemoSettings{gravity,
                        {players[0].walk.rate, players[1].walk.rate},
                        match.setting,
                        match.fragLimit,
                        match.timeLimitMinutes};
}

void ApplySettings(const DemoSettings &settings)
{
    gravity = settings.gravity;
    players[0].walk.SetRate(settings.walkRates[0]);
    players[1].walk.SetRate(settings.walkRates[1]);
    SetMatchSettings(
        MatchSettings{settings.matchSetting, settings.fragLimit, settings.timeLimitMinutes});
}

DemoPlayer ReadPlayer(const Player &player)
{
    DemoPlayer out = {};
    out.pose = player.pose;
    out.airborne = player.airborne;
    out.horizontalVelocity = player.horizontalVelocity;
    out.jumpVelocity = player.jumpVelocity;
    out.fallVelocity = player.fallVelocity;
    out.currentWeapon = player.currentWeapon;
    memcpy(out.lastShotTimes, player.lastShotTimes, sizeof out.lastShotTimes);
    out.health = player.health;
    out.walkFrame = player.walk.currentFrame;
    out.walkTime = player.walk.accumulatedTime;
    out.facing = player.walk.facing;
    return out;
}

void WritePlayer(const DemoPlayer &in, Player &player)
{
    player.pose = in.pose;
    player.airborne = in.airborne;
    player.horizontalVelocity = in.horizontalVelocity;
    player.jumpVelocity = in.jumpVelocity;
    player.fallVelocity = in.fallVelocity;
    player.currentWeapon = in.currentWeapon;
    memcpy(player.lastShotTimes, in.lastShotTimes, sizeof player.lastShotTimes);
    player.health = in.health;
    player.walk.currentFrame = in.walkFrame;
    player.walk.accumulatedTime = in.walkTime;
    player.walk.facing = in.facing;
}

uint32_t WorldHash()
{
    static DemoWorld world;
    ReadDemoWorld(&world);
    return DemoHash(worldBytes, DemoEncodeWorld(world, worldBytes));
}

bool SameEnd(const DemoEnd &a, const DemoEnd &b)
{
    uint8_t first[DEMO_WORLD_BYTES / 8];
    uint8_t second[DEMO_WORLD_BYTES / 8];
    const size_t size = DemoEncodeEnd(a, first);
    return size == DemoEncodeEnd(b, second) && memcmp(first, second, size) == 0;
}

void AddEvent(const DemoInput &event)
{
    if (pendingCount == DEMO_MAX_EVENTS) {
        overflowed = true;  // ends the recording at the next frame: a lost control breaks it
        return;
    }
    pending[pendingCount++] = event;
}

void RecordControl(uint32_t action, int32_t player, const void *argument)
{
    DemoInput event = {};
    event.kind = DemoEvent::CONTROL;
    event.action = action;
    event.player = player == 1 ? 1 : 2;  // as PlayerControl tells the two apart
    event.hasArgument = argument != nullptr;
    if (argument != nullptr) {
        memcpy(&event.argument, argument, sizeof event.argument);
    }
    AddEvent(event);
}

// basev2/demos/NAME.dem for a checked name; false after one line.
bool DemoPath(const char *given, char *path)
{
    M_MapName name;
    if (!M_CheckMapName(given, &name)) {
        char line[C_LINE_SIZE];
        snprintf(line, sizeof line, "Bad demo name \"%.24s\": up to %d letters, digits, _ and -\n",
                 given, int(M_NAME_MAX));
        C_Print(line, nullptr);
        return false;
    }
    snprintf(path, PATH_SIZE, "%s/%s.dem", DEMO_FOLDER, name.text);
    return true;
}

bool Argument(char *path)
{
    const C_ArgText argument = C_Arg();
    char name[C_LINE_SIZE];
    if (sscanf(argument.text, "%84s", name) != 1) {
        C_Print("Cannot find argument!\n", nullptr);
        return false;
    }
    return DemoPath(name, path);
}

// Gives back the world, the map and the clock the replay put aside.
void EndReplay()
{
    if (mapChanged) {
        ChangeMap(mapBefore.text);
        mapChanged = false;
    }
    WriteDemoWorld(before);
    SetReloadClock(nullptr);
    if (timed && timing) {
        P_SetFrameInterval(savedInterval);
    }
    timing = false;
    viewHeld = false;
    replayBytes.clear();
    replayBytes.shrink_to_fit();
    mode = Mode::IDLE;
}

void PrintTimedemo()
{
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - timedStart).count();
    const uint32_t frames = ticks.TicksRead();
    char line[C_LINE_SIZE];
    snprintf(line, sizeof line, "%u frames, %.1f seconds: %.1f fps\n", frames, seconds,
             seconds > 0.0 ? double(frames) / seconds : 0.0);
    C_Print(line, nullptr);
}

// The replay has shown its last frame: it now holds it.
void Hold()
{
    mode = Mode::HOLDING;
    char line[C_LINE_SIZE];
    if (timed) {
        if (timing) {
            P_SetFrameInterval(savedInterval);
            timing = false;
        }
        PrintTimedemo();
    } else if (ticks.TicksRead() < replay.tickCount) {
        snprintf(line, sizeof line,
                 "Demo stopped at frame %u of %u: paused, Escape returns to the menu\n",
                 ticks.TicksRead(), replay.tickCount);
        C_Print(line, nullptr);
    } else {
        C_Print("Demo ended: paused on its last frame, Escape returns to the menu\n", nullptr);
    }
    if (firstDifference != 0) {
        snprintf(line, sizeof line, "Demo differs from its recording from frame %u on\n",
                 firstDifference);
        C_Print(line, nullptr);
    }
}

void ApplyEvent(const DemoInput &event)
{
    switch (event.kind) {
    case DemoEvent::CONTROL:
        PlayerControl(event.action, event.player, event.hasArgument ? &event.argument : nullptr);
        break;
    case DemoEvent::MATCH_KEY_DOWN:
        MatchKeyDown(event.key);
        break;
    case DemoEvent::MATCH_KEY_UP:
        MatchKeyUp(event.key);
        break;
    case DemoEvent::SETTINGS:
        ApplySettings(event.settings);
        break;
    }
}

DemoFrame RecordFrame(uint32_t delta, bool worldShown)
{
    if (!worldShown || overflowed) {
        if (overflowed) {
            C_Print("Too many controls in one frame to record: recording ended\n", nullptr);
        }
        StopRecording();
        return DemoFrame{delta, false, false};
    }
    const DemoSettings now = CurrentSettings();
    if (!(now == lastSettings)) {
        DemoInput event = {};
        event.kind = DemoEvent::SETTINGS;
        event.settings = now;
        AddEvent(event);
        lastSettings = now;
    }
    tickDelta = delta;
    demoClock += delta;
    tickOpen = true;
    return DemoFrame{delta, false, false};
}

DemoFrame ReplayFrame(uint32_t delta)
{
    uint32_t recorded = 0;
    int32_t events = 0;
    if (!ticks.NextTick(&recorded, &events, &expectedHash)) {
        Hold();
        return DemoFrame{delta, true, false};
    }
    if (timed && !timing) {
        timedStart = std::chrono::steady_clock::now();
        timing = true;
    }
    for (int32_t i = 0; i < events; ++i) {
        ApplyEvent(ticks.NextEvent());
    }
    ticks.TickHash();
    demoClock += recorded;
    lastTick = stopAsked || ticks.TicksRead() == replay.tickCount;
    return DemoFrame{recorded, false, lastTick};
}

void Record()
{
    char path[PATH_SIZE];
    if (Argument(path)) {
        StartRecording(path);
    }
}

void StopRecordCommand()
{
    if (!StopRecording()) {
        C_Print("Not recording.\n", nullptr);
    }
}

void Play(bool playTimed)
{
    char path[PATH_SIZE];
    if (Argument(path)) {
        StartReplay(path, playTimed);
    }
}

void PlayDemo() { Play(false); }

void PlayTimedemo() { Play(true); }
}  // namespace

void RegisterDemoCommands()
{
    C_AddCommand("record", Record, nullptr);
    C_AddCommand("stoprecord", StopRecordCommand, nullptr);
    C_AddCommand("demo", PlayDemo, nullptr);
    C_AddCommand("timedemo", PlayTimedemo, nullptr);
}

void ReadDemoWorld(DemoWorld *world)
{
    world->settings = CurrentSettings();
    world->players[0] = ReadPlayer(players[0]);
    world->players[1] = ReadPlayer(players[1]);
    SaveWeapons(&world->weapons);
    SaveMatch(&world->match);
}

void WriteDemoWorld(const DemoWorld &world)
{
    WritePlayer(world.players[0], players[0]);
    WritePlayer(world.players[1], players[1]);
    RestoreWeapons(world.weapons);
    RestoreMatch(world.match);
    ApplySettings(world.settings);
}

DemoEnd ReadDemoEnd()
{
    const MatchState &match = CurrentMatch();
    return DemoEnd{{ReadPlayer(players[0]), ReadPlayer(players[1])},
                   {match.frags[0], match.frags[1]}};
}

bool StartRecording(const char *path)
{
    if (mode == Mode::PLAYING || mode == Mode::HOLDING) {
        C_Print("Cannot record while a demo plays.\n", nullptr);
        return false;
    }
    if (mainMenu.visible) {
        C_Print("Cannot record on the menu: play first.\n", nullptr);
        return false;
    }
    StopRecording();
    const int16_t *const cells = M_GetCells();
    if (cells == nullptr) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(DEMO_FOLDER, error);
    FILE *const file = fopen(path, "wb");
    static DemoHeader header;  // kilobytes, and needed only here
    header = DemoHeader{};
    header.version = DEMO_VERSION;
    M_CheckMapName(MapInPlay(), &header.map);
    memcpy(header.cells, cells, sizeof header.cells);
    header.clockStart = ReloadClockNow();
    ReadDemoWorld(&header.world);
    if (file == nullptr || !writer.Open(file, header)) {
        if (file != nullptr) {
            writer.Abandon();
        }
        C_Print("Cannot write ", path, "\n", nullptr);
        return false;
    }
    snprintf(recordPath, sizeof recordPath, "%s", path);
    demoClock = header.clockStart;
    SetReloadClock(DemoClock);
    pendingCount = 0;
    overflowed = false;
    tickOpen = false;
    lastSettings = header.world.settings;
    lastEnd = ReadDemoEnd();
    SetControlHook(RecordControl);
    mode = Mode::RECORDING;
    C_Print("Recording ", path, "\n", nullptr);
    return true;
}

bool StopRecording()
{
    if (mode != Mode::RECORDING) {
        return false;
    }
    // A frame begun but not finished, and the controls after the last frame, are left out: the
    // replay ends on the world the last recorded frame left.
    SetControlHook(nullptr);
    SetReloadClock(nullptr);
    mode = Mode::IDLE;
    char frames[16];
    snprintf(frames, sizeof frames, "%u", writer.Ticks());
    if (writer.Close(lastEnd)) {
        C_Print("Recorded ", frames, " frames into ", recordPath, "\n", nullptr);
    } else {
        C_Print("Cannot write ", recordPath, "\n", nullptr);
    }
    return true;
}

bool StartReplay(const char *path, bool playTimed)
{
    StopRecording();
    if (mode != Mode::IDLE) {
        EndReplay();
    }
    std::vector<uint8_t> bytes;
    if (P_ReadWholeFile(path, MAX_DEMO_BYTES, &bytes) != P_FileRead::READ) {
        C_Print("Cannot open ", path, "\n", nullptr);
        return false;
    }
    uint16_t version = 0;
    static DemoData parsed;
    switch (DemoParse(bytes.data(), bytes.size(), &parsed, &version)) {
    case DemoCheck::GOOD:
        break;
    case DemoCheck::OTHER_VERSION: {
        char versions[48];
        snprintf(versions, sizeof versions, "%u; this game plays version %u\n", unsigned(version),
                 unsigned(DEMO_VERSION));
        C_Print(path, " is a demo of version ", versions, nullptr);
        return false;
    }
    case DemoCheck::NOT_A_DEMO:
        C_Print(path, " is not a demo\n", nullptr);
        return false;
    case DemoCheck::DAMAGED:
        C_Print(path, " is damaged\n", nullptr);
        return false;
    }
    ReadDemoWorld(&before);
    M_CheckMapName(MapInPlay(), &mapBefore);
    mapChanged = false;
    const int16_t *cells = M_GetCells();
    const size_t cellBytes = sizeof parsed.header.cells;
    if (cells == nullptr || memcmp(cells, parsed.header.cells, cellBytes) != 0) {
        mapChanged = ChangeMap(parsed.header.map.text);
        cells = M_GetCells();
        if (cells == nullptr || memcmp(cells, parsed.header.cells, cellBytes) != 0) {
            C_Print(path, " was recorded on map ", parsed.header.map.text,
                    ", which is not here as it was\n", nullptr);
            if (mapChanged) {
                ChangeMap(mapBefore.text);
                WriteDemoWorld(before);
            }
            return false;
        }
    }
    // The parse points into the bytes, which move into their keeping place: point it again.
    const size_t ticksAt = size_t(parsed.ticks - bytes.data());
    replayBytes.swap(bytes);
    replay = parsed;
    replay.ticks = replayBytes.data() + ticksAt;
    snprintf(replayPath, sizeof replayPath, "%s", path);
    WriteDemoWorld(parsed.header.world);
    demoClock = parsed.header.clockStart;
    SetReloadClock(DemoClock);
    ticks.Start(replay);
    timed = playTimed;
    timing = false;
    stopAsked = false;
    lastTick = false;
    firstDifference = 0;
    viewHeld = false;
    if (timed) {
        savedInterval = P_FrameInterval();
        P_SetFrameInterval(0);
        timing = false;
    }
    mainMenu.visible = false;
    ReleaseHeldKeys();  // a key held now would act again once the replay is over
    mode = Mode::PLAYING;
    return true;
}

DemoFrame DemoFrameStart(uint32_t delta, bool worldShown)
{
    switch (mode) {
    case Mode::RECORDING:
        return RecordFrame(delta, worldShown);
    case Mode::PLAYING:
        return ReplayFrame(delta);
    case Mode::HOLDING:
        return DemoFrame{delta, true, false};
    case Mode::IDLE:
        break;
    }
    return DemoFrame{delta, false, false};
}

void DemoFrameEnd()
{
    if (mode == Mode::RECORDING && tickOpen) {
        writer.Tick(tickDelta, pending, pendingCount, WorldHash());
        pendingCount = 0;
        tickOpen = false;
        lastEnd = ReadDemoEnd();
        return;
    }
    if (mode != Mode::PLAYING) {
        return;
    }
    if (WorldHash() != expectedHash && firstDifference == 0) {
        firstDifference = ticks.TicksRead();
    }
    if (!lastTick) {
        return;
    }
    if (ticks.TicksRead() == replay.tickCount && !SameEnd(ReadDemoEnd(), replay.end) &&
        firstDifference == 0) {
        firstDifference = ticks.TicksRead();
    }
    Hold();
}

void DemoKeepView() { viewHeld = W_KeepView(&heldView); }

void DemoShowView()
{
    if (viewHeld) {
        W_ShowView(heldView);
    }
}

bool DemoActive() { return mode == Mode::PLAYING || mode == Mode::HOLDING; }

bool DemoPlaying() { return mode == Mode::PLAYING; }

bool DemoEscape()
{
    if (mode == Mode::PLAYING) {
        stopAsked = true;  // the next frame is the last: it is drawn whole and held
        return false;
    }
    if (mode == Mode::HOLDING) {
        EndReplay();
        return true;
    }
    return false;
}

void DemoNoteMatchKey(bool down, uint32_t key)
{
    if (mode != Mode::RECORDING) {
        return;
    }
    DemoInput event = {};
    event.kind = down ? DemoEvent::MATCH_KEY_DOWN : DemoEvent::MATCH_KEY_UP;
    event.key = key & 0xFF;
    AddEvent(event);
}

void StopDemos()
{
    StopRecording();
    if (DemoActive()) {
        SetReloadClock(nullptr);
        mode = Mode::IDLE;
    }
}

void DemoMapChanging()
{
    if (mode == Mode::RECORDING) {
        StopRecording();
    }
}
