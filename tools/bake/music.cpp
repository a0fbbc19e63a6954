#include "music.h"

bool bakeMusic(const char*) { return false; }
