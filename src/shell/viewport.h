// The viewport and projection for a client size, as the window sets them when it opens and
// whenever it is resized (and as the capture tool sets them for its hidden context).
#pragma once
#include <cstdint>

// A height of 0 becomes 1; perspective of 45°, near 1, far 5000; model-view identity and current.
void resizeViewport(int32_t width, int32_t height);
