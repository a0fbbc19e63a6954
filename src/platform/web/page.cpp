#include "platform/page.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

namespace {
// The JavaScript side returns texts it made with malloc.
std::string takeText(char* text) {
    std::string result = text ? text : "";
    free(text);
    return result;
}

EM_JS(char*, queryParameter, (const char* name), {
    const value = new URLSearchParams(location.search).get(UTF8ToString(name));
    return value == null ? 0 : stringToNewUTF8(value);
});

EM_JS(void, publishJson, (const char* name, const char* json),
      { window[UTF8ToString(name)] = JSON.parse(UTF8ToString(json)); });

EM_JS(char*, pngUrl, (const uint8_t* rgb, int width, int height), {
    return stringToNewUTF8(
        lanternwhirlPage.pngDataUrl(HEAPU8.subarray(rgb, rgb + width * height * 3), width, height));
});

EM_JS(char*, bytesUrl, (const uint8_t* bytes, size_t size, const char* mediaType), {
    return stringToNewUTF8(
        lanternwhirlPage.dataUrl(HEAPU8.subarray(bytes, bytes + size), UTF8ToString(mediaType)));
});

EM_ASYNC_JS(void, waitNextFrame, (), { await lanternwhirlPage.nextFrame(); });
} // namespace

bool pageParameter(const char* name, std::string& value) {
    char* found = queryParameter(name);
    if (!found) return false;
    value = takeText(found);
    return true;
}

void pagePublish(const char* name, const std::string& json) {
    publishJson(name, json.c_str());
}

std::string pagePngDataUrl(const uint8_t* rgb, int32_t width, int32_t height) {
    return takeText(pngUrl(rgb, width, height));
}

std::string pageDataUrl(const uint8_t* bytes, size_t size, const char* mediaType) {
    return takeText(bytesUrl(bytes, size, mediaType));
}

// The page calls this with main's result once main has returned: the program then exits as a
// native one does, running its exit handlers and destroying its global objects.
extern "C" EMSCRIPTEN_KEEPALIVE void lanternwhirlExit(int status) {
    emscripten_force_exit(status);
}

void pageNextFrame() {
    waitNextFrame();
}

double pageMilliseconds() {
    return emscripten_get_now();
}
