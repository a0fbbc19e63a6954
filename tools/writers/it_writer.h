// Writes Impulse Tracker (.it) modules from plain records: 16-bit mono samples with loops,
// optional simple instruments with a volume envelope, patterns of cells, an order list,
// speed, tempo and channel settings. Used by the tests (tiny modules) and by the show's music.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Cell values with a meaning of their own; everything else is written as it stands.
constexpr uint8_t itNoNote = 253;   // an empty note column (never written to the file)
constexpr uint8_t itNoteCut = 254;  // ^^^
constexpr uint8_t itNoteOff = 255;  // ===
constexpr uint8_t itNoVolume = 255; // an empty volume column

// Effect letters as the file stores them (A = 1 ... Z = 26).
constexpr uint8_t itEffect(char letter) {
    return (uint8_t)(letter - 'A' + 1);
}

struct ItCell {
    uint8_t note = itNoNote; // 0..119 = C-0..B-9, C-5 = 60
    uint8_t instrument = 0;  // 1-based; 0 = none
    uint8_t volume = itNoVolume;
    uint8_t effect = 0; // 0 = none
    uint8_t param = 0;
};

struct ItPattern {
    int32_t rows = 64;         // 1..200
    int32_t channels = 1;      // 1..64
    std::vector<ItCell> cells; // row after row, channels cells per row
};

ItPattern makeItPattern(int32_t rows, int32_t channels);
// The cell at row, channel; both must lie inside the pattern.
ItCell& itCell(ItPattern& pattern, int32_t row, int32_t channel);

struct ItSample {
    std::string name;
    std::vector<int16_t> pcm; // mono frames
    int32_t c5Speed = 8363;   // frames per second when playing C-5
    bool loop = false;
    bool pingPong = false;
    int32_t loopBegin = 0; // frames
    int32_t loopEnd = 0;   // frames, exclusive
    uint8_t globalVolume = 64;
    uint8_t defaultVolume = 64;
    uint8_t vibratoSpeed = 0; // the sample's own auto-vibrato
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
};

struct ItEnvelopeNode {
    uint16_t tick = 0;
    int8_t value = 64; // 0..64
};

// A simple instrument: one sample over the whole keyboard, an optional volume envelope.
struct ItInstrument {
    std::string name;
    uint8_t sample = 1;   // 1-based sample number
    uint16_t fadeOut = 0; // 0..256 after note-off; 0 never fades
    uint8_t globalVolume = 128;
    uint8_t newNoteAction = 0;                  // 0 cut, 1 continue, 2 note off, 3 note fade
    std::vector<ItEnvelopeNode> volumeEnvelope; // empty = no envelope; at most 25 nodes
    int32_t sustainNode = -1;                   // held there until note-off; -1 = none
};

struct ItModule {
    std::string title;
    uint8_t initialSpeed = 6;   // ticks per row
    uint8_t initialTempo = 125; // a tick lasts 2.5 / tempo seconds
    uint8_t globalVolume = 128;
    uint8_t mixVolume = 48;
    uint8_t rowsPerBeat = 4;
    uint8_t rowsPerMeasure = 16;
    bool linearSlides = true;
    std::array<uint8_t, 64> channelPan;    // 0 left, 32 centre, 64 right
    std::array<uint8_t, 64> channelVolume; // 0..64
    std::vector<uint8_t> orders;           // pattern numbers; the end marker is added
    std::vector<ItSample> samples;
    std::vector<ItInstrument> instruments; // none = sample mode
    std::vector<ItPattern> patterns;

    ItModule() {
        channelPan.fill(32);
        channelVolume.fill(64);
    }
};

// The file's bytes; empty when the module breaks a limit of the format (counts, sizes, loops
// outside the sample, a pattern that packs to 64 KiB or more).
std::vector<uint8_t> writeItModule(const ItModule& module);
// Writes the file; false, with a perror-style report, when it cannot.
bool writeItFile(const ItModule& module, const char* path);
