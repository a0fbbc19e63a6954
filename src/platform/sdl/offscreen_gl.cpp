#include "platform/offscreen_gl.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace {
SDL_Window* offscreenWindow = nullptr;
SDL_GLContext offscreenContext = nullptr;
} // namespace

bool openOffscreenGl(int32_t width, int32_t height) {
    if (offscreenContext) return true;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "offscreen gl: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    offscreenWindow = SDL_CreateWindow("lanternwhirl offscreen", 0, 0, width, height,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (offscreenWindow) offscreenContext = SDL_GL_CreateContext(offscreenWindow);
    if (!offscreenContext) {
        fprintf(stderr, "offscreen gl: %s\n", SDL_GetError());
        closeOffscreenGl();
        return false;
    }
    return true;
}

void closeOffscreenGl() {
    if (offscreenContext) SDL_GL_DeleteContext(offscreenContext);
    if (offscreenWindow) SDL_DestroyWindow(offscreenWindow);
    offscreenContext = nullptr;
    offscreenWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
