#include "shell/demo_file.h"

#include "platform/file.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace {
using Bytes = std::vector<uint8_t>;

DemoHeader header;  // large: one for all tests, filled by MakeHeader
DemoData demo;      // as large: what each parse fills

// A header whose every field holds something of its own, so a field read into another's place
// shows.
void MakeHeader()
{
    header = DemoHeader{};
    header.version = DEMO_VERSION;
    M_CheckMapName("v2dm1", &header.map);
    for (int32_t i = 0; i < M_CELLS; ++i) {
        header.cells[i] = int16_t(i % 9 - (i == 7 ? 300 : 0));
    }
    header.clockStart = 0xFFFFFF00u;  // near the wrap
    DemoWorld &world = header.world;
    world.settings = DemoSettings{0.3f, {20.0f, 21.5f}, 1, 10, 2.5f};
    for (int32_t p = 0; p < 2; ++p) {
        DemoPlayer &player = world.players[p];
        player.pose = Pose{-1.5f + p, 0.3f, 3.1415927f - p};
        player.airborne = uint8_t(p);
        player.horizontalVelocity = -0.02f;
        player.jumpVelocity = 0.08f;
        player.fallVelocity = 0.0015f * float(p + 1);
        player.currentWeapon = 2 + p;
        for (int32_t w = 0; w < WEAPON_SLOTS; ++w) {
            player.lastShotTimes[w] = uint32_t(1000 * w + p);
        }
        player.health = -75 + p;
        player.walkFrame = uint32_t(3 + p);
        player.walkTime = 12.5f;
        player.facing = uint8_t(1 - p);
    }
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; slot += 7) {
        world.weapons.projectiles[slot] =
            Projectile{2 + slot % 3, Pose{0.1f * slot, 1.0f, 0.5f}, 0.35f, 100.0f - slot, 0.75};
    }
    world.weapons.healthBeforeExplosion[0] = 125;
    world.weapons.healthBeforeExplosion[1] = 25;
    world.weapons.explosionFrame = 5;
    world.weapons.explosionTime = 7.25f;
    world.weapons.explosionFacing = 1;
    MatchSnapshot &match = world.match;
    match.state.started = true;
    match.state.winner = 2;
    match.state.frags[1] = 7;
    match.state.dead[0] = true;
    match.state.deadMs[0] = 1500;
    match.state.lastAttacker[0] = 2;
    match.state.playedMs = 65000;
    snprintf(match.state.feed[0].text, sizeof match.state.feed[0].text, "Player 2 fragged 1");
    match.state.feed[0].ageMs = 250;
    match.keysHeld[1] = true;
    match.struck[42] = true;
    match.setting = 1;
    match.fragLimit = 10;
    match.timeLimitMinutes = 2.5f;
}

std::vector<std::vector<DemoInput>> Ticks()
{
    const float aim = -4.0f;
    uint32_t aimBits = 0;
    memcpy(&aimBits, &aim, sizeof aim);
    const DemoInput control = {DemoEvent::CONTROL, 2, 2, true, aimBits, 0, {}};
    const DemoInput fire = {DemoEvent::CONTROL, 1, 1, false, 0, 0, {}};
    const DemoInput down = {DemoEvent::MATCH_KEY_DOWN, 0, 0, false, 0, 27, {}};
    const DemoInput up = {DemoEvent::MATCH_KEY_UP, 0, 0, false, 0, 32, {}};
    const DemoInput settings = {
        DemoEvent::SETTINGS, 0, 0, false, 0, 0, DemoSettings{-0.5f, {40.0f, 20.0f}, 0, 0, 0.0f}};
    return {{}, {control, fire}, {down, up, settings}, std::vector<DemoInput>(300, control)};
}

DemoEnd End() { return DemoEnd{{header.world.players[1], header.world.players[0]}, {3, -1}}; }

template <typename Part> Bytes Encoded(const Part &part, size_t (*encode)(const Part &, uint8_t *))
{
    Bytes bytes(DEMO_WORLD_BYTES);
    bytes.resize(encode(part, bytes.data()));
    return bytes;
}

DemoCheck Parse(const Bytes &bytes, uint16_t *version = nullptr)
{
    uint16_t read = 0;
    return DemoParse(bytes.data(), bytes.size(), &demo, version != nullptr ? version : &read);
}

auto Fields(const DemoInput &event)
{
    return std::make_tuple(int(event.kind), event.action, event.player, event.hasArgument,
                           event.argument, event.key);
}

// The CRC put right again after a change, so only the structure's own checks can refuse it.
void Reseal(Bytes *bytes)
{
    WriteLE32(bytes->data() + bytes->size() - 4, DemoCrc(0, bytes->data(), bytes->size() - 4));
}

class DemoFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeHeader();
        const std::string path = dir.Path("t.dem");
        DemoWriter writer;
        ASSERT_TRUE(writer.Open(fopen(path.c_str(), "wb"), header));
        uint32_t delta = 7;
        for (const std::vector<DemoInput> &tick : Ticks()) {
            writer.Tick(delta, tick.data(), int32_t(tick.size()), delta * 1000003u);
            delta = delta * 3 + 1;
        }
        ASSERT_TRUE(writer.Close(End()));
        const std::string text = dir.Read("t.dem");
        good.assign(text.begin(), text.end());
    }
    TempDir dir;
    Bytes good;  // the demo as written
};

TEST_F(DemoFileTest, WhatIsWrittenIsReadBack)
{
    ASSERT_EQ(Parse(good), DemoCheck::GOOD);
    EXPECT_EQ(demo.header.version, DEMO_VERSION);
    EXPECT_STREQ(demo.header.map.text, "v2dm1");
    EXPECT_EQ(memcmp(demo.header.cells, header.cells, sizeof header.cells), 0);
    EXPECT_EQ(demo.header.clockStart, header.clockStart);
    EXPECT_EQ(Encoded(demo.header.world, DemoEncodeWorld), Encoded(header.world, DemoEncodeWorld));
    EXPECT_EQ(Encoded(demo.end, DemoEncodeEnd), Encoded(End(), DemoEncodeEnd));

    const auto expected = Ticks();
    ASSERT_EQ(demo.tickCount, expected.size());
    DemoTicks ticks;
    ticks.Start(demo);
    uint32_t delta = 7;
    for (size_t t = 0; t < expected.size(); ++t) {
        SCOPED_TRACE(t);
        uint32_t readDelta = 0;
        int32_t count = 0;
        uint32_t hash = 0;
        ASSERT_TRUE(ticks.NextTick(&readDelta, &count, &hash));
        EXPECT_EQ(readDelta, delta);
        EXPECT_EQ(hash, delta * 1000003u);
        ASSERT_EQ(count, int32_t(expected[t].size()));
        for (const DemoInput &want : expected[t]) {
            const DemoInput got = ticks.NextEvent();
            EXPECT_EQ(Fields(got), Fields(want));
            EXPECT_TRUE(got.settings == want.settings);
        }
        EXPECT_EQ(ticks.TickHash(), hash);
        delta = delta * 3 + 1;
    }
    uint32_t unused = 0;
    int32_t count = 0;
    EXPECT_FALSE(ticks.NextTick(&unused, &count, &unused)) << "one tick too many";
}

// Another version is told apart from damage, so the player learns which it is; a file that is
// no demo at all is neither.
TEST_F(DemoFileTest, OtherVersionsAndOtherFiles)
{
    for (const uint16_t version : {0, 2, 0xFFFF}) {
        SCOPED_TRACE(version);
        Bytes bytes = good;
        WriteLE16(bytes.data() + 4, version);
        Reseal(&bytes);
        uint16_t read = 0;
        EXPECT_EQ(Parse(bytes, &read), DemoCheck::OTHER_VERSION);
        EXPECT_EQ(read, version);
    }
    for (const Bytes &bytes : {Bytes{'V', 'D', 'E'}, Bytes(good.begin() + 1, good.end())}) {
        EXPECT_EQ(Parse(bytes), DemoCheck::NOT_A_DEMO);
    }
}

// Any byte changed, any length lost or gained: refused as damaged, never played.
TEST_F(DemoFileTest, DamageIsRefused)
{
    for (size_t at = 6; at < good.size(); ++at) {
        Bytes bytes = good;
        bytes[at] ^= 0x10;
        ASSERT_EQ(Parse(bytes), DemoCheck::DAMAGED) << "byte " << at;
    }
    for (const size_t size : {size_t(6), size_t(100), good.size() / 2, good.size() - 1}) {
        ASSERT_EQ(Parse(Bytes(good.begin(), good.begin() + long(size))), DemoCheck::DAMAGED)
            << size << " bytes";
    }
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_EQ(Parse(longer), DemoCheck::DAMAGED);
}

// With the CRC made right again, what the game would index with or switch on is still checked.
TEST_F(DemoFileTest, ValuesOutOfRangeAreRefused)
{
    const size_t world = 4 + 2 + 1 + strlen("v2dm1") + 2 * M_CELLS + 4;
    const size_t player = world + 24;  // after the settings
    const size_t firstTick = world + Encoded(header.world, DemoEncodeWorld).size();
    const struct {
        const char *what;
        size_t at;
        uint8_t value;
    } cases[] = {
        {"a map name with a slash", 7, '/'},
        {"a map name too long", 6, 200},
        {"a player's weapon", player + 25, WEAPON_SLOTS},
        {"a walking frame", player + 73 + 2, 1},
        {"a facing", player + 81, 2},
        {"g_match", world + 12, 2},
        // The first tick holds no event and takes 10 bytes; the second's first event follows
        // its delta and count.
        {"an event's kind", firstTick + 10 + 6, 9},
        {"a control's player", firstTick + 10 + 6 + 1 + 4, 3},
    };
    ASSERT_EQ(Parse(good), DemoCheck::GOOD);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = good;
        bytes[c.at] = c.value;
        Reseal(&bytes);
        EXPECT_EQ(Parse(bytes), DemoCheck::DAMAGED);
    }
}
}  // namespace
