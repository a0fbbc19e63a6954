// The program's entry: the setup dialog, the sound library and music, the render window and
// the main loop. Returns the process exit code.
#pragma once
#include <cstdint>

struct MusicModule;
extern MusicModule* musicModule;

// firstFrame and endFrame are scene 1's frame range, known once the window's start-up has
// bound its animation; drawFrame draws one frame of the show.
int runEntry(const int32_t& firstFrame, const int32_t& endFrame, bool (*drawFrame)());
