// Run settings (written only by the setup dialog) and the timing values of the main loop.
// They live in their own small library so that the draws can read the screen size and the
// director the clock without linking the whole shell.
#pragma once
#include <cstdint>

extern int32_t screenWidth;  // 640
extern int32_t screenHeight; // 480
extern int32_t colorBits;    // 16, never changed
extern bool fullscreen;      // true; the window may clear it
extern bool noSound;         // false

extern int64_t counterFrequency;
extern int64_t counterAtStart;
extern float elapsedSeconds;
extern int32_t currentFrame;
extern bool quitRequested;

// One entry per virtual-key code, 1 from key-down to key-up; and whether frames are drawn.
extern uint8_t keyDown[256];
extern bool windowActive;
