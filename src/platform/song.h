// The show's song as the sound module and the offline render both take it: the file read as a
// hostile one, the module that plays it once through, and the one mix of the module and the
// hall, so that the capture tool hears exactly what the demo's audio output plays.
#pragma once
#include "platform/reverb.h"

#include <cstdint>
#include <vector>

struct openmpt_module;

// The whole file at a demo path; false, with a perror-style report and the sound error code
// (sound.h) in error, when it is not a plain readable file.
bool readSongFile(const char* path, std::vector<char>& data, int32_t& error);
// The module of the bytes, set to play once; null, with the error code, when the player does
// not take them.
openmpt_module* openSong(const std::vector<char>& data, const char* path, int32_t& error);
// frames of interleaved float stereo: the module (null once it has ended) and the hall ringing
// on after it. The frames the module gave; fewer than asked means it has ended.
int32_t mixSong(openmpt_module* module, Reverb& reverb, int32_t rate, float* out, int32_t frames);
