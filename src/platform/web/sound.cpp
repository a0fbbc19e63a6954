// The sound module's output in a web page: Web Audio. The page keeps a quarter of a second of
// music queued ahead of what is heard, as buffers played back to back, and asks the mixer for
// each next chunk between the program's own steps (a timer, and every frame); there is one
// thread, so nothing needs locking. The context is opened in the click that starts the show,
// since browsers give sound only after a gesture.
#include "platform/sound_device.h"
#include "platform/web/page_interface.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>

namespace {
// Frames the page asks for at a time: 2048 at 44100 Hz are 46 ms.
constexpr int32_t chunkFrames = 2048;
float* chunk = nullptr;

} // namespace

// The page's pump: the next frames of interleaved stereo, mixed into the chunk.
extern "C" EMSCRIPTEN_KEEPALIVE float* lanternwhirlMixSound(int32_t frames) {
    if (!chunk || frames < 0 || frames > chunkFrames) return nullptr;
    mixSound(chunk, frames);
    return chunk;
}

// The page's pump, when the output lost time: the music moves on to where the show's clock is.
extern "C" EMSCRIPTEN_KEEPALIVE void lanternwhirlSkipSound(int32_t frames) {
    if (chunk) skipSound(frames);
}

bool openSoundDevice(int32_t mixRate, int32_t& deviceRate) {
    if (!chunk) chunk = static_cast<float*>(malloc(sizeof(float) * 2 * chunkFrames));
    if (!chunk) return false;
    const int rate = lwWaitAudio(mixRate);
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
    if (chunk) lwPageStartAudio(chunkFrames);
}

void closeSoundDevice() {
    lwPageCloseAudio();
    free(chunk);
    chunk = nullptr;
}
