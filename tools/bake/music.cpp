#include "music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// "Lanternwhirl" in D minor at 120 beats a minute with a lilting triplet feel: a beat of six
// rows, a row of five ticks at tempo 150. A tick is then exactly 735 frames at 44100 Hz and
// 800 at 48000 Hz, so the player's whole-frame ticks never drift from the clock, and every
// section of the show starts on a beat: second s is row 12·s.

namespace {
const int32_t sampleRate = 44100;
const int32_t rowsPerBeat = 6;
const double pi = 3.14159265358979323846;
const double middleC = 261.6255653;

enum Channel : int32_t {
    chKick,
    chSnare,
    chHat,
    chCrash,
    chBass,
    chPad0,
    chPad1,
    chPad2,
    chLead,
    chEcho,
    chBell,
    channelCount
};

enum Instrument : uint8_t {
    insKick = 1,
    insSnare,
    insHat,
    insCrash,
    insBass,
    insPad,
    insLead,
    insBell,
};

// ---- Samples ---------------------------------------------------------------------------------

// The synthesis draws its noise from a generator of its own so the bytes never change.
struct Noise {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (double)(state >> 8) / 8388608.0 - 1.0;
    }
};

// Scales to a peak just under full scale; loudness is set later by volumes, not here.
std::vector<int16_t> toPcm(const std::vector<double>& wave) {
    double peak = 1.0e-9;
    for (double v : wave)
        peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> pcm(wave.size());
    for (size_t i = 0; i < wave.size(); ++i)
        pcm[i] = (int16_t)std::lround(wave[i] / peak * 30000.0);
    return pcm;
}

ItSample oneShot(const char* name, const std::vector<double>& wave) {
    ItSample s;
    s.name = name;
    s.pcm = toPcm(wave);
    s.c5Speed = sampleRate; // C-5 plays the sample as it was made
    return s;
}

// A looped wave whose loop holds whole cycles of fundamental hz; C-5 then sounds middle C.
ItSample looped(const char* name, const std::vector<double>& wave, double hz) {
    ItSample s;
    s.name = name;
    s.pcm = toPcm(wave);
    s.loop = true;
    s.loopBegin = 0;
    s.loopEnd = (int32_t)s.pcm.size();
    s.c5Speed = (int32_t)std::lround(sampleRate * middleC / hz);
    return s;
}

ItSample kick() {
    std::vector<double> w(sampleRate * 45 / 100);
    double phase = 0.0;
    Noise n{11};
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = (double)i / sampleRate;
        phase += 2 * pi * (44.0 + 120.0 * std::exp(-t / 0.035)) / sampleRate;
        w[i] = std::sin(phase) * std::exp(-t / 0.16) + 0.3 * n.next() * std::exp(-t / 0.003);
    }
    return oneShot("kick", w);
}

ItSample snare() {
    std::vector<double> w(sampleRate * 3 / 10);
    Noise n{23};
    double last = 0.0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = (double)i / sampleRate;
        const double raw = n.next();
        const double bright = raw - 0.6 * last; // tilt the noise towards the rattle of wires
        last = raw;
        w[i] = 0.8 * bright * std::exp(-t / 0.075) +
               0.7 * std::sin(2 * pi * 185.0 * t) * std::exp(-t / 0.045);
    }
    return oneShot("snare", w);
}

ItSample hat() {
    std::vector<double> w(sampleRate * 9 / 100);
    Noise n{37};
    double lastRaw = 0.0, high = 0.0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = (double)i / sampleRate;
        const double raw = n.next();
        high = 0.55 * (high + raw - lastRaw); // one-pole high-pass: only the sizzle is left
        lastRaw = raw;
        const double ring = std::sin(2 * pi * 8123.0 * t) * std::sin(2 * pi * 5417.0 * t);
        w[i] = (high + 0.3 * ring) * std::exp(-t / 0.022);
    }
    return oneShot("hat", w);
}

// A soft cymbal swell that marks each new phrase.
ItSample crash() {
    std::vector<double> w(sampleRate * 2);
    Noise n{51};
    double last = 0.0;
    const double partials[] = {3217.0, 4561.0, 5873.0, 7411.0};
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = (double)i / sampleRate;
        const double raw = n.next();
        double metal = 0.0;
        for (double f : partials)
            metal += std::sin(2 * pi * f * t + f);
        w[i] = ((raw - last) * 0.7 + 0.08 * metal) * std::exp(-t / 0.55) * std::min(1.0, t / 0.004);
        last = raw;
    }
    return oneShot("crash", w);
}

// Harmonic sum with a falling slope: warm, round tones rather than buzzing ones.
double harmonics(double x, int32_t count, double slope) {
    double v = 0.0, g = 1.0;
    for (int32_t k = 1; k <= count; ++k, g *= slope)
        v += g * std::sin(k * x) / k;
    return v;
}

ItSample bass() {
    const int32_t period = 400; // 110.25 Hz
    std::vector<double> w(period);
    for (int32_t i = 0; i < period; ++i) {
        const double x = 2 * pi * i / period;
        w[i] = harmonics(x, 14, 0.8) + 0.6 * std::sin(x);
    }
    return looped("bass", w, (double)sampleRate / period);
}

// Three slightly detuned voices at 219, 220 and 221 Hz: each makes whole cycles in one second,
// so a one-second loop is seamless while the voices drift against each other like a choir.
ItSample pad() {
    std::vector<double> w(sampleRate);
    const double voices[] = {219.0, 220.0, 221.0};
    for (int32_t i = 0; i < sampleRate; ++i) {
        const double t = (double)i / sampleRate;
        double v = 0.0;
        for (int32_t k = 0; k < 3; ++k)
            v += harmonics(2 * pi * voices[k] * t + k * 2.1, 8, 0.55);
        w[i] = v;
    }
    return looped("pad", w, 220.0);
}

ItSample lead() {
    const int32_t period = 200; // 220.5 Hz
    std::vector<double> w(period);
    for (int32_t i = 0; i < period; ++i) {
        const double x = 2 * pi * i / period;
        w[i] =
            std::sin(x) + 0.35 * std::sin(2 * x) + 0.2 * std::sin(3 * x) + 0.08 * std::sin(5 * x);
    }
    ItSample s = looped("lead", w, (double)sampleRate / period);
    // A gentle vibrato that fades in, as a singer would.
    s.vibratoSpeed = 10;
    s.vibratoDepth = 5;
    s.vibratoRate = 12;
    return s;
}

// The lanterns: a struck bell with an inharmonic partial that dies faster than the tone.
ItSample bell() {
    std::vector<double> w(sampleRate * 3 / 2);
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = (double)i / sampleRate;
        const double index = 1.6 * std::exp(-t / 0.25);
        const double modulator = index * std::sin(2 * pi * middleC * 3.5 * t);
        w[i] = std::sin(2 * pi * middleC * t + modulator) * std::exp(-t / 0.5) *
               std::min(1.0, t / 0.002);
    }
    return oneShot("bell", w);
}

ItInstrument instrument(const char* name, uint8_t sample, uint16_t fadeOut, uint8_t newNoteAction,
                        std::vector<ItEnvelopeNode> envelope, int32_t sustainNode) {
    ItInstrument ins;
    ins.name = name;
    ins.sample = sample;
    ins.fadeOut = fadeOut;
    ins.newNoteAction = newNoteAction;
    ins.volumeEnvelope = std::move(envelope);
    ins.sustainNode = sustainNode;
    return ins;
}

// ---- The score -------------------------------------------------------------------------------

// Pitches by their concert names: A4 is 440 Hz, note 69 (which a tracker shows as A-5).
// clang-format off
enum Note : uint8_t {
    C4 = 60, Cs4, D4, Ds4, E4, F4, Fs4, G4, Gs4, A4, As4, B4,
    C5, Cs5, D5, Ds5, E5, F5, Fs5, G5, Gs5, A5, As5, B5,
    C6, Cs6, D6
};
// clang-format on

// A chord named by its root in the bass octave and whether its third is major.
struct Chord {
    uint8_t root; // 36..47
    bool major;
    int32_t beats;
};

// A melody note: start row within the section, pitch, length in rows.
struct Tone {
    int32_t row;
    uint8_t note;
    int32_t length;
};

enum BassStyle { bassNone, bassLong, bassShuffle, bassEighths };

struct Section {
    int32_t beats;
    std::vector<Chord> chords;
    int32_t kickEvery; // beats between kicks; 0 = none
    bool backbeat;     // snare on beats 2 and 4
    int32_t hatStep;   // rows between hats; 0 = none
    uint8_t hatVolume;
    BassStyle bassStyle;
    int32_t bellStep; // rows between bell notes; 0 = none
    uint8_t bellVolume;
    uint8_t padVolume;
    std::vector<Tone> melody;
    int32_t rollBeats; // a rising snare roll over the last beats
    bool fade;         // the song fades out over the second half
};

// Drums play note 60, the pitch they were made at.
const uint8_t drumNote = 60;
const uint8_t D = 38, E = 40, F = 41, G = 43, A = 45, Bb = 46, C = 48;

// The theme, over Dm | Bb | F | C, one bar of four beats each.
const std::vector<Tone> themeA = {
    {0, A4, 6},  {6, D5, 9},  {15, C5, 3}, {18, A4, 6}, {24, As4, 9}, {33, A4, 3},
    {36, F4, 6}, {42, D4, 6}, {48, C5, 6}, {54, F5, 9}, {63, E5, 3},  {66, C5, 6},
    {72, G4, 6}, {78, C5, 6}, {84, E5, 9}, {93, D5, 3},
};
// Its answer, higher, over the same four chords.
const std::vector<Tone> themeB = {
    {0, D5, 6},  {6, F5, 6},   {12, A5, 9},  {21, G5, 3}, {24, F5, 6},
    {30, D5, 6}, {36, As4, 9}, {45, C5, 3},  {48, A4, 6}, {54, C5, 6},
    {60, F5, 6}, {66, A5, 6},  {72, G5, 12}, {84, E5, 6}, {90, C5, 6},
};

std::vector<Tone> shifted(const std::vector<Tone>& tones, int32_t rows) {
    std::vector<Tone> out = tones;
    for (Tone& t : out)
        t.row += rows;
    return out;
}

std::vector<Tone> joined(std::initializer_list<std::vector<Tone>> parts) {
    std::vector<Tone> out;
    for (const std::vector<Tone>& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The nine sections follow the show: whirling lanterns, the centrepiece, the glowing balls,
// the second scene, the intense part, the two warps, the finale and the fading outro.
std::vector<Section> score() {
    std::vector<Section> s;
    // 0-15 s: pads and whirling bells; a roll leads into the first scene.
    s.push_back({30,
                 {{D, false, 8}, {Bb, true, 8}, {G, false, 8}, {A, true, 6}},
                 0,
                 false,
                 0,
                 0,
                 bassNone,
                 2,
                 34,
                 40,
                 {},
                 2,
                 false});
    // 15-25 s: the centrepiece: a heartbeat kick, bass and slower bells.
    s.push_back({20,
                 {{D, false, 4}, {Bb, true, 4}, {F, true, 4}, {C, true, 4}, {A, true, 4}},
                 2,
                 false,
                 2,
                 26,
                 bassLong,
                 4,
                 32,
                 40,
                 {},
                 0,
                 false});
    // 25-35 s: the balls glow: the theme enters over a shuffling groove.
    s.push_back({20,
                 {{D, false, 4}, {Bb, true, 4}, {F, true, 4}, {C, true, 4}, {A, true, 4}},
                 2,
                 true,
                 2,
                 28,
                 bassShuffle,
                 6,
                 26,
                 36,
                 joined({themeA, {{96, E5, 12}, {108, Cs5, 6}, {114, A4, 6}}}),
                 0,
                 false});
    // 35-44 s: the second scene, a breath before the storm.
    s.push_back({18,
                 {{G, false, 4}, {Bb, true, 4}, {D, false, 4}, {F, true, 4}, {A, true, 2}},
                 0,
                 false,
                 6,
                 24,
                 bassNone,
                 3,
                 28,
                 44,
                 {{0, As4, 12},
                  {12, A4, 12},
                  {24, D5, 24},
                  {48, F5, 12},
                  {60, E5, 6},
                  {66, D5, 6},
                  {72, C5, 24},
                  {96, Cs5, 12}},
                 2,
                 false});
    // 44-64 s: the intense part, everything at once.
    s.push_back({40,
                 {{D, false, 4},
                  {Bb, true, 4},
                  {F, true, 4},
                  {C, true, 4},
                  {D, false, 4},
                  {Bb, true, 4},
                  {F, true, 4},
                  {C, true, 4},
                  {G, false, 4},
                  {A, true, 4}},
                 1,
                 true,
                 1,
                 28,
                 bassShuffle,
                 2,
                 24,
                 34,
                 joined({themeA,
                         shifted(themeB, 96),
                         {{192, D5, 6},
                          {198, As4, 6},
                          {204, G4, 12},
                          {216, A4, 6},
                          {222, Cs5, 6},
                          {228, E5, 12}}}),
                 1,
                 false});
    // 64-78 s: the warp shimmer: bells on every row, long singing notes.
    s.push_back({28,
                 {{Bb, true, 4},
                  {C, true, 4},
                  {A, false, 4},
                  {D, false, 4},
                  {Bb, true, 4},
                  {C, true, 4},
                  {A, true, 4}},
                 4,
                 false,
                 0,
                 0,
                 bassLong,
                 1,
                 20,
                 44,
                 {{0, D5, 24},
                  {24, E5, 24},
                  {48, C5, 24},
                  {72, D5, 24},
                  {96, F5, 24},
                  {120, G5, 24},
                  {144, E5, 12},
                  {156, Cs5, 12}},
                 0,
                 false});
    // 78-88 s: the second warp: a falling lament bass under a quicker line.
    s.push_back({20,
                 {{D, false, 2},
                  {C, true, 2},
                  {Bb, true, 2},
                  {A, true, 2},
                  {D, false, 2},
                  {C, true, 2},
                  {Bb, true, 2},
                  {A, true, 2},
                  {G, false, 2},
                  {A, true, 2}},
                 2,
                 true,
                 2,
                 28,
                 bassEighths,
                 3,
                 26,
                 36,
                 {{0, A5, 12},
                  {12, G5, 12},
                  {24, F5, 12},
                  {36, E5, 12},
                  {48, A5, 6},
                  {54, D5 + 12, 6},
                  {60, C6, 6},
                  {66, G5, 6},
                  {72, F5, 6},
                  {78, D5, 6},
                  {84, E5, 6},
                  {90, Cs5, 6},
                  {96, D5, 12},
                  {108, E5, 12}},
                 1,
                 false});
    // 88-100 s: the finale, rising to D major.
    s.push_back(
        {24,
         {{Bb, true, 4}, {C, true, 4}, {D, false, 4}, {Bb, true, 4}, {C, true, 4}, {D, true, 4}},
         1,
         true,
         2,
         28,
         bassShuffle,
         2,
         26,
         36,
         {{0, D5, 6},   {6, F5, 6},    {12, As5, 12}, {24, G5, 9},  {33, A5, 3},   {36, G5, 6},
          {42, E5, 6},  {48, F5, 6},   {54, A5, 9},   {63, G5, 3},  {66, F5, 6},   {72, D5, 6},
          {78, F5, 6},  {84, As5, 6},  {90, D6, 6},   {96, C6, 9},  {105, As5, 3}, {108, G5, 6},
          {114, E5, 6}, {120, Fs5, 6}, {126, A5, 6},  {132, D6, 12}},
         0,
         false});
    // 100-106 s: the last chord rings and fades away.
    s.push_back({12, {{D, true, 12}}, 0, false, 0, 0, bassLong, 4, 30, 44, {{0, D5, 36}}, 0, true});
    return s;
}

// ---- Writing the cells -----------------------------------------------------------------------

struct Grid {
    int32_t rows;
    std::vector<ItCell> cells;
    ItCell& at(int32_t row, int32_t channel) { return cells[(size_t)row * channelCount + channel]; }
    void note(int32_t row, int32_t channel, uint8_t note, uint8_t instrument, uint8_t volume) {
        if (row < 0 || row >= rows) return;
        ItCell& c = at(row, channel);
        c.note = note;
        c.instrument = instrument;
        c.volume = volume;
    }
    void off(int32_t row, int32_t channel) {
        if (row < 0 || row >= rows || at(row, channel).note != itNoNote) return;
        at(row, channel).note = itNoteOff;
    }
};

// The chord's three notes in the pads' octave, between G3 and F#4, so the voices move little.
void chordNotes(const Chord& c, uint8_t out[3]) {
    const int32_t tones[3] = {c.root, c.root + (c.major ? 4 : 3), c.root + 7};
    for (int32_t i = 0; i < 3; ++i) {
        int32_t n = tones[i];
        while (n < 55)
            n += 12;
        while (n >= 67)
            n -= 12;
        out[i] = (uint8_t)n;
    }
}

void writeDrums(const Section& s, Grid& g) {
    const int32_t rows = s.beats * rowsPerBeat;
    g.note(0, chCrash, drumNote, insCrash, 48); // every phrase opens with a cymbal
    for (int32_t beat = 0; beat < s.beats; ++beat) {
        const int32_t row = beat * rowsPerBeat;
        const bool inRoll = beat >= s.beats - s.rollBeats;
        if (s.kickEvery > 0 && beat % s.kickEvery == 0) g.note(row, chKick, drumNote, insKick, 64);
        if (s.backbeat && beat % 2 == 1 && !inRoll) g.note(row, chSnare, drumNote, insSnare, 64);
        if (s.kickEvery == 1 && beat % 4 == 3) g.note(row + 4, chKick, drumNote, insKick, 44);
    }
    if (s.hatStep > 0)
        for (int32_t row = 0; row < rows; row += s.hatStep) {
            // Accents on the triplet pulse carry the swing.
            const uint8_t vol = (uint8_t)(row % 2 == 0 ? s.hatVolume : s.hatVolume * 3 / 5);
            g.note(row, chHat, drumNote + (row % 6 == 4 ? 1 : 0), insHat, vol);
        }
    // A roll of triplets then single rows, rising in volume into the next section.
    const int32_t rollStart = rows - s.rollBeats * rowsPerBeat;
    for (int32_t row = rollStart; row < rows; ++row) {
        const int32_t step = row < rows - 3 ? 2 : 1;
        if ((row - rollStart) % step != 0) continue;
        const int32_t span = std::max(1, rows - rollStart);
        g.note(row, chSnare, drumNote, insSnare, (uint8_t)(20 + 40 * (row - rollStart) / span));
    }
}

void writeHarmony(const Section& s, Grid& g) {
    int32_t start = 0;
    int32_t bellIndex = 0;
    for (const Chord& c : s.chords) {
        const int32_t rows = c.beats * rowsPerBeat;
        uint8_t pad[3];
        chordNotes(c, pad);
        for (int32_t v = 0; v < 3; ++v)
            g.note(start, chPad0 + v, pad[v], insPad, s.padVolume);

        const uint8_t root = c.root;
        const uint8_t fifth = (uint8_t)(c.root + 7);
        switch (s.bassStyle) {
        case bassNone:
            break;
        case bassLong:
            g.note(start, chBass, root, insBass, 50);
            break;
        case bassShuffle:
            for (int32_t row = 0; row < rows; row += rowsPerBeat) {
                g.note(start + row, chBass, root, insBass, 52);
                g.off(start + row + 3, chBass);
                g.note(start + row + 4, chBass, row % 12 == 0 ? root + 12 : fifth, insBass, 40);
            }
            break;
        case bassEighths:
            for (int32_t row = 0; row < rows; row += 3) {
                g.note(start + row, chBass, row % 6 == 0 ? root : root + 12, insBass,
                       row % 6 == 0 ? 52 : 38);
            }
            break;
        }

        // The lanterns: chord tones whirling up and down over two octaves.
        if (s.bellStep > 0) {
            const int32_t base = c.root + 36;
            const int32_t up[6] = {0, c.major ? 4 : 3, 7, 12, c.major ? 16 : 15, 19};
            const int32_t path[10] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1};
            for (int32_t row = 0; row < rows; row += s.bellStep, ++bellIndex) {
                const int32_t note = base + up[path[bellIndex % 10]];
                const uint8_t accent = (uint8_t)(row % rowsPerBeat == 0 ? 8 : 0);
                g.note(start + row, chBell, (uint8_t)note, insBell, s.bellVolume + accent);
            }
        }
        start += rows;
    }
}

void writeMelody(const Section& s, Grid& g) {
    for (size_t i = 0; i < s.melody.size(); ++i) {
        const Tone& t = s.melody[i];
        g.note(t.row, chLead, t.note, insLead, 48);
        // An echo an eighth later, softer and on the other side.
        g.note(t.row + 3, chEcho, t.note, insLead, 18);
        const bool legato = i + 1 < s.melody.size() && s.melody[i + 1].row == t.row + t.length;
        if (!legato) {
            g.off(t.row + t.length, chLead);
            g.off(t.row + t.length + 3, chEcho);
        }
    }
}

// Fades the whole song over the second half of the section with global volume slides.
void writeFade(const Section& s, Grid& g) {
    const int32_t rows = s.beats * rowsPerBeat;
    for (int32_t row = rows / 2; row < rows; ++row) {
        ItCell& c = g.at(row, chCrash);
        c.effect = itEffect('W');
        c.param = 0x01; // one step of 128 per tick: silent after 32 rows
    }
}
} // namespace

ItModule composeMusic() {
    ItModule m;
    m.title = "Lanternwhirl";
    m.initialSpeed = 5;
    m.initialTempo = 150;
    m.rowsPerBeat = rowsPerBeat;
    m.rowsPerMeasure = 4 * rowsPerBeat;
    m.globalVolume = 128;
    m.mixVolume = 56;
    const uint8_t pans[channelCount] = {32, 36, 44, 26, 32, 14, 32, 50, 24, 44, 40};
    const uint8_t volumes[channelCount] = {64, 64, 52, 48, 36, 36, 36, 36, 38, 38, 48};
    for (int32_t ch = 0; ch < channelCount; ++ch) {
        m.channelPan[ch] = pans[ch];
        m.channelVolume[ch] = volumes[ch];
    }

    m.samples = {kick(), snare(), hat(), crash(), bass(), pad(), lead(), bell()};
    // Ticks last 1/60 s: envelope times below are in sixtieths of a second.
    m.instruments = {
        instrument("kick", 1, 0, 0, {}, -1),
        instrument("snare", 2, 0, 0, {}, -1),
        instrument("hat", 3, 0, 0, {}, -1),
        instrument("crash", 4, 0, 1, {}, -1),
        instrument("bass", 5, 96, 2, {{0, 64}, {6, 52}, {12, 44}}, 2),
        instrument("pad", 6, 20, 3, {{0, 12}, {24, 64}, {60, 56}}, 2),
        instrument("lead", 7, 40, 2, {{0, 40}, {3, 64}, {12, 50}}, 2),
        instrument("bell", 8, 0, 1, {}, -1),
    };

    const std::vector<Section> sections = score();
    for (const Section& s : sections) {
        Grid g{s.beats * rowsPerBeat, {}};
        g.cells.assign((size_t)g.rows * channelCount, ItCell{});
        writeDrums(s, g);
        writeHarmony(s, g);
        writeMelody(s, g);
        // Held notes end with their phrase: a voice with nothing new to play is released.
        for (int32_t ch : {chBass, chLead, chEcho})
            g.off(0, ch);
        if (s.fade) writeFade(s, g);
        // Patterns hold at most 200 rows: long sections are cut into equal halves on a beat.
        const int32_t pieces = g.rows > 200 ? 2 : 1;
        const int32_t piece = g.rows / pieces;
        for (int32_t k = 0; k < pieces; ++k) {
            ItPattern p = makeItPattern(piece, channelCount);
            std::copy(g.cells.begin() + (size_t)k * piece * channelCount,
                      g.cells.begin() + (size_t)(k + 1) * piece * channelCount, p.cells.begin());
            m.orders.push_back((uint8_t)m.patterns.size());
            m.patterns.push_back(std::move(p));
        }
    }
    return m;
}

bool bakeMusic(const char* path) {
    return writeItFile(composeMusic(), path);
}
