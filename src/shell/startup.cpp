#include "shell/startup.h"

// Attach point: the asset loading and fixed GL state are added here.
bool runStartUp() { return true; }
