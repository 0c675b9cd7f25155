#include "tools/datagen/midi.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
uint32_t ReadBE32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Reads a variable-length quantity at `*at`, moving past it; fails the test when it runs on.
uint32_t ReadVlq(const std::vector<uint8_t> &bytes, size_t *at, size_t end)
{
    uint32_t value = 0;
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_LT(*at, end) << "quantity runs past the chunk";
        if (*at >= end) {
            return value;
        }
        const uint8_t b = bytes[(*at)++];
        value = (value << 7) | (b & 0x7f);
        if ((b & 0x80) == 0) {
            return value;
        }
    }
    ADD_FAILURE() << "quantity longer than four bytes";
    return value;
}

struct ParsedEvent {
    uint32_t tick;
    std::vector<uint8_t> bytes;
};

// Walks one MTrk body into timed events; checks it closes with exactly one end-of-track.
std::vector<ParsedEvent> ParseTrack(const std::vector<uint8_t> &file, size_t begin, size_t end)
{
    std::vector<ParsedEvent> events;
    size_t at = begin;
    uint32_t tick = 0;
    bool ended = false;
    while (at < end) {
        EXPECT_FALSE(ended) << "events after the end of track";
        tick += ReadVlq(file, &at, end);
        const uint8_t status = file[at];
        ParsedEvent event{tick, {status}};
        ++at;
        size_t dataLength = 0;
        if (status == 0xff) {
            event.bytes.push_back(file[at++]);
            dataLength = ReadVlq(file, &at, end);
            ended = event.bytes[1] == 0x2f;
        } else {
            EXPECT_GE(status, 0x80) << "running status is not written";
            dataLength = (status & 0xf0) == 0xc0 || (status & 0xf0) == 0xd0 ? 1 : 2;
        }
        EXPECT_LE(at + dataLength, end);
        event.bytes.insert(event.bytes.end(), file.begin() + ptrdiff_t(at),
                           file.begin() + ptrdiff_t(std::min(at + dataLength, end)));
        at += dataLength;
        events.push_back(event);
    }
    EXPECT_TRUE(ended) << "no end-of-track event";
    return events;
}

// The chunks of a whole file: the header's fields and each track's events.
struct ParsedFile {
    uint16_t format = 0;
    uint16_t division = 0;
    std::vector<std::vector<ParsedEvent>> tracks;
};

ParsedFile ParseFile(const std::vector<uint8_t> &file)
{
    ParsedFile parsed;
    EXPECT_GE(file.size(), 14u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "MThd");
    EXPECT_EQ(ReadBE32(&file[4]), 6u);
    parsed.format = uint16_t(file[8] << 8 | file[9]);
    const uint16_t trackCount = uint16_t(file[10] << 8 | file[11]);
    parsed.division = uint16_t(file[12] << 8 | file[13]);
    size_t at = 14;
    for (uint16_t t = 0; t < trackCount; ++t) {
        EXPECT_LE(at + 8, file.size());
        if (at + 8 > file.size()) {
            break;
        }
        EXPECT_EQ(std::string(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + 4)),
                  "MTrk");
        const uint32_t length = ReadBE32(&file[at + 4]);
        EXPECT_LE(at + 8 + length, file.size()) << "track " << t << " claims more than the file";
        parsed.tracks.push_back(ParseTrack(file, at + 8, std::min(at + 8 + length, file.size())));
        at += 8 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last track";
    return parsed;
}
}  // namespace

// Every byte-count boundary, and the largest value the format allows.
TEST(Midi, VariableLengthQuantities)
{
    const struct {
        uint32_t value;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0x00, {0x00}},
        {0x7f, {0x7f}},
        {0x80, {0x81, 0x00}},
        {0x3fff, {0xff, 0x7f}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x200000, {0x81, 0x80, 0x80, 0x00}},
        {0xfffffff, {0xff, 0xff, 0xff, 0x7f}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        std::vector<uint8_t> out = {0xaa};  // appends, keeping what is there
        AppendVlq(&out, c.value);
        std::vector<uint8_t> expected = {0xaa};
        expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(out, expected);
    }
}

TEST(Midi, FileParsesBackWithTimesAndEndOfTrack)
{
    std::vector<MidiTrack> tracks(2);
    tracks[0].events.push_back(MidiTempo(0, 428571));
    tracks[1].events.push_back(MidiProgram(0, 2, 80));
    tracks[1].events.push_back(MidiNoteOn(0, 2, 64, 100));
    tracks[1].events.push_back(MidiNoteOff(20000, 2, 64));  // a delta of three bytes
    const std::vector<uint8_t> file = EncodeMidi(480, tracks, 30720);
    const ParsedFile parsed = ParseFile(file);
    EXPECT_EQ(parsed.format, 1);
    EXPECT_EQ(parsed.division, 480);
    ASSERT_EQ(parsed.tracks.size(), 2u);
    ASSERT_EQ(parsed.tracks[0].size(), 2u);
    EXPECT_EQ(parsed.tracks[0][0].bytes, (std::vector<uint8_t>{0xff, 0x51, 0x06, 0x8a, 0x1b}));
    ASSERT_EQ(parsed.tracks[1].size(), 4u);
    EXPECT_EQ(parsed.tracks[1][2].tick, 20000u);
    EXPECT_EQ(parsed.tracks[1][2].bytes, (std::vector<uint8_t>{0x82, 64, 64}));
    // The end of track marks the loop length, so the music repeats on the bar.
    for (const auto &track : parsed.tracks) {
        EXPECT_EQ(track.back().tick, 30720u);
        EXPECT_EQ(track.back().bytes, (std::vector<uint8_t>{0xff, 0x2f}));
    }
}

// A note struck again right where the previous one ends must not be cut off by that release,
// whatever order the events were added in; events out of time order are sorted.
TEST(Midi, ReleasesComeBeforeStrikesAtTheSameTick)
{
    std::vector<MidiTrack> tracks(1);
    tracks[0].events.push_back(MidiNoteOn(480, 0, 60, 90));
    tracks[0].events.push_back(MidiNoteOff(960, 0, 60));
    tracks[0].events.push_back(MidiNoteOn(0, 0, 60, 90));
    tracks[0].events.push_back(MidiNoteOff(480, 0, 60));
    const ParsedFile parsed = ParseFile(EncodeMidi(480, tracks, 0));
    ASSERT_EQ(parsed.tracks.size(), 1u);
    const auto &events = parsed.tracks[0];
    ASSERT_EQ(events.size(), 5u);
    const uint32_t ticks[] = {0, 480, 480, 960, 960};
    const uint8_t statuses[] = {0x90, 0x80, 0x90, 0x80, 0xff};
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].tick, ticks[i]) << "event " << i;
        EXPECT_EQ(events[i].bytes[0], statuses[i]) << "event " << i;
    }
}
