// lanternwhirl-inspect: loads one of the demo's files with the demo's own loaders and prints
// what they built. Loader reports and notices come out exactly as in the demo; the last line
// of standard output is one JSON object. Exit status 0 whenever the JSON was printed, 2 on a
// usage error.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "format_dumps.h"
#include "metaballs_command.h"
#include "platform/offscreen_gl.h"

namespace {
int usage() {
    fprintf(stderr, "usage: lanternwhirl-inspect mesh FILE\n"
                    "       lanternwhirl-inspect anim MESHFILE ANIMFILE [--frame N]\n"
                    "       lanternwhirl-inspect tga FILE\n"
                    "       lanternwhirl-inspect jpeg FILE\n"
                    "       lanternwhirl-inspect metaballs --frames N --geometry squashed|cube\n");
    return 2;
}

void printJson(const std::string& json) {
    printf("%s\n", json.c_str());
    fflush(stdout);
}

bool parseFrame(const char* text, int32_t& frame) {
    errno = 0;
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    frame = int32_t(v);
    return true;
}

// Prints a dump made while a hidden GL context is current, so textures upload as in the demo.
template <typename Dump> int printWithGl(Dump dump) {
    openOffscreenGl(64, 64);
    printJson(dump());
    closeOffscreenGl();
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "metaballs") return inspectMetaballs(argc - 1, argv + 1);
    if (command == "mesh" && argc == 3) return printWithGl([&] { return dumpMesh(argv[2]); });
    if (command == "tga" && argc == 3) return printWithGl([&] { return dumpTga(argv[2]); });
    if (command == "jpeg" && argc == 3) {
        printJson(dumpJpeg(argv[2]));
        return 0;
    }
    if (command == "anim" && argc == 4)
        return printWithGl([&] { return dumpAnim(argv[2], argv[3], false, 0); });
    if (command == "anim" && argc == 6 && strcmp(argv[4], "--frame") == 0) {
        int32_t frame;
        if (!parseFrame(argv[5], frame)) return usage();
        return printWithGl([&] { return dumpAnim(argv[2], argv[3], true, frame); });
    }
    return usage();
}
