// The main loop: one message or one frame per pass, the clock recomputed on every pass.
#pragma once
#include "platform/window_system.h"

#include <cstdint>

// One pass. lastMessage keeps the last message taken from the queue; firstFrame and endFrame
// are scene 1's frame range; drawFrame draws one frame and returns true to go on. False when
// the loop ends.
bool mainLoopPass(Message& lastMessage, int32_t firstFrame, int32_t endFrame, bool (*drawFrame)());

// Runs passes until the loop ends, then sets quitRequested, closes the render window and
// returns the exit code, 0: Escape, the close request and the end of the show all end the
// run normally.
int runMainLoop(const int32_t& firstFrame, const int32_t& endFrame, bool (*drawFrame)());
