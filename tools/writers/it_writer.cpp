#include "it_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
const size_t headerSize = 192;
const size_t sampleHeaderSize = 80;
const size_t instrumentHeaderSize = 554;
const uint16_t formatVersion = 0x0214;

struct Bytes {
    std::vector<uint8_t> data;
    void u8(uint8_t v) { data.push_back(v); }
    void u16(uint16_t v) {
        u8((uint8_t)v);
        u8((uint8_t)(v >> 8));
    }
    void u32(uint32_t v) {
        u16((uint16_t)v);
        u16((uint16_t)(v >> 16));
    }
    // A fixed-size text field, cut to leave its terminating zero.
    void text(const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i)
            u8(i + 1 < size && i < s.size() ? (uint8_t)s[i] : 0);
    }
    void zeros(size_t n) { data.insert(data.end(), n, 0); }
    void put32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = (uint8_t)(v >> (8 * i));
    }
};

int32_t channelCount(const ItModule& m) {
    int32_t n = 1;
    for (const ItPattern& p : m.patterns)
        if (p.channels > n) n = p.channels;
    return n;
}

bool valid(const ItModule& m) {
    if (m.patterns.size() > 200 || m.samples.size() > 99 || m.instruments.size() > 99) return false;
    if (m.orders.size() > 254 || m.initialSpeed == 0 || m.initialTempo < 32) return false;
    for (uint8_t o : m.orders)
        if (o != 254 && o >= m.patterns.size()) return false;
    for (const ItPattern& p : m.patterns)
        if (p.rows < 1 || p.rows > 200 || p.channels < 1 || p.channels > 64 ||
            p.cells.size() != (size_t)p.rows * p.channels)
            return false;
    for (const ItSample& s : m.samples) {
        if (s.loop &&
            (s.loopBegin < 0 || s.loopEnd <= s.loopBegin || (size_t)s.loopEnd > s.pcm.size()))
            return false;
        if (s.pcm.size() > 0x7FFFFFF || s.c5Speed < 0) return false;
    }
    for (const ItInstrument& ins : m.instruments) {
        if (ins.sample < 1 || ins.sample > m.samples.size()) return false;
        if (ins.volumeEnvelope.size() > 25) return false;
        // Nodes start at tick 0 and move forward; players walk them in that order.
        for (size_t i = 0; i < ins.volumeEnvelope.size(); ++i) {
            const ItEnvelopeNode& n = ins.volumeEnvelope[i];
            if (n.value < 0 || n.value > 64) return false;
            if (i == 0 ? n.tick != 0 : n.tick <= ins.volumeEnvelope[i - 1].tick) return false;
        }
        if (ins.sustainNode >= (int32_t)ins.volumeEnvelope.size()) return false;
    }
    return true;
}

// Packs one pattern's cells: each row lists its non-empty channels and ends with a zero byte.
// A channel's mask byte is left out when it repeats the channel's previous mask.
bool packPattern(const ItPattern& p, Bytes& out) {
    Bytes packed;
    int32_t lastMask[64];
    for (int32_t& m : lastMask)
        m = -1;
    for (int32_t row = 0; row < p.rows; ++row) {
        for (int32_t ch = 0; ch < p.channels; ++ch) {
            const ItCell& c = p.cells[(size_t)row * p.channels + ch];
            uint8_t mask = 0;
            if (c.note != itNoNote) mask |= 0x01;
            if (c.instrument != 0) mask |= 0x02;
            if (c.volume != itNoVolume) mask |= 0x04;
            if (c.effect != 0) mask |= 0x08;
            if (mask == 0) continue;
            if (mask == lastMask[ch]) {
                packed.u8((uint8_t)(ch + 1));
            } else {
                packed.u8((uint8_t)((ch + 1) | 0x80));
                packed.u8(mask);
                lastMask[ch] = mask;
            }
            if (mask & 0x01) packed.u8(c.note);
            if (mask & 0x02) packed.u8(c.instrument);
            if (mask & 0x04) packed.u8(c.volume);
            if (mask & 0x08) {
                packed.u8(c.effect);
                packed.u8(c.param);
            }
        }
        packed.u8(0);
    }
    if (packed.data.size() + 8 >= 65536) return false;
    out.u16((uint16_t)packed.data.size());
    out.u16((uint16_t)p.rows);
    out.zeros(4);
    out.data.insert(out.data.end(), packed.data.begin(), packed.data.end());
    return true;
}

void writeInstrument(const ItInstrument& ins, Bytes& out) {
    out.text("IMPI", 5); // magic; the fifth byte starts the empty file name
    out.data.pop_back();
    out.zeros(13);
    out.u8(ins.newNoteAction);
    out.u8(0); // duplicate check off
    out.u8(0);
    out.u16(ins.fadeOut);
    out.u8(0);  // pitch-pan separation
    out.u8(60); // pitch-pan centre
    out.u8(ins.globalVolume);
    out.u8(0xA0); // no default pan
    out.u8(0);    // random volume
    out.u8(0);    // random pan
    out.zeros(4); // tracker version, sample count, reserved
    out.text(ins.name, 26);
    out.u8(0);    // filter cutoff off
    out.u8(0);    // filter resonance off
    out.u8(0);    // MIDI channel
    out.u8(0xFF); // MIDI program
    out.u16(0xFFFF);
    for (int32_t note = 0; note < 120; ++note) {
        out.u8((uint8_t)note);
        out.u8(ins.sample);
    }
    // Volume envelope, then the pan and pitch envelopes left off.
    const size_t nodes = ins.volumeEnvelope.size();
    uint8_t flags = nodes > 0 ? 0x01 : 0;
    if (nodes > 0 && ins.sustainNode >= 0) flags |= 0x04;
    out.u8(flags);
    out.u8((uint8_t)nodes);
    out.u8(0);
    out.u8(0);
    out.u8(ins.sustainNode >= 0 ? (uint8_t)ins.sustainNode : 0);
    out.u8(ins.sustainNode >= 0 ? (uint8_t)ins.sustainNode : 0);
    for (size_t i = 0; i < 25; ++i) {
        const ItEnvelopeNode n = i < nodes ? ins.volumeEnvelope[i] : ItEnvelopeNode{0, 0};
        out.u8((uint8_t)n.value);
        out.u16(n.tick);
    }
    out.u8(0);
    out.zeros(2 * 82 + 4); // pan and pitch envelopes off, padding
}

void writeSampleHeader(const ItSample& s, uint32_t dataOffset, Bytes& out) {
    out.text("IMPS", 5);
    out.data.pop_back();
    out.zeros(13);
    out.u8(s.globalVolume);
    uint8_t flags = 0x02; // 16-bit
    if (!s.pcm.empty()) flags |= 0x01;
    if (s.loop) flags |= 0x10;
    if (s.loop && s.pingPong) flags |= 0x40;
    out.u8(flags);
    out.u8(s.defaultVolume);
    out.text(s.name, 26);
    out.u8(0x01); // signed samples
    out.u8(32);   // default pan not used
    out.u32((uint32_t)s.pcm.size());
    out.u32(s.loop ? (uint32_t)s.loopBegin : 0);
    out.u32(s.loop ? (uint32_t)s.loopEnd : 0);
    out.u32((uint32_t)s.c5Speed);
    out.u32(0);
    out.u32(0);
    out.u32(dataOffset);
    out.u8(s.vibratoSpeed);
    out.u8(s.vibratoDepth);
    out.u8(s.vibratoRate);
    out.u8(0); // sine
}
} // namespace

ItPattern makeItPattern(int32_t rows, int32_t channels) {
    ItPattern p;
    p.rows = rows;
    p.channels = channels;
    p.cells.assign((size_t)(rows > 0 ? rows : 0) * (channels > 0 ? channels : 0), ItCell{});
    return p;
}

ItCell& itCell(ItPattern& pattern, int32_t row, int32_t channel) {
    return pattern.cells.at((size_t)row * pattern.channels + channel);
}

std::vector<uint8_t> writeItModule(const ItModule& m) {
    if (!valid(m)) return {};
    const int32_t channels = channelCount(m);
    std::vector<uint8_t> orders = m.orders;
    orders.push_back(255);
    if (orders.size() < 2) orders.push_back(255);

    Bytes out;
    out.text("IMPM", 5);
    out.data.pop_back();
    out.text(m.title, 26);
    out.u8(m.rowsPerBeat);
    out.u8(m.rowsPerMeasure);
    out.u16((uint16_t)orders.size());
    out.u16((uint16_t)m.instruments.size());
    out.u16((uint16_t)m.samples.size());
    out.u16((uint16_t)m.patterns.size());
    out.u16(formatVersion);
    out.u16(formatVersion);
    uint16_t flags = 0x01; // stereo
    if (m.linearSlides) flags |= 0x08;
    if (!m.instruments.empty()) flags |= 0x04;
    out.u16(flags);
    out.u16(0x0004); // highlight bytes valid; no message, history or MIDI block
    out.u8(m.globalVolume);
    out.u8(m.mixVolume);
    out.u8(m.initialSpeed);
    out.u8(m.initialTempo);
    out.u8(128); // separation
    out.u8(0);
    out.u16(0);
    out.u32(0);
    out.u32(0);
    for (int32_t ch = 0; ch < 64; ++ch)
        out.u8(ch < channels ? m.channelPan[ch] : 0xA0);
    for (int32_t ch = 0; ch < 64; ++ch)
        out.u8(ch < channels ? m.channelVolume[ch] : 64);
    out.data.insert(out.data.end(), orders.begin(), orders.end());

    // Pointer tables, filled in once each block's place is known.
    const size_t instrumentTable = out.data.size();
    const size_t sampleTable = instrumentTable + 4 * m.instruments.size();
    const size_t patternTable = sampleTable + 4 * m.samples.size();
    out.zeros(4 * (m.instruments.size() + m.samples.size() + m.patterns.size()));

    for (size_t i = 0; i < m.instruments.size(); ++i) {
        out.put32(instrumentTable + 4 * i, (uint32_t)out.data.size());
        writeInstrument(m.instruments[i], out);
    }
    std::vector<size_t> sampleHeaders;
    for (size_t i = 0; i < m.samples.size(); ++i) {
        out.put32(sampleTable + 4 * i, (uint32_t)out.data.size());
        sampleHeaders.push_back(out.data.size());
        writeSampleHeader(m.samples[i], 0, out);
    }
    for (size_t i = 0; i < m.patterns.size(); ++i) {
        out.put32(patternTable + 4 * i, (uint32_t)out.data.size());
        if (!packPattern(m.patterns[i], out)) return {};
    }
    for (size_t i = 0; i < m.samples.size(); ++i) {
        out.put32(sampleHeaders[i] + 0x48, (uint32_t)out.data.size());
        for (int16_t v : m.samples[i].pcm)
            out.u16((uint16_t)v);
    }
    if (out.data.size() > 0xFFFFFFFFu) return {};
    return out.data;
}

bool writeItFile(const ItModule& module, const char* path) {
    const std::vector<uint8_t> bytes = writeItModule(module);
    if (bytes.empty()) {
        errno = EINVAL;
        perror("itmodule");
        return false;
    }
    FILE* f = fopen(path, "wb");
    if (!f) {
        perror(path);
        return false;
    }
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = fclose(f) == 0;
    if (!ok || !closed) {
        perror(path);
        return false;
    }
    return true;
}
