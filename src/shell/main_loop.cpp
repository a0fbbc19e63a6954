#include "shell/main_loop.h"

#include "shell/render_window.h"
#include "common/run_state.h"

bool mainLoopPass(Message& lastMessage, int32_t firstFrame, int32_t endFrame, bool (*drawFrame)()) {
    int64_t now = 0;
    queryPerformanceCounter(&now);
    elapsedSeconds = float(double(now - counterAtStart) / double(counterFrequency));

    if (peekMessage(lastMessage)) {
        if (lastMessage.type == WM_QUIT) return false;
        translateMessage(lastMessage);
        dispatchMessage(lastMessage);
    } else {
        // Minimised: no frame, but the Escape test, the swap and the frame advance go on.
        if (windowActive && !drawFrame()) return false;
        if (keyDown[27]) return false;
        swapBuffers(deviceContext);
        currentFrame += 1;
        if (currentFrame >= endFrame) currentFrame = firstFrame;
    }
    return !quitRequested;
}

int runMainLoop(const int32_t& firstFrame, const int32_t& endFrame, bool (*drawFrame)()) {
    Message lastMessage = {nullptr, WM_NULL, 0, 0};
    while (mainLoopPass(lastMessage, firstFrame, endFrame, drawFrame)) {
    }
    quitRequested = true;
    closeRenderWindow();
    // Every way the loop ends is a normal end. The last message's parameter says nothing
    // about the run (after the show's end it is whatever message came last), and a launcher
    // or script reading a non-zero status would report a failure that did not happen.
    return 0;
}
