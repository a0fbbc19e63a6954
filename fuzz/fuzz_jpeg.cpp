// loadJpeg and the upload on arbitrary bytes.
#include "assets/jpeg_images.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uploadJpegTexture(writeFuzzInput(data, size), texEnv);
    return 0;
}
