// A small JSON text builder for the inspector: numbers that read back exactly, strings with
// every byte a JSON reader accepts, and the 64-bit FNV-1a hash the dumps print.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Appends a JSON string literal; control characters, quotes, backslashes and bytes above
// 0x7F are escaped as \uXXXX (a byte above 0x7F as the code point of the same value), so the
// output is valid UTF-8 whatever the file held.
void appendJsonString(std::string& out, const char* s);
// %.9g, so that a 32-bit float reads back exactly; NaN and infinities, which JSON cannot
// hold, are written as null.
void appendJsonFloat(std::string& out, float v);
void appendJsonInt(std::string& out, long long v);

uint64_t fnv1a64(const uint8_t* bytes, size_t n);
// 16 lowercase hex digits in quotes, or null when bytes is null.
void appendJsonHash(std::string& out, const uint8_t* bytes, size_t n);
