// Writes the small music module the end-to-end runs play: a loud looped square wave struck on
// the first row, so the audio is non-silent from its very start.
#include "it_writer.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s path.it\n", argv[0]);
        return 2;
    }
    ItModule module;
    module.title = "e2e tone";
    ItSample tone;
    tone.name = "square";
    for (int i = 0; i < 64; ++i)
        tone.pcm.push_back(i < 32 ? 12000 : -12000);
    tone.loop = true;
    tone.loopBegin = 0;
    tone.loopEnd = 64;
    module.samples.push_back(tone);
    ItPattern pattern = makeItPattern(64, 1);
    itCell(pattern, 0, 0).note = 60;
    itCell(pattern, 0, 0).instrument = 1;
    module.patterns.push_back(pattern);
    module.orders = {0};
    return writeItFile(module, argv[1]) ? 0 : 1;
}
