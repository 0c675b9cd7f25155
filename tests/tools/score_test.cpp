#include "tools/datagen/score.h"

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {
constexpr uint32_t Q = SCORE_TICKS_PER_QUARTER;
constexpr uint32_t BAR = 4 * Q;

const char *const HEAD = "tempo 120\n"
                         "track bass channel 2 program 39 gate 50\n"
                         "track drums channel 10\n";

// Parses HEAD + `body`; fails the test with the parser's reason when it refuses.
Score Parse(const std::string &body)
{
    Score score;
    std::string error;
    EXPECT_TRUE(ParseScore(std::string(HEAD) + body, &score, &error)) << error;
    return score;
}

std::string ParseError(const std::string &body)
{
    Score score;
    std::string error;
    EXPECT_FALSE(ParseScore(std::string(HEAD) + body, &score, &error));
    return error;
}
}  // namespace

// Octaves turn over at c, so b3 is one below c4; sharps and flats may cross that boundary.
TEST(Score, NoteNames)
{
    const struct {
        const char *name;
        int32_t key;
    } cases[] = {
        {"a4", 69},  {"b3", 59},  {"db4", 61}, {"b#3", 60}, {"cb4", 59}, {"c0", 12},
        {"g9", 127}, {"g#9", -1}, {"h4", -1},  {"c#", -1},  {"c44", -1}, {"C4", -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(NoteKey(c.name), c.key) << c.name;
    }
}

TEST(Score, LengthsChordsRestsAndAccents)
{
    const Score score = Parse("pattern p bass 1\n"
                              "  e2/4. g2+b2/8 r/4 a2/8! a2/8\n"
                              "end\n"
                              "song\n  play 1 p\nend\n");
    ASSERT_EQ(score.tracks.size(), 2u);
    const std::vector<ScoreNote> &notes = score.tracks[0].notes;
    const struct {
        uint32_t tick, length;
        uint8_t key;
        bool accent;
    } expected[] = {
        {0, Q * 3 / 2, 40, false}, {Q * 3 / 2, Q / 2, 43, false}, {Q * 3 / 2, Q / 2, 47, false},
        {Q * 3, Q / 2, 45, true},  {Q * 7 / 2, Q / 2, 45, false},
    };
    ASSERT_EQ(notes.size(), std::size(expected));
    for (size_t i = 0; i < notes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(notes[i].tick, expected[i].tick);
        EXPECT_EQ(notes[i].length, expected[i].length);
        EXPECT_EQ(notes[i].key, expected[i].key);
        EXPECT_EQ(notes[i].velocity > 100, expected[i].accent);
    }
    EXPECT_EQ(score.lengthTicks, BAR);
}

// A one-bar groove under a two-bar line repeats; play 2 runs the whole section twice.
TEST(Score, PlayRepeatsShortPatternsAndSections)
{
    const Score score = Parse("pattern beat drums 1\n"
                              "  kick x...o...-...x...\n"
                              "end\n"
                              "pattern line bass 2\n"
                              "  e2/1 |\n"
                              "  g2/1\n"
                              "end\n"
                              "song\n  play 2 beat line\nend\n");
    EXPECT_EQ(score.lengthTicks, 4 * BAR);
    const std::vector<ScoreNote> &kicks = score.tracks[1].notes;
    ASSERT_EQ(kicks.size(), 16u);  // 4 a bar, 4 bars
    for (size_t i = 0; i < kicks.size(); ++i) {
        EXPECT_EQ(kicks[i].tick, uint32_t(i) * Q) << "kick " << i;
        EXPECT_EQ(kicks[i].key, 36);
    }
    EXPECT_GT(kicks[0].velocity, kicks[1].velocity);
    EXPECT_GT(kicks[1].velocity, kicks[2].velocity);
    const std::vector<ScoreNote> &bass = score.tracks[0].notes;
    ASSERT_EQ(bass.size(), 4u);
    EXPECT_EQ(bass[2].tick, 2 * BAR);
    EXPECT_EQ(bass[3].key, 43);
}

TEST(Score, RefusesFaultsNamingTheLine)
{
    const struct {
        const char *what;
        std::string body;
        const char *inError;
    } cases[] = {
        {"voice too short", "pattern p bass 1\n  e2/2\nend\n", "line 5"},
        {"voice too long", "pattern p bass 1\n  e2/1 e2/8\nend\n", "ticks"},
        {"bar line off the bar", "pattern p bass 2\n  e2/2 | e2/2 e2/1\nend\n", "bar line"},
        {"unknown note", "pattern p bass 1\n  x2/1\nend\n", "\"x2\""},
        {"no length", "pattern p bass 1\n  e2\nend\n", "no length"},
        {"length off the grid", "pattern p bass 1\n  e2/7\nend\n", "1/7"},
        {"unknown drum", "pattern p drums 1\n  gong x...............\nend\n", "gong"},
        {"drum grid short", "pattern p drums 1\n  kick x.......\nend\n", "ticks"},
        {"unknown track", "pattern p flute 1\n  e2/1\nend\n", "flute"},
        {"unknown pattern", "song\n  play 1 nothing\nend\n", "nothing"},
        {"lengths that do not divide",
         "pattern a bass 2\n  e2/1 e2/1\nend\npattern b bass 3\n  e2/1 e2/1 e2/1\nend\n"
         "song\n  play 1 a b\nend\n",
         "cannot repeat"},
        {"unclosed pattern", "pattern p bass 1\n  e2/1\n", "ends inside"},
        {"no song", "pattern p bass 1\n  e2/1\nend\n", "plays nothing"},
        {"channel out of range", "track x channel 17\n", "channel"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = ParseError(c.body);
        EXPECT_NE(error.find(c.inError), std::string::npos) << error;
    }
}

TEST(Score, MidiTracksCarryProgramsAndGatedNotes)
{
    const Score score = Parse("pattern p bass 1\n  e2/2 g2/2\nend\nsong\n  play 1 p\nend\n");
    const std::vector<MidiTrack> tracks = ScoreToMidiTracks(score);
    ASSERT_EQ(tracks.size(), 3u);  // conductor, bass, drums
    bool tempoFound = false;
    for (const MidiEvent &e : tracks[0].events) {
        // 120 a minute is 500000 microseconds a quarter.
        if (e.bytes.size() == 6 && e.bytes[0] == 0xff && e.bytes[1] == 0x51) {
            tempoFound = e.bytes[3] == 0x07 && e.bytes[4] == 0xa1 && e.bytes[5] == 0x20;
        }
    }
    EXPECT_TRUE(tempoFound);
    bool programFound = false;
    std::vector<std::pair<uint32_t, uint8_t>> notes;  // tick, status
    for (const MidiEvent &e : tracks[1].events) {
        if (e.bytes[0] == 0xc1) {
            programFound = e.bytes[1] == 38;  // written 1-based, stored 0-based
        }
        if ((e.bytes[0] & 0xe0) == 0x80) {
            notes.push_back({e.tick, e.bytes[0]});
        }
    }
    EXPECT_TRUE(programFound);
    // Gate 50: each half note sounds for a quarter.
    const std::vector<std::pair<uint32_t, uint8_t>> expected = {
        {0, 0x91}, {Q, 0x81}, {2 * Q, 0x91}, {3 * Q, 0x81}};
    EXPECT_EQ(notes, expected);
}

// The game's own track must keep parsing and stay a loop of whole bars, 60 to 90 seconds long.
TEST(Score, ShippedMusicParses)
{
    std::ifstream in(std::string(VORN_TOOLS_DATA_DIR) + "/ingame1.score", std::ios::binary);
    ASSERT_TRUE(in) << "tools/data/ingame1.score is missing";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Score score;
    std::string error;
    ASSERT_TRUE(ParseScore(text, &score, &error)) << error;
    const uint32_t bar = uint32_t(score.beatsPerBar) * Q;
    EXPECT_EQ(score.lengthTicks % bar, 0u);
    const double seconds = double(score.lengthTicks) / Q * 60.0 / score.tempo;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 90.0);
}
