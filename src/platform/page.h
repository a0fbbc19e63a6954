// The web page the program runs in, as the page's own modes (capture, music, bench) see it:
// the parameters of its address, values it hands to whoever drives the page, and giving the
// browser control back. Only the web platform defines these.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The value of the page address's query parameter; false when it has none of that name.
bool pageParameter(const char* name, std::string& value);
// Sets the page's global variable name to the value of the JSON text json.
void pagePublish(const char* name, const std::string& json);
// A data: URL of an RGB picture (8 bits a sample, top row first) as PNG.
std::string pagePngDataUrl(const uint8_t* rgb, int32_t width, int32_t height);
// A data: URL of bytes with the given media type.
std::string pageDataUrl(const uint8_t* bytes, size_t size, const char* mediaType);
// Gives the browser control until its next animation frame (or at once while the page is
// hidden), so that it can present what was drawn and run its events.
void pageNextFrame();
// Milliseconds of the page's clock.
double pageMilliseconds();
