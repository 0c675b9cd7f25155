// DemoParse over arbitrary bytes, once as they come (nearly always refused by the CRC) and once
// sealed with a CRC of their own, so the checks of the structure are reached. What is taken must
// hold only values the game can use, and must be written back by DemoWriter byte for byte.
#include "platform/file.h"
#include "shell/demo_file.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
void CheckPlayer(const DemoPlayer &player)
{
    if (player.currentWeapon < 0 || player.currentWeapon >= WEAPON_SLOTS ||
        player.walkFrame >= Frame::MAX_FRAMES || player.facing > 1 || player.airborne > 1) {
        abort();
    }
}

void Check(const uint8_t *data, size_t size)
{
    static DemoData demo;
    uint16_t version = 0;
    const DemoCheck check = DemoParse(data, size, &demo, &version);
    if (check == DemoCheck::OTHER_VERSION && version == DEMO_VERSION) {
        abort();
    }
    if (check != DemoCheck::GOOD) {
        return;
    }
    const DemoWorld &world = demo.header.world;
    CheckPlayer(world.players[0]);
    CheckPlayer(world.players[1]);
    CheckPlayer(demo.end.players[0]);
    CheckPlayer(demo.end.players[1]);
    if (world.weapons.explosionFrame >= Frame::MAX_FRAMES || world.match.setting > 1 ||
        world.match.setting < 0) {
        abort();
    }
    for (const FragLine &line : world.match.state.feed) {
        if (memchr(line.text, '\0', sizeof line.text) == nullptr) {
            abort();
        }
    }
    TouchBytes(demo.ticks, demo.ticksSize);

    char *written = nullptr;
    size_t writtenSize = 0;
    FILE *const file = open_memstream(&written, &writtenSize);
    if (file == nullptr) {
        abort();
    }
    DemoWriter writer;
    writer.Open(file, demo.header);
    DemoTicks ticks;
    ticks.Start(demo);
    uint32_t delta = 0;
    int32_t count = 0;
    uint32_t hash = 0;
    std::vector<DemoInput> events;
    while (ticks.NextTick(&delta, &count, &hash)) {
        if (count < 0 || count > DEMO_MAX_EVENTS) {
            abort();
        }
        events.clear();
        for (int32_t i = 0; i < count; ++i) {
            const DemoInput event = ticks.NextEvent();
            if (event.kind == DemoEvent::CONTROL && event.player != 1 && event.player != 2) {
                abort();
            }
            events.push_back(event);
        }
        if (ticks.TickHash() != hash) {
            abort();
        }
        writer.Tick(delta, events.data(), count, hash);
    }
    if (ticks.TicksRead() != demo.tickCount || !writer.Close(demo.end)) {
        abort();
    }
    // The format has one way to write each demo: what was read is what is written.
    if (writtenSize != size || memcmp(written, data, size) != 0) {
        abort();
    }
    free(written);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Check(data, size);
    std::vector<uint8_t> sealed(data, data + size);
    sealed.resize(size + 4);
    WriteLE32(sealed.data() + size, DemoCrc(0, data, size));
    Check(sealed.data(), sealed.size());
    return 0;
}
