#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One event of a track at an absolute time in ticks: a channel message (status and one or two
// data bytes) or a meta event (status 0xff, its type, then its data).
struct MidiEvent {
    uint32_t tick = 0;
    std::vector<uint8_t> bytes;
};

struct MidiTrack {
    std::vector<MidiEvent> events;
};

// Appends `value` (at most 0x0fffffff) as a variable-length quantity: 7 bits a byte, most
// significant first, every byte but the last with its top bit set.
void AppendVlq(std::vector<uint8_t> *out, uint32_t value);

MidiEvent MidiNoteOn(uint32_t tick, uint8_t channel, uint8_t key, uint8_t velocity);
MidiEvent MidiNoteOff(uint32_t tick, uint8_t channel, uint8_t key);
MidiEvent MidiProgram(uint32_t tick, uint8_t channel, uint8_t program);
MidiEvent MidiController(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value);
MidiEvent MidiTempo(uint32_t tick, uint32_t microsecondsPerQuarter);
MidiEvent MidiTrackName(uint32_t tick, const std::string &name);
MidiEvent MidiTimeSignature(uint32_t tick, uint8_t numerator, uint8_t denominatorPower);

// A format 1 Standard MIDI File of `tracks`. Each track's events are put in time order (at
// equal times meta events first, then note-offs, so a note struck again on the beat is not cut
// off by its own release) and closed by an end-of-track event at `endTick`, or at its last
// event if that is later.
std::vector<uint8_t> EncodeMidi(uint16_t ticksPerQuarter, std::vector<MidiTrack> tracks,
                                uint32_t endTick);
