#include "tools/datagen/midi.h"

#include <vector>

#include <gtest/gtest.h>

// A note struck again right where the previous one ends must not be cut off by that release,
// whatever order the events were added in; the end of track marks the loop length, so the music
// repeats on the bar. Deltas of 480 and 960 take two bytes each.
TEST(Midi, ReleasesComeBeforeStrikesAndTheTrackEndsAtTheLoop)
{
    std::vector<MidiTrack> tracks(1);
    tracks[0].events.push_back(MidiNoteOn(480, 0, 60, 90));
    tracks[0].events.push_back(MidiNoteOff(960, 0, 60));
    tracks[0].events.push_back(MidiNoteOn(0, 0, 60, 90));
    tracks[0].events.push_back(MidiNoteOff(480, 0, 60));
    const std::vector<uint8_t> expected = {
        'M',  'T',  'h',  'd',  0,  0, 0, 6,  0, 1, 0, 1, 0x01, 0xe0,  // format 1, 480 a beat
        'M',  'T',  'r',  'k',  0,  0, 0, 23,                          //
        0,    0x90, 60,   90,                                          //
        0x83, 0x60, 0x80, 60,   64,                                    //
        0,    0x90, 60,   90,                                          //
        0x83, 0x60, 0x80, 60,   64,                                    //
        0x87, 0x40, 0xff, 0x2f, 0,                                     //
    };
    EXPECT_EQ(EncodeMidi(480, tracks, 1920), expected);
}
