#include "platform/page.h"
#include "platform/web/page_interface.h"
#include "platform/web/webgl_context.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

namespace {
// The JavaScript side returns texts it made with malloc.
std::string takeText(char* text) {
    std::string result = text ? text : "";
    free(text);
    return result;
}

} // namespace

bool pageParameter(const char* name, std::string& value) {
    char* found = lwPageParameter(name);
    if (!found) return false;
    value = takeText(found);
    return true;
}

void pagePublish(const char* name, const std::string& json) {
    lwPagePublish(name, json.c_str());
}

std::string pagePngDataUrl(const uint8_t* rgb, int32_t width, int32_t height) {
    return takeText(lwPagePngUrl(rgb, width, height));
}

std::string pageDataUrl(const uint8_t* bytes, size_t size, const char* mediaType) {
    return takeText(lwPageBytesUrl(bytes, size, mediaType));
}

// The page calls this with main's result once main has returned: the program then exits as a
// native one does, running its exit handlers and destroying its global objects.
extern "C" EMSCRIPTEN_KEEPALIVE void lanternwhirlExit(int status) {
    emscripten_force_exit(webGlContextLost && status == 0 ? 1 : status);
}

void pageNextFrame() {
    lwWaitNextFrame();
}

double pageMilliseconds() {
    return emscripten_get_now();
}
