#include "shell/entry.h"

#include "platform/sound.h"
#include "platform/window_system.h"
#include "resources/dialog_template.h"
#include "shell/main_loop.h"
#include "shell/render_window.h"
#include "shell/report_error.h"
#include "common/run_state.h"
#include "shell/setup_dialog_proc.h"
#include "shell/sound_errors.h"

MusicModule* musicModule = nullptr;

int runEntry(const int32_t& firstFrame, const int32_t& endFrame, bool (*drawFrame)()) {
    if (dialogBox(getModuleHandle(), setupDialogId, nullptr, setupDialogProc) == 0) return 0;

    if (!noSound) {
        soundSetOutput(soundGetOutput());
        bool started = soundInit(44100, 32, 0);
        if (started) musicModule = musicLoadSong("data//s2.it");
        if (!started || !musicModule) {
            reportError(soundErrorText(soundGetError()));
            return 1;
        }
    }

    if (!openRenderWindow("ketterfold: lanternwhirl", screenWidth, screenHeight, colorBits,
                          fullscreen))
        return 0;

    currentFrame = firstFrame;

    if (!noSound) {
        musicPlaySong(musicModule);
        soundSetReverbEnvironment(showHallEnvironment, showHallVolume, showHallDecay,
                                  showHallDamping);
    }

    return runMainLoop(firstFrame, endFrame, drawFrame);
}
