// Reading a drawn frame back from GL.
#pragma once
#include <cstdint>
#include <vector>

// Reads the back buffer into rgb, top row first (GL's rows start at the bottom). Both buffers
// hold width × height × 3 bytes.
void readFrame(int32_t width, int32_t height, std::vector<uint8_t>& bottomUp,
               std::vector<uint8_t>& rgb);
