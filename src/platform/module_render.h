// Offline rendering of the music module for the capture tool: the same module the demo plays,
// mixed by libopenmpt straight into memory instead of an audio device.
#pragma once
#include <cstdint>
#include <vector>

// Renders the module at path (a demo path such as "data//s2.it") as 16-bit interleaved stereo
// at sampleRate: the first skipFrames sample frames are mixed and dropped, so the result starts
// exactly there, then sampleFrames frames go to out (2 × sampleFrames values). It sounds as
// the demo plays it: once through, then silence, all of it through the show's hall (sound.h),
// in the same mix as the demo's audio output. False, with a perror-style report on standard
// error, when the file cannot be read or is not a module.
bool renderModule(const char* path, int32_t sampleRate, int64_t skipFrames, int64_t sampleFrames,
                  std::vector<int16_t>& out);
