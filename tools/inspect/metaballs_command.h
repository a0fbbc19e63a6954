// lanternwhirl-inspect metaballs --frames N --geometry squashed|cube
#pragma once

// argv[0] is "metaballs". Returns the exit status: 0 when the JSON was printed, 2 on a usage error.
int inspectMetaballs(int argc, char** argv);
