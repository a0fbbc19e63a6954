#include "platform/web/webgl_context.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

extern "C" void initialize_gl4es();

namespace {
bool gl4esReady = false;

// Desktop GL has a default texture, name 0, bound from the start and taking images like any
// other; the program keeps its first material texture there. WebGL has none (binding 0
// unbinds), so each context gets a texture of its own that name 0 stands for.
EM_JS(void, giveDefaultTexture, (), {
    if (!GLctx.lanternwhirlDefaultTexture) {
        GLctx.lanternwhirlDefaultTexture = GLctx.createTexture();
        GLctx.bindTexture(GLctx.TEXTURE_2D, GLctx.lanternwhirlDefaultTexture);
    }
    GL.textures[0] = GLctx.lanternwhirlDefaultTexture;
});

EM_JS(void, sizeCanvas, (const char* id, int width, int height), {
    const canvas = document.getElementById(UTF8ToString(id));
    canvas.width = width;
    canvas.height = height;
});
} // namespace

intptr_t createWebGlContext(const char* canvasId, int32_t width, int32_t height) {
    sizeCanvas(canvasId, width, height);
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
    giveDefaultTexture();
    if (!gl4esReady) {
        initialize_gl4es();
        gl4esReady = true;
    }
    return true;
}

void destroyWebGlContext(intptr_t context) {
    if (context) emscripten_webgl_destroy_context(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(context));
}
