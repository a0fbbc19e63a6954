// A hidden GL context for the tools and the render tests: SDL's offscreen video driver with
// Mesa's software renderer, no display needed.
#pragma once
#include <cstdint>

// Makes a compatibility-profile context with a width × height double-buffered RGB surface and
// a 16-bit depth buffer current on this thread. False (with a message on standard error) when
// no context can be had.
bool openOffscreenGl(int32_t width, int32_t height);
void closeOffscreenGl();
