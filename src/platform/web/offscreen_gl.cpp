// The hidden context of the tools, in a web page: a canvas of the page's own, drawn into with
// the same WebGL context and gl4es as the window.
#include "platform/offscreen_gl.h"

#include "platform/web/webgl_context.h"
#include "platform/web/page_interface.h"

namespace {
intptr_t context = 0;

} // namespace

bool openOffscreenGl(int32_t width, int32_t height) {
    if (context) return true;
    lwPageMakeCaptureCanvas();
    context = createWebGlContext("lanternwhirl-capture", width, height);
    if (!context) return false;
    if (!makeWebGlContextCurrent(context)) {
        closeOffscreenGl();
        return false;
    }
    return true;
}

void closeOffscreenGl() {
    makeWebGlContextCurrent(0);
    destroyWebGlContext(context);
    context = 0;
}
