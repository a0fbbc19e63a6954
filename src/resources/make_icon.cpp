// Writes the program icon as PNG files for the desktop's icon theme: make-icon SIZE PATH.
#include "resources/lanternwhirl_picture.h"
#include "resources/png_file.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    int size = argc == 3 ? atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        fprintf(stderr, "usage: %s SIZE PATH.png (SIZE 16..1024)\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    makeProgramIcon(rgba.data(), size);
    return writePngFile(argv[2], rgba.data(), size, size, 4) ? 0 : 1;
}
