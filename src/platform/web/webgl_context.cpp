#include "platform/web/webgl_context.h"
#include "platform/web/page_interface.h"

#include <emscripten/html5.h>

#include <cstdio>
#include <string>

extern "C" void initialize_gl4es();

bool webGlContextLost = false;

namespace {
bool gl4esReady = false;

} // namespace

void resizeWebGlCanvas(const char* canvasId, int32_t width, int32_t height) {
    lwPageSizeCanvas(canvasId, width, height);
}

intptr_t createWebGlContext(const char* canvasId, int32_t width, int32_t height) {
    resizeWebGlCanvas(canvasId, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // What the pixel format asks for: RGB, a depth buffer, double buffered (the browser
    // presents each frame once the program yields).
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.premultipliedAlpha = false;
    attributes.preserveDrawingBuffer = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const std::string selector = std::string("#") + canvasId;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(selector.c_str(), &attributes);
    if (context <= 0) {
        fprintf(stderr, "WebGL: no context on %s (%d)\n", selector.c_str(), int(context));
        return 0;
    }
    return intptr_t(context);
}

bool makeWebGlContextCurrent(intptr_t context) {
    if (emscripten_webgl_make_context_current(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(context)) !=
        EMSCRIPTEN_RESULT_SUCCESS)
        return false;
    if (!context) return true;
    lwPageGiveDefaultTexture();
    if (!gl4esReady) {
        initialize_gl4es();
        gl4esReady = true;
    }
    return true;
}

void destroyWebGlContext(intptr_t context) {
    if (context) emscripten_webgl_destroy_context(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(context));
}
