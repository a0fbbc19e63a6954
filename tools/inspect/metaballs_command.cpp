#include "metaballs_command.h"

#include <cstdio>

int inspectMetaballs(int, char**) {
    fprintf(stderr, "lanternwhirl-inspect: metaballs: not available yet\n");
    return 2;
}
