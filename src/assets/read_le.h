// Checked little-endian reads for the loaders: every read says whether the file delivered all
// its bytes, so a file cut short is rejected instead of being read as garbage.
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/types.h>

#include "common/types.h"

// Closes the file a path entry opened, however its loader returns.
struct FileCloser {
    FILE* f;
    ~FileCloser() {
        if (f) fclose(f);
    }
};

inline bool readExact(FILE* f, void* out, size_t n) {
    return fread(out, 1, n, f) == n;
}

inline bool readU8(FILE* f, uint8_t& v) {
    return readExact(f, &v, 1);
}

inline bool readI8(FILE* f, int8_t& v) {
    uint8_t b;
    if (!readU8(f, b)) return false;
    v = static_cast<int8_t>(b);
    return true;
}

inline bool readI16(FILE* f, int16_t& v) {
    uint8_t b[2];
    if (!readExact(f, b, 2)) return false;
    v = static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    return true;
}

inline bool readF32(FILE* f, float& v) {
    uint8_t b[4];
    if (!readExact(f, b, 4)) return false;
    uint32_t bits =
        uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    memcpy(&v, &bits, 4);
    return true;
}

inline bool readVector3(FILE* f, Vector3& v) {
    return readF32(f, v.x) && readF32(f, v.y) && readF32(f, v.z);
}

// Reads a zero-terminated string of at most maxLength bytes before the zero into out (which
// holds maxLength + 1 bytes). Sets errno and returns false when the file ends first
// (ENODATA) or the string is longer (ENAMETOOLONG); length receives the bytes kept.
inline bool readString(FILE* f, char* out, size_t maxLength, size_t& length) {
    length = 0;
    for (;;) {
        int c = fgetc(f);
        if (c == EOF) {
            if (!ferror(f)) errno = ENODATA;
            out[length] = 0;
            return false;
        }
        if (c == 0) break;
        if (length == maxLength) {
            errno = ENAMETOOLONG;
            out[length] = 0;
            return false;
        }
        out[length++] = static_cast<char>(c);
    }
    out[length] = 0;
    return true;
}

// Bytes between the read position and the end of the stream: a file, or bytes in memory
// (fmemopen). A count whose records could not fit in them marks a file cut short, found
// before anything is allocated for the records. A stream that cannot seek (a pipe) says
// nothing, and its reads find the end instead.
inline int64_t bytesLeft(FILE* f) {
    off_t pos = ftello(f);
    if (pos < 0 || fseeko(f, 0, SEEK_END) != 0) return INT64_MAX;
    off_t end = ftello(f);
    if (fseeko(f, pos, SEEK_SET) != 0) return INT64_MAX;
    return end < pos ? 0 : int64_t(end) - pos;
}

// True when the stream still holds count records of recordBytes bytes each.
inline bool holds(FILE* f, int64_t count, int64_t recordBytes) {
    return count * recordBytes <= bytesLeft(f);
}

// The report of a failed read: ENODATA when the file simply ended, else the stream's error.
inline void reportCutShort(FILE* f, const char* label) {
    if (!ferror(f)) errno = ENODATA;
    perror(label);
}

// The report of a value the format cannot hold (a negative count, an index outside its array).
inline void reportBadValue(const char* label, int error) {
    errno = error;
    perror(label);
}
