#include "tools/datagen/midi.h"

#include <algorithm>
#include <cassert>

namespace {
// Order of events that share a tick.
int EventRank(const MidiEvent &event)
{
    const uint8_t status = event.bytes[0];
    if (status == 0xff) {
        return 0;
    }
    const bool noteOff = (status & 0xf0) == 0x80 ||
                         ((status & 0xf0) == 0x90 && event.bytes.size() > 2 && event.bytes[2] == 0);
    if (noteOff) {
        return 1;
    }
    if ((status & 0xf0) == 0x90) {
        return 3;
    }
    return 2;  // programs and controllers before the notes they shape
}

void AppendChunkHeader(std::vector<uint8_t> *out, const char *type, uint32_t size)
{
    out->insert(out->end(), type, type + 4);
    const size_t at = out->size();
    out->resize(at + 4);
    (*out)[at] = uint8_t(size >> 24);
    (*out)[at + 1] = uint8_t(size >> 16);
    (*out)[at + 2] = uint8_t(size >> 8);
    (*out)[at + 3] = uint8_t(size);
}

MidiEvent Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t> &data)
{
    MidiEvent event{tick, {0xff, type}};
    AppendVlq(&event.bytes, uint32_t(data.size()));
    event.bytes.insert(event.bytes.end(), data.begin(), data.end());
    return event;
}
}  // namespace

void AppendVlq(std::vector<uint8_t> *out, uint32_t value)
{
    assert(value <= 0x0fffffff);
    uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = uint8_t(value & 0x7f);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out->push_back(uint8_t(groups[--count] | 0x80));
    }
    out->push_back(groups[0]);
}

MidiEvent MidiNoteOn(uint32_t tick, uint8_t channel, uint8_t key, uint8_t velocity)
{
    return {tick, {uint8_t(0x90 | channel), key, velocity}};
}

MidiEvent MidiNoteOff(uint32_t tick, uint8_t channel, uint8_t key)
{
    return {tick, {uint8_t(0x80 | channel), key, 64}};
}

MidiEvent MidiProgram(uint32_t tick, uint8_t channel, uint8_t program)
{
    return {tick, {uint8_t(0xc0 | channel), program}};
}

MidiEvent MidiController(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value)
{
    return {tick, {uint8_t(0xb0 | channel), controller, value}};
}

MidiEvent MidiTempo(uint32_t tick, uint32_t microsecondsPerQuarter)
{
    return Meta(tick, 0x51,
                {uint8_t(microsecondsPerQuarter >> 16), uint8_t(microsecondsPerQuarter >> 8),
                 uint8_t(microsecondsPerQuarter)});
}

MidiEvent MidiTrackName(uint32_t tick, const std::string &name)
{
    return Meta(tick, 0x03, std::vector<uint8_t>(name.begin(), name.end()));
}

MidiEvent MidiTimeSignature(uint32_t tick, uint8_t numerator, uint8_t denominatorPower)
{
    return Meta(tick, 0x58, {numerator, denominatorPower, 24, 8});
}

std::vector<uint8_t> EncodeMidi(uint16_t ticksPerQuarter, std::vector<MidiTrack> tracks,
                                uint32_t endTick)
{
    std::vector<uint8_t> out;
    AppendChunkHeader(&out, "MThd", 6);
    const uint8_t header[6] = {0,
                               1,
                               uint8_t(tracks.size() >> 8),
                               uint8_t(tracks.size()),
                               uint8_t(ticksPerQuarter >> 8),
                               uint8_t(ticksPerQuarter)};
    out.insert(out.end(), header, header + 6);
    for (MidiTrack &track : tracks) {
        std::stable_sort(track.events.begin(), track.events.end(),
                         [](const MidiEvent &a, const MidiEvent &b) {
                             if (a.tick != b.tick) {
                                 return a.tick < b.tick;
                             }
                             return EventRank(a) < EventRank(b);
                         });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        for (const MidiEvent &event : track.events) {
            AppendVlq(&body, event.tick - now);
            now = event.tick;
            body.insert(body.end(), event.bytes.begin(), event.bytes.end());
        }
        AppendVlq(&body, endTick > now ? endTick - now : 0);
        body.insert(body.end(), {0xff, 0x2f, 0x00});
        AppendChunkHeader(&out, "MTrk", uint32_t(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}
