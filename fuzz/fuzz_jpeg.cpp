// The JPEG decode and its upload on arbitrary bytes. Pictures are refused above 128 pixels a
// side instead of 8192: past that a picture only runs the same loops longer (every loop's
// coverage counter is already at its top bucket), and the instrumented decoder's cost grows
// with the pixels, not with the file.
#include "assets/jpeg_images.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = openFuzzInput(data, size);
    uploadJpegTexture(f, texEnv, 128);
    fclose(f);
    return 0;
}
