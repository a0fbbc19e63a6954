// Test support for the director, start-up and render tests: loads the small test show into
// the show's global objects. Links no GL: the tests link the recorder or the real one.
#pragma once
#include <string>
#include <vector>

#include "show_data.h"

// Messages reportError was given, in order (the tests' own definition records them).
extern std::vector<std::string> reportedErrors;

// Puts the scenes, animations, pool, director and generator back to their start, so one
// process can run the start-up sequence more than once.
void resetShow();

// resetShow, then writes the test show into a fresh folder and changes into it. False when
// that fails.
bool enterShowDir(const ShowDataOptions& options = {});

// enterShowDir, then the start-up sequence there; runStartUp's result.
bool startShow(const ShowDataOptions& options = {});
