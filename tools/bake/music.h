// The show's music: an Impulse Tracker module made from synthesised samples.
#pragma once
#include "it_writer.h"

// The whole song as records: samples, instruments, patterns and orders. The same every call.
ItModule composeMusic();

// Writes the module to path; false (with a perror-style report) when the file cannot be written.
bool bakeMusic(const char* path);
