#include "platform/module_render.h"

#include "platform/song.h"
#include "platform/sound.h"

#include <libopenmpt/libopenmpt.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {
// The song and the hall, mixed in chunks as the demo's audio output mixes them; the first
// skipFrames are dropped, the next sampleFrames converted to 16 bits into dest.
void mix(openmpt_module* module, Reverb& reverb, int32_t sampleRate, int64_t skipFrames,
         int64_t sampleFrames, int16_t* dest) {
    constexpr int32_t chunk = 4096;
    float buffer[2 * chunk];
    int64_t position = 0;
    const int64_t total = skipFrames + sampleFrames;
    while (position < total) {
        const int32_t frames = total - position < chunk ? int32_t(total - position) : chunk;
        if (mixSong(module, reverb, sampleRate, buffer, frames) < frames)
            module = nullptr; // the song has ended; the tail of the hall rings on
        for (int32_t i = 0; i < frames; ++i) {
            const int64_t at = position + i - skipFrames;
            if (at < 0) continue;
            for (int c = 0; c < 2; ++c) {
                float v = buffer[2 * i + c] * 32767.0f;
                v = v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v;
                dest[2 * at + c] = (int16_t)lrintf(v);
            }
        }
        position += frames;
    }
}
} // namespace

bool renderModule(const char* path, int32_t sampleRate, int64_t skipFrames, int64_t sampleFrames,
                  std::vector<int16_t>& out) {
    out.clear();
    if (sampleRate <= 0 || skipFrames < 0 || sampleFrames < 0) {
        errno = EINVAL;
        perror("rendermodule");
        return false;
    }
    std::vector<char> bytes;
    int32_t error = soundOk;
    if (!readSongFile(path, bytes, error)) return false;
    openmpt_module* module = openSong(bytes, path, error);
    if (!module) return false;
    // As the demo plays it: once through, in the hall the entry sets up.
    Reverb reverb;
    initReverb(reverb, sampleRate);
    setReverb(reverb, showHallVolume, showHallDecay, showHallDamping);
    out.assign((size_t)(2 * sampleFrames), 0);
    mix(module, reverb, sampleRate, skipFrames, sampleFrames, out.data());
    openmpt_module_destroy(module);
    return true;
}
