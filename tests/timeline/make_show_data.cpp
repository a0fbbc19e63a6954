// Writes the small test show into the folder named on the command line (for the scripts).
#include <cstdio>

#include "show_data.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    if (!writeShowData(argv[1])) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}
