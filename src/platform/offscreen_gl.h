// A hidden GL context for the tools, the render tests and the page's own modes: on Linux SDL's
// offscreen video driver with Mesa's software renderer, no display needed (sdl/); in a web page
// a canvas of the capture's size on WebGL (web/).
#pragma once
#include <cstdint>

// Makes a compatibility-profile context with a width × height double-buffered RGB surface and
// a 16-bit depth buffer current on this thread. False (with a message on standard error) when
// no context can be had.
bool openOffscreenGl(int32_t width, int32_t height);
void closeOffscreenGl();
