// The sound module's output on SDL: the default audio device, pulled by SDL's audio callback.
#include "platform/sound_device.h"

#include <SDL.h>

#include <cstdio>

namespace {
// At most this many frames wait in the device's buffer, so music starts within ~25 ms at
// 44100 Hz of the call that starts it.
const int32_t bufferFrames = 1024;

bool audioSubsystem = false;
SDL_AudioDeviceID device = 0;

// Runs on SDL's audio thread, with SDL's device lock held.
void audioCallback(void*, Uint8* stream, int len) {
    mixSound(reinterpret_cast<float*>(stream), len / (int32_t)(2 * sizeof(float)));
}
} // namespace

bool openSoundDevice(int32_t mixRate, int32_t& deviceRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "sound: %s\n", SDL_GetError());
        return false;
    }
    audioSubsystem = true;

    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = mixRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = bufferFrames;
    want.callback = audioCallback;
    SDL_AudioSpec have;
    // SDL converts format, channels and buffer size for us; only the rate may differ.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        fprintf(stderr, "sound: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioSubsystem = false;
        return false;
    }
    deviceRate = have.freq;
    return true;
}

void lockSoundDevice() {
    if (device != 0) SDL_LockAudioDevice(device);
}

void unlockSoundDevice() {
    if (device != 0) SDL_UnlockAudioDevice(device);
}

void startSoundDevice() {
    if (device != 0) SDL_PauseAudioDevice(device, 0);
}

void closeSoundDevice() {
    if (device != 0) {
        // Closing waits for the callback to finish.
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (audioSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioSubsystem = false;
    }
}
