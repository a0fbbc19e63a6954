#include "json_out.h"

#include <cmath>
#include <cstdio>

void appendJsonString(std::string& out, const char* s) {
    out += '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        unsigned char c = *p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c > 0x7E) {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
            out += buf;
        } else {
            out += char(c);
        }
    }
    out += '"';
}

void appendJsonFloat(std::string& out, float v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[32];
    snprintf(buf, sizeof buf, "%.9g", double(v));
    out += buf;
}

void appendJsonInt(std::string& out, long long v) {
    out += std::to_string(v);
}

uint64_t fnv1a64(const uint8_t* bytes, size_t n) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < n; ++i) {
        h ^= bytes[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

void appendJsonHash(std::string& out, const uint8_t* bytes, size_t n) {
    if (!bytes) {
        out += "null";
        return;
    }
    char buf[24];
    snprintf(buf, sizeof buf, "\"%016llx\"", static_cast<unsigned long long>(fnv1a64(bytes, n)));
    out += buf;
}
