// The director: composes one whole frame of the show from the elapsed second.
#pragma once
#include <cstdint>

// The director's state, process-wide and never reset during a run; every update is made in
// 32-bit float.
extern int32_t phase;     // section of the show, 0 to 5, only ever moving forward
extern float introFade;   // alpha of the title: rises in phase 0, falls in phase 4
extern float crossFade;   // scene 1 blending from texFennicove to texEnv in phase 2
extern float overlayFade; // alpha of the phase-4 picture; 0.8 from phase 1 on
extern float pulseAlpha1; // warp overlay, seconds 64 to 77
extern float pulseStep1;  // 0.005 until pulseAlpha1 first passes 0.5, then -0.005
extern float pulseAlpha2; // warp overlay, seconds 78 to 99
extern float pulseStep2;  // 0.006, likewise turned once

// Draws one frame and returns true (always). From second 106 on it sets quitRequested.
bool drawTimelineFrame();

// Puts the director's state and wobbleAngle back to their start values, so tests and the
// capture tool can play the show again from its beginning in one process.
void resetTimeline();
