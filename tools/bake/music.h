// The show's music: an Impulse Tracker module made from synthesised samples.
#pragma once

// Writes the module to path; false (with a perror-style report) when the file cannot be written.
bool bakeMusic(const char* path);
