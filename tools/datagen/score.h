#pragma once

#include "tools/datagen/midi.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t SCORE_TICKS_PER_QUARTER = 480;

struct ScoreNote {
    uint32_t tick = 0;
    uint32_t length = 0;
    uint8_t key = 0;
    uint8_t velocity = 0;
};

struct ScoreTrack {
    std::string name;
    uint8_t channel = 0;  // 0-based: the drum channel 10 is 9 here
    uint8_t program = 0;  // 0-based General MIDI program
    uint8_t volume = 100;
    uint8_t pan = 64;
    int32_t gatePercent = 90;  // how much of each written length a note sounds
    std::vector<ScoreNote> notes;
};

struct Score {
    int32_t tempo = 120;  // quarter notes a minute
    int32_t beatsPerBar = 4;
    uint32_t lengthTicks = 0;
    std::vector<ScoreTrack> tracks;
};

// Reads a score text (the format is described in tools/data/ingame1.score). On bad input
// returns false and puts one line naming the line number and the fault into `error`.
bool ParseScore(const std::string &text, Score *score, std::string *error);

// The tracks of a Standard MIDI File for `score`: a conductor track with tempo and metre, then one
// track per score track with its name, program, volume, pan and notes.
std::vector<MidiTrack> ScoreToMidiTracks(const Score &score);

// The MIDI key of a note name such as "c4" (60), "f#3" or "bb2"; -1 when it is no note name.
int32_t NoteKey(const std::string &name);
