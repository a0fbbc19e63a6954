#include "metaballs_command.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"

namespace {
const char usage[] = "usage: lanternwhirl-inspect metaballs --frames N --geometry squashed|cube\n";

// FNV-1a, 64 bits, over the stored integers as little-endian bytes whatever the host order.
uint64_t hashVertices(const int32_t* values, int32_t count) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t v = uint32_t(values[i]);
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (v >> (8 * byte)) & 0xFF;
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

// A whole decimal number of frames, 0 … 10,000,000; anything else is a usage error.
bool parseFrames(const char* text, long& frames) {
    if (!text || !*text || *text == '-' || *text == '+') return false;
    char* end = nullptr;
    errno = 0;
    frames = strtol(text, &end, 10);
    return errno == 0 && *end == '\0' && frames >= 0 && frames <= 10000000;
}
} // namespace

int inspectMetaballs(int argc, char** argv) {
    long frames = -1;
    const char* geometryName = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            if (!parseFrames(argv[++i], frames)) {
                fprintf(stderr, "lanternwhirl-inspect: metaballs: bad frame count \"%s\"\n%s",
                        argv[i], usage);
                return 2;
            }
        } else if (strcmp(argv[i], "--geometry") == 0 && i + 1 < argc) {
            geometryName = argv[++i];
        } else {
            fprintf(stderr, "lanternwhirl-inspect: metaballs: unexpected \"%s\"\n%s", argv[i],
                    usage);
            return 2;
        }
    }
    if (frames < 0 || !geometryName) {
        fputs(usage, stderr);
        return 2;
    }
    Geometry geometry;
    if (strcmp(geometryName, "squashed") == 0)
        geometry = Geometry::Squashed;
    else if (strcmp(geometryName, "cube") == 0)
        geometry = Geometry::Cube;
    else {
        fprintf(stderr, "lanternwhirl-inspect: metaballs: unknown geometry \"%s\"\n%s",
                geometryName, usage);
        return 2;
    }

    // The show's own start: a fresh generator, then the preparation's 48 draws.
    resetRandom();
    prepareMetaballs();
    if (!metaVerts) return 2; // prepareMetaballs has reported the failed allocation
    wobbleAngle = -1.0f;

    printf("{\"geometry\":\"%s\",\"frames\":[", geometryName);
    for (long frame = 0; frame < frames; ++frame) {
        computeField();
        polygonizeBalls(geometry);
        printf("%s{\"count\":%d,\"fnv1a\":\"%016llx\",\"balls\":[", frame ? "," : "",
               int(metaVertCount),
               static_cast<unsigned long long>(hashVertices(metaVerts, metaVertCount)));
        for (int b = 0; b < 8; ++b)
            printf("%s[%.9g,%.9g,%.9g]", b ? "," : "", double(balls[b].position.x),
                   double(balls[b].position.y), double(balls[b].position.z));
        printf("]}");
        moveBalls();
        wobbleAngle += 0.01f;
    }
    printf("]}\n");
    return 0;
}
