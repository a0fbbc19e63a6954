#include "platform/win32_rules/keys.h"

namespace {
uint32_t upper(uint32_t c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    // Latin-1's lower-case letters, less the two without a capital there.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    return c;
}

bool letterOrDigit(uint32_t c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    // Beyond ASCII, anything printable counts: letters of other scripts type themselves.
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}
} // namespace

uint32_t textMnemonic(const char* text) {
    for (const char* p = text; p && *p; ++p) {
        if (*p != '&') continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return p[1] ? upper(static_cast<unsigned char>(p[1])) : 0;
    }
    return 0;
}

uint32_t keyMnemonic(const KeyEvent& key) {
    if (letterOrDigit(key.character)) return upper(key.character);
    return key.placeLetter;
}
