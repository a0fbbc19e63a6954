// Loads every asset and sets the fixed GL state; runs once, with the GL context current,
// before the clock starts.
#pragma once

bool runStartUp();
