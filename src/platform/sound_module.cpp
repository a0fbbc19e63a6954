// The sound module on top of a platform's audio output (sound_device.h): libopenmpt renders the
// playing module, the hall reverb rings after it.
#include "platform/sound.h"

#include "platform/files.h"
#include "platform/reverb.h"
#include "platform/song.h"
#include "platform/sound_device.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

struct MusicModule {
    openmpt_module* module = nullptr;
};

namespace {
// The highest EAX 1.0 environment number (psychotic); 7 is the concert hall.
const int32_t lastEnvironment = 25;

struct SoundState {
    int32_t output = soundOutputAutomatic;
    int32_t lastError = soundOk;
    bool initialised = false;
    int32_t deviceRate = 0;
    std::vector<MusicModule*> modules; // every loaded module; released by soundClose
    // Shared with the device's thread; changed only while the device is locked.
    MusicModule* playing = nullptr;
    Reverb reverb;
};

SoundState sound;

bool fail(int32_t code) {
    sound.lastError = code;
    return false;
}

void quietLog(const char*, void*) {}
} // namespace

bool readSongFile(const char* path, std::vector<char>& data, int32_t& error) {
    auto fail = [&error](int32_t code) {
        error = code;
        return false;
    };
    // Only a plain file is a song: a directory cannot be read, and opening a FIFO or a device
    // could wait forever. Checked before opening for that reason.
    struct stat st;
    const std::string host = hostPath(path);
    if (stat(host.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        perror(path);
        return fail(soundErrorFileLoad);
    }
    errno = 0;
    FILE* f = openFile(path, "rb");
    if (!f) {
        const int openError = errno; // perror may change errno while writing
        perror(path);
        return fail(openError == ENOENT || openError == ENOTDIR ? soundErrorFileNotFound
                                                                : soundErrorFileLoad);
    }
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        perror(path);
        fclose(f);
        return fail(soundErrorFileLoad);
    }
    try {
        data.resize((size_t)st.st_size);
    } catch (const std::exception&) {
        errno = ENOMEM;
        perror(path);
        fclose(f);
        return fail(soundErrorMemory);
    }
    const size_t got = data.empty() ? 0 : fread(data.data(), 1, data.size(), f);
    const bool broken = got != data.size() || ferror(f);
    if (broken) perror(path);
    fclose(f);
    return broken ? fail(soundErrorFileLoad) : true;
}

openmpt_module* openSong(const std::vector<char>& data, const char* path, int32_t& error) {
    int openmptError = OPENMPT_ERROR_OK;
    openmpt_module* module = openmpt_module_create_from_memory2(
        data.data(), data.size(), quietLog, nullptr, openmpt_error_func_ignore, nullptr,
        &openmptError, nullptr, nullptr);
    if (!module) {
        fprintf(stderr, "%s: not a module this player takes\n", path);
        error = openmptError == OPENMPT_ERROR_OUT_OF_MEMORY ? soundErrorMemory : soundErrorFormat;
        return nullptr;
    }
    // The song plays once; the show ends with it.
    openmpt_module_set_repeat_count(module, 0);
    return module;
}

int32_t mixSong(openmpt_module* module, Reverb& reverb, int32_t rate, float* out,
                int32_t frames) {
    int32_t done = 0;
    if (module)
        done = (int32_t)openmpt_module_read_interleaved_float_stereo(module, rate, (size_t)frames,
                                                                     out);
    if (done < frames) std::memset(out + 2 * done, 0, (size_t)(frames - done) * 2 * sizeof(float));
    // The tail rings on after the song has ended, as in a real hall.
    processReverb(reverb, out, frames);
    return done;
}

void mixSound(float* out, int32_t frames) {
    mixSong(sound.playing ? sound.playing->module : nullptr, sound.reverb, sound.deviceRate, out,
            frames);
}

void skipSound(int32_t frames) {
    if (!sound.playing || frames <= 0 || sound.deviceRate <= 0) return;
    openmpt_module* module = sound.playing->module;
    const double target =
        openmpt_module_get_position_seconds(module) + double(frames) / sound.deviceRate;
    // A seek lands on the start of a row, which may lie on either side of the time asked for:
    // it goes to half a second before, and the rest of the way is rendered and dropped.
    openmpt_module_set_position_seconds(module, std::max(0.0, target - 0.5));
    int64_t rest =
        std::llround((target - openmpt_module_get_position_seconds(module)) * sound.deviceRate);
    float scratch[2 * 512];
    while (rest > 0) {
        const size_t n = size_t(std::min<int64_t>(rest, 512));
        if (openmpt_module_read_interleaved_float_stereo(module, sound.deviceRate, n, scratch) == 0)
            break;
        rest -= int64_t(n);
    }
}

int32_t soundGetOutput() {
    return sound.output;
}

bool soundSetOutput(int32_t outputType) {
    if (sound.initialised) return fail(soundErrorBusy);
    if (outputType != soundOutputAutomatic) return fail(soundErrorInvalidParam);
    sound.output = outputType;
    return true;
}

bool soundInit(int32_t mixRate, int32_t maxChannels, uint32_t) {
    if (sound.initialised) return fail(soundErrorBusy);
    if (mixRate < 4000 || mixRate > 192000 || maxChannels < 1 || maxChannels > 1024)
        return fail(soundErrorInvalidParam);
    int32_t deviceRate = 0;
    if (!openSoundDevice(mixRate, deviceRate)) return fail(soundErrorInit);
    // The module and the hall are rendered at whatever rate the device runs.
    try {
        lockSoundDevice();
        sound.deviceRate = deviceRate;
        initReverb(sound.reverb, deviceRate);
        unlockSoundDevice();
    } catch (const std::exception&) {
        unlockSoundDevice();
        closeSoundDevice();
        sound.deviceRate = 0;
        return fail(soundErrorMemory);
    }
    sound.initialised = true;
    sound.lastError = soundOk;
    return true;
}

int32_t soundGetError() {
    return sound.lastError;
}

MusicModule* musicLoadSong(const char* path) {
    if (!sound.initialised) {
        fail(soundErrorUninitialized);
        return nullptr;
    }
    if (!path) {
        fail(soundErrorInvalidParam);
        return nullptr;
    }
    std::vector<char> data;
    if (!readSongFile(path, data, sound.lastError)) return nullptr;

    MusicModule* music = new (std::nothrow) MusicModule;
    if (!music) {
        fail(soundErrorMemory);
        return nullptr;
    }
    music->module = openSong(data, path, sound.lastError);
    if (!music->module) {
        delete music;
        return nullptr;
    }
    try {
        sound.modules.push_back(music);
    } catch (const std::exception&) {
        openmpt_module_destroy(music->module);
        delete music;
        fail(soundErrorMemory);
        return nullptr;
    }
    return music;
}

bool musicPlaySong(MusicModule* module) {
    if (!sound.initialised) return fail(soundErrorUninitialized);
    // Only a module loaded since init is still alive; anything else would be read after free.
    if (std::find(sound.modules.begin(), sound.modules.end(), module) == sound.modules.end())
        return fail(soundErrorInvalidParam);
    lockSoundDevice();
    openmpt_module_set_position_seconds(module->module, 0.0);
    sound.playing = module;
    unlockSoundDevice();
    startSoundDevice();
    return true;
}

bool soundSetReverbEnvironment(int32_t environment, float volume, float decay, float damping) {
    if (!sound.initialised) return fail(soundErrorUninitialized);
    if (environment < 0 || environment > lastEnvironment) return fail(soundErrorInvalidParam);
    // Every environment is rendered by the same hall network; the three values shape it.
    lockSoundDevice();
    setReverb(sound.reverb, volume, decay, damping);
    unlockSoundDevice();
    return true;
}

void soundClose() {
    // Closing waits for the mixing to finish, so the modules are free to go after it.
    closeSoundDevice();
    sound.playing = nullptr;
    for (MusicModule* music : sound.modules) {
        openmpt_module_destroy(music->module);
        delete music;
    }
    sound.modules.clear();
    sound.initialised = false;
    sound.deviceRate = 0;
}
