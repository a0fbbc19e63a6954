#include "resources/png_file.h"

#include <cstdio>

namespace {
uint32_t crcTable[256];

void makeCrcTable() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTable[n] = c;
    }
}

uint32_t crc32(const uint8_t* data, size_t length) {
    if (crcTable[1] == 0) makeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = crcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putBig32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putBig32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(out.data() + start, out.size() - start));
}
} // namespace

std::vector<uint8_t> encodePng(const uint8_t* rgba, int32_t width, int32_t height) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!rgba || width <= 0 || height <= 0) return {};

    std::vector<uint8_t> header;
    putBig32(header, uint32_t(width));
    putBig32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    putChunk(out, "IHDR", header);

    // Each row: filter type 0, then the pixels.
    std::vector<uint8_t> raw;
    size_t rowBytes = size_t(width) * 4;
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba + y * rowBytes, rgba + (y + 1) * rowBytes);
    }

    // zlib stream of stored blocks of at most 65535 bytes, then the Adler-32 of the data.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(z, (b << 16) | a);
    putChunk(out, "IDAT", z);
    putChunk(out, "IEND", {});
    return out;
}

bool writePngFile(const char* path, const uint8_t* rgba, int32_t width, int32_t height) {
    std::vector<uint8_t> bytes = encodePng(rgba, width, height);
    FILE* f = bytes.empty() ? nullptr : fopen(path, "wb");
    if (!f) {
        perror(path);
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (fclose(f) != 0) ok = false;
    if (!ok) perror(path);
    return ok;
}
