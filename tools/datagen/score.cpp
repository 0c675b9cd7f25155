#include "tools/datagen/score.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {
constexpr uint32_t WHOLE = SCORE_TICKS_PER_QUARTER * 4;
constexpr int32_t STEPS_PER_BEAT = 4;  // drum grids are written in sixteenths

// clang-format off
constexpr struct { const char *name; uint8_t key; } DRUMS[] = {
    {"kick", 36}, {"rim", 37},    {"snare", 38},  {"clap", 39},   {"chh", 42},
    {"phh", 44},  {"ohh", 46},    {"tomlo", 45},  {"tommid", 47}, {"tomhi", 50},
    {"crash", 49}, {"ride", 51},  {"tamb", 54},   {"cowbell", 56},
};
// clang-format on

struct Pattern {
    size_t track = 0;
    int32_t bars = 0;
    std::vector<ScoreNote> notes;  // ticks from the pattern's start
};

struct Parser {
    Score *score = nullptr;
    std::string *error = nullptr;
    int32_t lineNumber = 0;
    std::map<std::string, Pattern> patterns;

    bool Fail(const std::string &why)
    {
        *error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    }

    uint32_t BarTicks() const { return uint32_t(score->beatsPerBar) * SCORE_TICKS_PER_QUARTER; }

    bool ReadInt(const std::string &word, int32_t low, int32_t high, const char *what,
                 int32_t *value)
    {
        char *end = nullptr;
        const long parsed = strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || parsed < low || parsed > high) {
            return Fail(std::string(what) + " must be a number from " + std::to_string(low) +
                        " to " + std::to_string(high) + ", not \"" + word + "\"");
        }
        *value = int32_t(parsed);
        return true;
    }

    bool ParseTrack(std::istringstream &words)
    {
        ScoreTrack track;
        if (!(words >> track.name)) {
            return Fail("track needs a name");
        }
        for (const ScoreTrack &other : score->tracks) {
            if (other.name == track.name) {
                return Fail("track \"" + track.name + "\" defined twice");
            }
        }
        bool channelSeen = false;
        std::string key;
        std::string word;
        while (words >> key) {
            if (!(words >> word)) {
                return Fail("\"" + key + "\" needs a value");
            }
            int32_t value = 0;
            if (key == "channel") {
                if (!ReadInt(word, 1, 16, "channel", &value)) {
                    return false;
                }
                track.channel = uint8_t(value - 1);
                channelSeen = true;
            } else if (key == "program") {
                if (!ReadInt(word, 1, 128, "program", &value)) {
                    return false;
                }
                track.program = uint8_t(value - 1);
            } else if (key == "volume" || key == "pan") {
                if (!ReadInt(word, 0, 127, key.c_str(), &value)) {
                    return false;
                }
                (key == "volume" ? track.volume : track.pan) = uint8_t(value);
            } else if (key == "gate") {
                if (!ReadInt(word, 10, 100, "gate", &track.gatePercent)) {
                    return false;
                }
            } else {
                return Fail("unknown track setting \"" + key + "\"");
            }
        }
        if (!channelSeen) {
            return Fail("track \"" + track.name + "\" needs a channel");
        }
        score->tracks.push_back(track);
        return true;
    }

    // "e2/8", "e3+g3+b3/2.", "r/4", with an optional "!" for an accent.
    bool ParseNoteWord(std::string word, uint32_t *at, Pattern *pattern)
    {
        uint8_t velocity = 90;
        if (!word.empty() && word.back() == '!') {
            velocity = 118;
            word.pop_back();
        }
        const size_t slash = word.find('/');
        if (slash == std::string::npos) {
            return Fail("note \"" + word + "\" has no length (write e.g. e2/8)");
        }
        std::string lengthText = word.substr(slash + 1);
        bool dotted = false;
        if (!lengthText.empty() && lengthText.back() == '.') {
            dotted = true;
            lengthText.pop_back();
        }
        int32_t division = 0;
        if (!ReadInt(lengthText, 1, 32, "note length", &division)) {
            return false;
        }
        if (WHOLE % uint32_t(division) != 0) {
            return Fail("note length 1/" + lengthText + " does not fit the tick grid");
        }
        uint32_t length = WHOLE / uint32_t(division);
        if (dotted) {
            length += length / 2;
        }
        const std::string pitches = word.substr(0, slash);
        if (pitches != "r") {
            size_t begin = 0;
            while (begin <= pitches.size()) {
                size_t plus = pitches.find('+', begin);
                if (plus == std::string::npos) {
                    plus = pitches.size();
                }
                const std::string name = pitches.substr(begin, plus - begin);
                const int32_t key = NoteKey(name);
                if (key < 0) {
                    return Fail("unknown note \"" + name + "\"");
                }
                pattern->notes.push_back({*at, length, uint8_t(key), velocity});
                begin = plus + 1;
            }
        }
        *at += length;
        return true;
    }

    bool ParsePatternLine(const std::string &line, Pattern *pattern)
    {
        const uint32_t patternTicks = BarTicks() * uint32_t(pattern->bars);
        const ScoreTrack &track = score->tracks[pattern->track];
        std::istringstream words(line);
        std::string first;
        words >> first;
        uint32_t at = 0;
        if (track.channel == 9) {
            uint8_t drumKey = 0;
            for (const auto &drum : DRUMS) {
                if (first == drum.name) {
                    drumKey = drum.key;
                }
            }
            if (drumKey == 0) {
                return Fail("unknown drum \"" + first + "\"");
            }
            const uint32_t step = SCORE_TICKS_PER_QUARTER / STEPS_PER_BEAT;
            std::string grid;
            std::string part;
            while (words >> part) {
                grid += part;
            }
            for (const char c : grid) {
                if (c == '|') {
                    if (at % BarTicks() != 0) {
                        return Fail("bar line in the middle of a bar");
                    }
                    continue;
                }
                if (c == 'x' || c == 'o' || c == '-') {
                    const uint8_t velocity = c == 'x' ? 115 : c == 'o' ? 85 : 55;
                    pattern->notes.push_back({at, step, drumKey, velocity});
                } else if (c != '.') {
                    return Fail(std::string("unknown drum step '") + c + "' (use x o - .)");
                }
                at += step;
            }
        } else {
            std::string word = first;
            do {
                if (word == "|") {
                    if (at % BarTicks() != 0) {
                        return Fail("bar line in the middle of a bar");
                    }
                } else if (!ParseNoteWord(word, &at, pattern)) {
                    return false;
                }
            } while (words >> word);
        }
        if (at != patternTicks) {
            return Fail("line lasts " + std::to_string(at) + " ticks, the pattern " +
                        std::to_string(patternTicks) + " (" + std::to_string(pattern->bars) +
                        " bars)");
        }
        return true;
    }

    bool ParsePatternHead(std::istringstream &words, std::string *name, Pattern *pattern)
    {
        std::string trackName;
        std::string barsText;
        if (!(words >> *name >> trackName >> barsText)) {
            return Fail("write: pattern <name> <track> <bars>");
        }
        if (patterns.count(*name) != 0) {
            return Fail("pattern \"" + *name + "\" defined twice");
        }
        size_t index = 0;
        while (index < score->tracks.size() && score->tracks[index].name != trackName) {
            ++index;
        }
        if (index == score->tracks.size()) {
            return Fail("no track \"" + trackName + "\"");
        }
        pattern->track = index;
        return ReadInt(barsText, 1, 64, "bars", &pattern->bars);
    }

    bool ParsePlay(std::istringstream &words)
    {
        std::string timesText;
        int32_t times = 0;
        if (!(words >> timesText) || !ReadInt(timesText, 1, 64, "repeat count", &times)) {
            return false;
        }
        std::vector<const Pattern *> playing;
        int32_t bars = 0;
        std::string name;
        while (words >> name) {
            const auto found = patterns.find(name);
            if (found == patterns.end()) {
                return Fail("no pattern \"" + name + "\"");
            }
            playing.push_back(&found->second);
            bars = std::max(bars, found->second.bars);
        }
        if (playing.empty()) {
            return Fail("play needs at least one pattern");
        }
        for (const Pattern *pattern : playing) {
            if (bars % pattern->bars != 0) {
                return Fail("a pattern of " + std::to_string(pattern->bars) +
                            " bars cannot repeat to fill " + std::to_string(bars));
            }
        }
        const uint32_t sectionTicks = uint32_t(bars) * BarTicks();
        for (int32_t time = 0; time < times; ++time) {
            for (const Pattern *pattern : playing) {
                const uint32_t patternTicks = uint32_t(pattern->bars) * BarTicks();
                for (uint32_t start = 0; start < sectionTicks; start += patternTicks) {
                    for (ScoreNote note : pattern->notes) {
                        note.tick += score->lengthTicks + start;
                        score->tracks[pattern->track].notes.push_back(note);
                    }
                }
            }
            score->lengthTicks += sectionTicks;
        }
        return true;
    }
};

std::string StripComment(const std::string &line)
{
    // A comment's '#' starts the line or follows a space; inside a word it is a sharp.
    size_t hash = line.find('#');
    while (hash != std::string::npos && hash > 0 && line[hash - 1] != ' ' &&
           line[hash - 1] != '\t') {
        hash = line.find('#', hash + 1);
    }
    std::string kept = hash == std::string::npos ? line : line.substr(0, hash);
    while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t' || kept.back() == '\r')) {
        kept.pop_back();
    }
    return kept;
}
}  // namespace

int32_t NoteKey(const std::string &name)
{
    static constexpr int32_t SEMITONES[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (name.size() < 2 || name[0] < 'a' || name[0] > 'g') {
        return -1;
    }
    int32_t key = SEMITONES[name[0] - 'a'];
    size_t at = 1;
    if (name[at] == '#') {
        ++key;
        ++at;
    } else if (name[at] == 'b') {
        --key;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '9') {
        return -1;
    }
    // Octaves change at c, so b#3 is c4 and cb4 is b3.
    key += (name[at] - '0' + 1) * 12;
    return key >= 0 && key <= 127 ? key : -1;
}

bool ParseScore(const std::string &text, Score *score, std::string *error)
{
    *score = Score();
    Parser parser;
    parser.score = score;
    parser.error = error;
    std::istringstream lines(text);
    std::string raw;
    Pattern *open = nullptr;
    std::string openName;
    Pattern pending;
    std::string voice;
    bool inSong = false;
    bool songSeen = false;
    while (std::getline(lines, raw)) {
        ++parser.lineNumber;
        const std::string line = StripComment(raw);
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword)) {
            continue;
        }
        if (keyword == "end") {
            if (!voice.empty()) {
                return parser.Fail("the voice above ends with a bar line but does not go on");
            }
            if (open != nullptr) {
                parser.patterns[openName] = pending;
                open = nullptr;
            } else if (inSong) {
                inSong = false;
            } else {
                return parser.Fail("\"end\" with nothing open");
            }
            continue;
        }
        if (open != nullptr) {
            // A voice whose line ends in a bar line goes on in the next line.
            voice += line + " ";
            if (line.back() == '|') {
                continue;
            }
            const bool parsed = parser.ParsePatternLine(voice, open);
            voice.clear();
            if (!parsed) {
                return false;
            }
            continue;
        }
        if (inSong) {
            if (keyword != "play") {
                return parser.Fail("only \"play\" lines belong in the song");
            }
            if (!parser.ParsePlay(words)) {
                return false;
            }
            continue;
        }
        int32_t value = 0;
        std::string word;
        if (keyword == "tempo" || keyword == "beats") {
            if (!(words >> word)) {
                return parser.Fail(keyword + " needs a number");
            }
            if (keyword == "tempo") {
                if (!parser.ReadInt(word, 30, 300, "tempo", &value)) {
                    return false;
                }
                score->tempo = value;
            } else {
                if (!parser.ReadInt(word, 1, 12, "beats", &value)) {
                    return false;
                }
                score->beatsPerBar = value;
            }
        } else if (keyword == "track") {
            if (!parser.ParseTrack(words)) {
                return false;
            }
        } else if (keyword == "pattern") {
            pending = Pattern();
            if (!parser.ParsePatternHead(words, &openName, &pending)) {
                return false;
            }
            open = &pending;
        } else if (keyword == "song") {
            if (songSeen) {
                return parser.Fail("a second song");
            }
            inSong = true;
            songSeen = true;
        } else {
            return parser.Fail("unknown word \"" + keyword + "\"");
        }
    }
    if (open != nullptr || inSong) {
        *error = "the score ends inside a " + std::string(open != nullptr ? "pattern" : "song");
        return false;
    }
    if (score->lengthTicks == 0) {
        *error = "the score plays nothing (no song with play lines)";
        return false;
    }
    return true;
}

std::vector<MidiTrack> ScoreToMidiTracks(const Score &score)
{
    std::vector<MidiTrack> tracks(1);
    tracks[0].events.push_back(MidiTrackName(0, "conductor"));
    tracks[0].events.push_back(MidiTempo(0, uint32_t(60000000 / score.tempo)));
    tracks[0].events.push_back(MidiTimeSignature(0, uint8_t(score.beatsPerBar), 2));
    for (const ScoreTrack &source : score.tracks) {
        MidiTrack track;
        track.events.push_back(MidiTrackName(0, source.name));
        if (source.channel != 9) {
            track.events.push_back(MidiProgram(0, source.channel, source.program));
        }
        track.events.push_back(MidiController(0, source.channel, 7, source.volume));
        track.events.push_back(MidiController(0, source.channel, 10, source.pan));
        for (const ScoreNote &note : source.notes) {
            uint32_t sounding = note.length * uint32_t(source.gatePercent) / 100;
            if (sounding == 0) {
                sounding = 1;
            }
            track.events.push_back(MidiNoteOn(note.tick, source.channel, note.key, note.velocity));
            track.events.push_back(MidiNoteOff(note.tick + sounding, source.channel, note.key));
        }
        tracks.push_back(track);
    }
    return tracks;
}
