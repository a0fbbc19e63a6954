// A WebGL 1 context on a canvas of the page, with gl4es on top of it so that the program's
// OpenGL 1.1 calls reach it.
#pragma once
#include <cstdint>

// Makes the canvas element with the given id (it must exist) width × height pixels and creates
// a WebGL context on it: RGB without alpha, a depth buffer, no antialiasing. 0 when the browser
// gives none (the reason on standard error).
intptr_t createWebGlContext(const char* canvasId, int32_t width, int32_t height);
// Gives the canvas a drawing buffer of width × height pixels. The context's default
// framebuffer is that buffer: gl4es draws to it directly (this build has none of its
// framebuffer emulations), so the next frame draws at the new size with nothing else remade.
void resizeWebGlCanvas(const char* canvasId, int32_t width, int32_t height);
// Makes the context current (0: none). The first context made current initialises gl4es.
bool makeWebGlContextCurrent(intptr_t context);
void destroyWebGlContext(intptr_t context);

// Set once the show has ended because the browser took its WebGL context away: the program's
// exit status is then 1, whatever its loop returned, since nothing of the show was played out.
extern bool webGlContextLost;
