// The sound module's output in a web page: Web Audio. The page keeps a quarter of a second of
// music queued ahead of what is heard, as buffers played back to back, and asks the mixer for
// each next chunk between the program's own steps (a timer, and every frame); there is one
// thread, so nothing needs locking. The context is opened in the click that starts the show,
// since browsers give sound only after a gesture.
#include "platform/sound_device.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>

namespace {
// Frames the page asks for at a time: 2048 at 44100 Hz are 46 ms.
constexpr int32_t chunkFrames = 2048;
float* chunk = nullptr;

// The rate the context runs at, or 0 when there is no audio output or it will not start.
EM_ASYNC_JS(int, openPageAudio, (int rate), { return await lanternwhirlPage.openAudio(rate); });

EM_JS(void, startPageAudio, (int frames), { lanternwhirlPage.startAudio(frames); });

EM_JS(void, closePageAudio, (), { lanternwhirlPage.closeAudio(); });
} // namespace

// The page's pump: the next frames of interleaved stereo, mixed into the chunk.
extern "C" EMSCRIPTEN_KEEPALIVE float* lanternwhirlMixSound(int32_t frames) {
    if (!chunk || frames < 0 || frames > chunkFrames) return nullptr;
    mixSound(chunk, frames);
    return chunk;
}

bool openSoundDevice(int32_t mixRate, int32_t& deviceRate) {
    if (!chunk) chunk = static_cast<float*>(malloc(sizeof(float) * 2 * chunkFrames));
    if (!chunk) return false;
    const int rate = openPageAudio(mixRate);
    if (rate <= 0) {
        fprintf(stderr, "sound: the page has no audio output that will start\n");
        free(chunk);
        chunk = nullptr;
        return false;
    }
    deviceRate = rate;
    return true;
}

void lockSoundDevice() {}

void unlockSoundDevice() {}

void startSoundDevice() {
    if (chunk) startPageAudio(chunkFrames);
}

void closeSoundDevice() {
    closePageAudio();
    free(chunk);
    chunk = nullptr;
}
