// The native tools' PNG writer on libpng: the desktop icons, the Windows icon's 256-pixel image
// and the capture tool's frames. The Windows and web builds have no libpng and do not link it.
#pragma once
#include <cstdint>
#include <vector>

// Pixels are 8 bits a sample, rows top first without padding, channels 3 (RGB) or 4 (RGBA).
// The file's bytes; empty for a picture that cannot be encoded.
std::vector<uint8_t> encodePng(const uint8_t* pixels, int32_t width, int32_t height,
                               int32_t channels);
// Writes the file; false, with a perror-style report and errno set, when it cannot. A file
// cut off by a failed write is removed rather than left looking like a picture.
bool writePngFile(const char* path, const uint8_t* pixels, int32_t width, int32_t height,
                  int32_t channels);
