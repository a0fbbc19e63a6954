#include "timeline/director.h"

#include <GL/gl.h>

#include "anim/scene_renderer.h"
#include "assets/jpeg_images.h"
#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "timeline/overlays.h"

int32_t phase = 0;
float introFade = 0.0f;
float crossFade = 0.0f;
float overlayFade = 0.0f;
float pulseAlpha1 = 0.0f;
float pulseStep1 = 0.005f;
float pulseAlpha2 = 0.0f;
float pulseStep2 = 0.006f;

void resetTimeline() {
    phase = 0;
    introFade = 0.0f;
    crossFade = 0.0f;
    overlayFade = 0.0f;
    pulseAlpha1 = 0.0f;
    pulseStep1 = 0.005f;
    pulseAlpha2 = 0.0f;
    pulseStep2 = 0.006f;
    wobbleAngle = -1.0f;
}

bool drawTimelineFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int32_t s = static_cast<int32_t>(elapsedSeconds);

    // Sections switch only on a frame that falls inside the switch second itself, so a stall
    // over a whole switch second skips that section.
    if (s == 15)
        phase = 1;
    else if (s == 25)
        phase = 2;
    else if (s == 35)
        phase = 3;
    else if (s == 44)
        phase = 4;
    else if (s == 88)
        phase = 5;

    drawOverlayQuad(texLanternwhirl, introFade, fullScreenCorners);

    if (phase == 4) {
        drawOverlayQuad(texMarrowquill, overlayFade, fullScreenCorners);
        introFade -= 0.03f;
        if (introFade < 0.0f) introFade = 0.0f;
    }
    // Alphas derived from a fade are taken as the exact difference rounded once to float.
    if (phase == 0) {
        // A trail of three copies of scene 3, each a little further ahead in time; the alphas
        // go negative early on, and GL then clamps them to nothing.
        drawAnimatedScene(scene3, currentFrame + 49, 0, texEnv, float(introFade - 0.3), 1, 1);
        drawAnimatedScene(scene3, currentFrame + 47, 0, texEnv, float(introFade - 0.5), 1, 1);
        drawAnimatedScene(scene3, currentFrame + 45, 0, texEnv, float(introFade - 0.7), 1, 1);
        introFade += 0.003f;
        if (introFade > 1.0f) introFade = 1.0f;
    }
    if (phase == 1) {
        drawAnimatedScene(scene3, currentFrame + 49, 0, texEnv, introFade, 1, 1);
        drawAnimatedScene(scene3, currentFrame + 47, 0, texEnv, float(introFade - 0.2), 1, 1);
        drawAnimatedScene(scene1, currentFrame, 0, texFennicove, 1.0f, 1, 0);
        overlayFade = 0.8f;
    }
    if (phase == 2) {
        drawMetaballsGlow(texEnv, 0.4f);
        drawAnimatedScene(scene1, currentFrame, 0, texFennicove, float(1.0 - crossFade), 1, 0);
        drawAnimatedScene(scene1, currentFrame, 0, texEnv, crossFade, 1, 0);
        crossFade += 0.04f;
        if (crossFade > 0.4f) crossFade = 0.4f;
    }
    if (phase == 3) {
        drawMetaballsGlow(texEnv, 0.2f);
        drawAnimatedScene(scene2, currentFrame + 4, 0, texEnv, 0.8f, 1, 0);
        drawAnimatedScene(scene2, currentFrame + 2, 0, texEnv, 0.6f, 1, 0);
    }
    if (phase == 4) {
        drawAnimatedScene(scene1, currentFrame, 0, texEnv, 0.9f, 1, 0);
        drawAnimatedScene(scene2, currentFrame + 2, 0, texEnv, 0.4f, 1, 0);
        drawAnimatedScene(scene2, currentFrame, 0, texEnv, 0.3f, 1, 0);
    }
    // The pulses turn once, when they first pass 0.5, and then fall for as long as their
    // window lasts, through 0 into alphas that leave the frame untouched.
    if (s >= 64 && s < 78) {
        drawWarpOverlay(texPulsar, pulseAlpha1);
        pulseAlpha1 += pulseStep1;
        if (pulseAlpha1 > 0.5f) pulseStep1 = -pulseStep1;
    }
    if (s >= 78 && s < 100) {
        drawWarpOverlay(texEnv, pulseAlpha2);
        pulseAlpha2 += pulseStep2;
        if (pulseAlpha2 > 0.5f) pulseStep2 = -pulseStep2;
    }
    if (phase == 5) {
        drawAnimatedScene(scene1, currentFrame, 0, texFennicove, 0.7f, 1, 0);
        drawMetaballsLit(texEnv, 1.0f);
        drawBlendedOverlayQuad(texEnd, 0.9f, lowerBandCorners, 0.0f, 0, 1);
    }
    if (s > 105) quitRequested = true; // the frame is still finished and shown

    // The generator is left alone before phase 4, so the flicker repeats from run to run.
    if (phase >= 4 && nextRandom() % 100 > 40)
        drawOverlayQuad(texLanternwhirl, float(introFade - 0.6), fullScreenCorners);

    wobbleAngle += 0.01f;
    return true;
}
