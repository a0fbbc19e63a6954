// The texts of the sound library's error codes.
#pragma once
#include <cstdint>

// The code is compared as an unsigned number: anything above 18, negative codes included,
// gives "Unknown error".
const char* soundErrorText(int32_t code);
