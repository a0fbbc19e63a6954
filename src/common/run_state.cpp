#include "common/run_state.h"

int32_t screenWidth = 640;
int32_t screenHeight = 480;
int32_t colorBits = 16;
bool fullscreen = true;
bool noSound = false;

int64_t counterFrequency = 0;
int64_t counterAtStart = 0;
float elapsedSeconds = 0.0f;
int32_t currentFrame = 0;
bool quitRequested = false;

uint8_t keyDown[256] = {};
bool windowActive = true;
