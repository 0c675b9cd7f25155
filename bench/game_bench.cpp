// The game with what measuring it needs and the game itself lacks: frame pacing switched off on
// request, a clock on every presented frame, heap-allocation counts and a world kept busy with
// projectiles. It runs the game's own WinMain; run-bench drives it with real input.
//
//   Vorn2Bench frame-cost SECONDS OUT   pacing off, world with the console open
//   Vorn2Bench play SECONDS OUT [DEMO]  pacing on, whatever play the input brings; the measured
//                                       play recorded into basev2/demos/DEMO.dem
//   Vorn2Bench timedemo DEMO OUT        the game's timedemo of basev2/demos/DEMO.dem
//   Vorn2Record record OUT              the OpenGL calls of the menu, play and world frames
//   Vorn2Record timedemo DEMO OUT       those of every few frames of DEMO's timedemo, the
//                                       drawn in full, named td-0000, td-0001 and so on

#include "bench/alloc_count.h"
#include "bench/frame_log.h"
#include "console/drop_down.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "menu/menu.h"
#include "platform/events.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/demo.h"
#include "shell/frame_shortcuts.h"
#include "shell/game.h"

#ifdef VORN_BENCH_RECORDER
#include "bench/gl_record.h"
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
constexpr int32_t PROJECTILES_IN_FLIGHT = 20;
constexpr double WARM_UP_SECONDS = 1.0;  // lets the music, textures and caches settle
constexpr double RECORD_SETTLE_SECONDS = 0.5;
constexpr int32_t RECORD_MENU_AFTER_FRAMES = 20;

enum class Mode { FRAME_COST, PLAY, TIMEDEMO, RECORD, RECORD_TIMEDEMO };
enum class Phase { WAITING, WARMING, MEASURING };

Mode mode = Mode::PLAY;
double measureSeconds = 0.0;
const char *outPath = nullptr;
char demoPath[64] = "";  // empty: no demo

Phase phase = Phase::WAITING;
double warmUpStart = 0.0;
int64_t projectilesSeen = 0;
int32_t shotCount = 0;

double Seconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

int32_t ProjectilesInFlight()
{
    int32_t live = 0;
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        live += GetProjectile(slot).type != 0;
    }
    return live;
}

// Both players fire rockets and plasma in turn, fanned upwards so the shots cross the arena.
void KeepProjectilesFlying()
{
    for (int32_t live = ProjectilesInFlight(); live < PROJECTILES_IN_FLIGHT; ++live) {
        Player &shooter = players[shotCount % 2];
        const int32_t weapon = (shotCount / 2) % 2 == 0 ? WEAPON_ROCKET : WEAPON_PLASMA;
        const float rise = 0.2f + 0.1f * float(shotCount % 5);
        const Pose aim = shooter.pose;
        const int32_t held = shooter.currentWeapon;
        shooter.pose.angle = shotCount % 2 == 0 ? rise : 3.1415927f - rise;
        shooter.currentWeapon = weapon;
        shooter.lastShotTimes[weapon] = P_Ticks() - ReloadTime(weapon) - 1;
        Fire(shooter);
        shooter.pose = aim;
        shooter.currentWeapon = held;
        ++shotCount;
    }
}

bool ConsoleFullyOpen() { return C_IsOpen() && C_Position() <= 0.0; }

bool ReadyToMeasure()
{
    if (mainMenu.visible) {
        return false;
    }
    return mode == Mode::FRAME_COST ? ConsoleFullyOpen() : true;
}

[[noreturn]] void Finish()
{
    StopRecording();  // the demo of the measured play, when one is made
    FILE *const out = fopen(outPath, "w");
    if (out == nullptr) {
        fprintf(stderr, "Vorn2Bench: cannot write %s\n", outPath);
        _exit(1);
    }
    fprintf(out, "projectiles %.3f\n", double(projectilesSeen) / double(FrameLogFrames()));
    FrameLogWrite(out);
    fclose(out);
    // The measurement is over: leave without the game's shut-down, whose log would only add noise.
    _exit(0);
}

#ifdef VORN_BENCH_RECORDER
int32_t recordStep = 0;  // 0 menu, 1 play, 2 world, 3 done
int32_t menuFrames = 0;
double worldSince = 0.0;
double openSince = 0.0;

// Menu first, then the world with the console shut, then with it fully open; then the file.
// Each recorded frame is announced on stdout, which run-bench waits for before its next step.
void RecordStep(double now)
{
    static const char *const STEP_NAMES[] = {"menu", "play", "world"};
    if (GlRecordFramePresented()) {
        printf("recorded %s\n", STEP_NAMES[recordStep]);
        fflush(stdout);
        ++recordStep;
    }
    if (recordStep == 3) {
        if (!GlRecordWrite(outPath)) {
            fprintf(stderr, "Vorn2Record: cannot write %s\n", outPath);
            _exit(1);
        }
        _exit(0);
    }
    if (recordStep == 0 && mainMenu.visible && ++menuFrames == RECORD_MENU_AFTER_FRAMES) {
        GlRecordNextFrame(STEP_NAMES[0]);
    }
    if (mainMenu.visible) {
        return;
    }
    worldSince = worldSince > 0.0 ? worldSince : now;
    openSince = ConsoleFullyOpen() ? (openSince > 0.0 ? openSince : now) : 0.0;
    if (recordStep == 1 && !C_IsOpen() && now - worldSince >= RECORD_SETTLE_SECONDS) {
        GlRecordNextFrame(STEP_NAMES[1]);
    }
    if (recordStep == 2 && openSince > 0.0 && now - openSince >= RECORD_SETTLE_SECONDS) {
        GlRecordNextFrame(STEP_NAMES[2]);
    }
}

constexpr int32_t TIMEDEMO_FRAME_STEP = 25;  // a minute's 6,000 frames: some 240 recorded
constexpr int32_t TIMEDEMO_NAMES = 2000;
char timedemoNames[TIMEDEMO_NAMES][16];
int32_t timedemoFrames = 0;

// Every TIMEDEMO_FRAME_STEP-th frame of the replay is recorded under a name of its own.
void RecordTimedemoStep()
{
    GlRecordFramePresented();
    if (!DemoPlaying()) {
        if (timedemoFrames == 0) {
            return;  // not begun
        }
        if (!GlRecordWrite(outPath)) {
            fprintf(stderr, "Vorn2Record: cannot write %s\n", outPath);
            _exit(1);
        }
        _exit(0);
    }
    const int32_t frame = timedemoFrames++;
    const int32_t kept = frame / TIMEDEMO_FRAME_STEP;
    if (frame % TIMEDEMO_FRAME_STEP == 0 && kept < TIMEDEMO_NAMES) {
        snprintf(timedemoNames[kept], sizeof timedemoNames[kept], "td-%04d", int(kept));
        GlRecordNextFrame(timedemoNames[kept]);
    }
}
#endif

bool KeepsProjectilesFlying()
{
#ifdef VORN_BENCH_RECORDER
    // The play frame is taken as play looks most of the time: with next to no shots.
    if (mode == Mode::RECORD) {
        return recordStep >= 2;
    }
#endif
    return mode == Mode::FRAME_COST;
}

void Measure(double now)
{
    switch (phase) {
    case Phase::WAITING:
        if (ReadyToMeasure()) {
            phase = Phase::WARMING;
            warmUpStart = now;
            // Started here, so that opening the file is no allocation of a measured frame.
            if (demoPath[0] != '\0' && !StartRecording(demoPath)) {
                fprintf(stderr, "Vorn2Bench: cannot record %s\n", demoPath);
                _exit(1);
            }
        }
        break;
    case Phase::WARMING:
        if (now - warmUpStart >= WARM_UP_SECONDS) {
            phase = Phase::MEASURING;
            FrameLogStart(now);
        }
        break;
    case Phase::MEASURING:
        FrameLogPresent(now);
        projectilesSeen += ProjectilesInFlight();  // those that lasted the whole frame
        if (FrameLogSeconds() >= measureSeconds) {
            Finish();
        }
        break;
    }
}

bool timedemoStarted = false;

// The timedemo starts on the menu's first frame, once the start-up is over, as a player would
// start it.
void StartTimedemo()
{
    timedemoStarted = true;
    if (!StartReplay(demoPath, true)) {
        fprintf(stderr, "cannot replay %s\n", demoPath);
        _exit(1);
    }
}

// The game's own timedemo, timed from its first frame to its last.
void MeasureTimedemo(double now)
{
    if (DemoPlaying()) {
        if (phase == Phase::WAITING) {
            phase = Phase::MEASURING;
            FrameLogStart(now);
        } else {
            FrameLogPresent(now);
        }
        return;
    }
    if (phase == Phase::MEASURING) {
        Finish();
    }
}

void OnPresent()
{
    const double now = Seconds();
    if ((mode == Mode::TIMEDEMO || mode == Mode::RECORD_TIMEDEMO) && !timedemoStarted) {
        StartTimedemo();
        return;
    }
    if (mode == Mode::TIMEDEMO) {
        MeasureTimedemo(now);
        return;
    }
#ifdef VORN_BENCH_RECORDER
    if (mode == Mode::RECORD) {
        RecordStep(now);
    } else if (mode == Mode::RECORD_TIMEDEMO) {
        RecordTimedemoStep();
    } else {
        Measure(now);
    }
#else
    Measure(now);
#endif
    // Topped up for the next frame, after this one's count.
    if (KeepsProjectilesFlying() && !mainMenu.visible) {
        KeepProjectilesFlying();
    }
}

// The reference replays every frame drawn in full, not the game's shortcuts through them.
void DrawEveryFrameInFull() { SetFrameShortcuts(false); }

int Usage(const char *program)
{
    fprintf(stderr,
            "usage: %s frame-cost SECONDS OUT | play SECONDS OUT [DEMO] | timedemo DEMO OUT"
#ifdef VORN_BENCH_RECORDER
            " | record OUT | timedemo DEMO OUT"
#endif
            "\n",
            program);
    return 2;
}
}  // namespace

bool DemoArgument(const char *name)
{
    return snprintf(demoPath, sizeof demoPath, "basev2/demos/%s.dem", name) < int(sizeof demoPath);
}

int main(int argc, char **argv)
{
    if ((argc == 4 || (argc == 5 && strcmp(argv[1], "play") == 0)) &&
        (strcmp(argv[1], "frame-cost") == 0 || strcmp(argv[1], "play") == 0)) {
        mode = strcmp(argv[1], "play") == 0 ? Mode::PLAY : Mode::FRAME_COST;
        measureSeconds = atof(argv[2]);
        outPath = argv[3];
        if (argc == 5 && !DemoArgument(argv[4])) {
            return Usage(argv[0]);
        }
    } else if (argc == 4 && strcmp(argv[1], "timedemo") == 0) {
#ifdef VORN_BENCH_RECORDER
        mode = Mode::RECORD_TIMEDEMO;
#else
        mode = Mode::TIMEDEMO;
#endif
        measureSeconds = 1.0;
        outPath = argv[3];
        if (!DemoArgument(argv[2])) {
            return Usage(argv[0]);
        }
#ifdef VORN_BENCH_RECORDER
    } else if (argc == 3 && strcmp(argv[1], "record") == 0) {
        mode = Mode::RECORD;
        outPath = argv[2];
#endif
    } else {
        return Usage(argv[0]);
    }
    if (!(measureSeconds > 0.0) && mode != Mode::RECORD) {
        return Usage(argv[0]);
    }
    if (mode == Mode::FRAME_COST) {
        P_SetFrameInterval(0);
    }
    AllocCountThisThread();
    P_SetPresentHook(OnPresent);
    const bool inFull = mode == Mode::RECORD || mode == Mode::RECORD_TIMEDEMO;
    return WinMain(inFull ? DrawEveryFrameInFull : nullptr);
}
