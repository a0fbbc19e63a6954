#include "platform/module_render.h"

#include "platform/files.h"
#include "platform/reverb.h"

#include <libopenmpt/libopenmpt.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr size_t maxModuleBytes = 64u << 20;

// Reads the whole file; false with errno set on failure.
bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    FILE* f = openFile(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t got;
    bool ok = true;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) {
        // No tracker module comes near this; anything larger (a device, say) is not one.
        if (bytes.size() + got > maxModuleBytes) {
            errno = EFBIG;
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (ferror(f)) ok = false;
    int saved = errno;
    fclose(f);
    errno = saved;
    return ok;
}

// Mixes the module and the hall as the demo's audio callback does, in chunks; the first
// skipFrames are dropped, the next sampleFrames converted to 16 bits into dest.
void mix(openmpt_module* module, Reverb& reverb, int32_t sampleRate, int64_t skipFrames,
         int64_t sampleFrames, int16_t* dest) {
    constexpr int64_t chunk = 4096;
    float buffer[2 * chunk];
    int64_t position = 0;
    const int64_t total = skipFrames + sampleFrames;
    while (position < total) {
        const int64_t frames = total - position < chunk ? total - position : chunk;
        size_t got = module ? openmpt_module_read_interleaved_float_stereo(module, sampleRate,
                                                                           (size_t)frames, buffer)
                            : 0;
        if ((int64_t)got < frames) {
            memset(buffer + 2 * got, 0, (size_t)(frames - (int64_t)got) * 2 * sizeof(float));
            module = nullptr; // the song has ended; the tail of the hall rings on
        }
        processReverb(reverb, buffer, (int32_t)frames);
        for (int64_t i = 0; i < frames; ++i) {
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
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        perror("rendermodule");
        return false;
    }
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, &error, nullptr, nullptr);
    if (!module) {
        const char* text = openmpt_error_string(error);
        fprintf(stderr, "rendermodule: %s\n", text ? text : "not a module");
        openmpt_free_string(text);
        return false;
    }
    // As the demo plays it: once through, with the concert-hall reverb the entry sets up.
    openmpt_module_set_repeat_count(module, 0);
    Reverb reverb;
    initReverb(reverb, sampleRate);
    setReverb(reverb, 0.5f, 10.0f, 0.3f);
    out.assign((size_t)(2 * sampleFrames), 0);
    mix(module, reverb, sampleRate, skipFrames, sampleFrames, out.data());
    openmpt_module_destroy(module);
    return true;
}
