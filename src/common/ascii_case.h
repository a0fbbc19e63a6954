// Names compare without regard to letter case the way a Windows disk compares them: only the
// ASCII letters A-Z and a-z fold. strcasecmp folds by the user's locale, which GTK sets when
// the setup dialog starts, and under a Turkish locale "I" and "i" are not the same letter.
#pragma once

inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

inline bool equalIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (asciiLower(*a) != asciiLower(*b)) return false;
    return *a == *b;
}
