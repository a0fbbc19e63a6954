// lanternwhirl-bake OUTDIR: writes every file the demo reads (data/ and gfx/ under OUTDIR),
// the same bytes on every run.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "music.h"
#include "pictures.h"
#include "scenes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: lanternwhirl-bake OUTDIR\n");
        return 2;
    }
    std::string out = argv[1];
    for (const char* folder : {"/data", "/gfx"}) {
        std::error_code error;
        std::filesystem::create_directories(out + folder, error);
        if (error) {
            fprintf(stderr, "%s%s: %s\n", out.c_str(), folder, error.message().c_str());
            return 1;
        }
    }
    if (!bakeScenes(out) || !bakePictures(out)) return 1;
    if (!bakeMusic((out + "/data/s2.it").c_str())) {
        fprintf(stderr, "bake: the music module could not be made\n");
        return 1;
    }
    return 0;
}
