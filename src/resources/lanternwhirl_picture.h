// The pictures the program carries: bitmap 103 of the setup dialog (256 × 256, 24 bits per
// pixel) and the program icon, painted by code: lanterns drawn into a whirl on a night sky.
#pragma once
#include <cstdint>

constexpr int32_t setupBitmapSize = 256;

// Paints a size × size picture into rgb (size * size * 3 bytes, top row first, R G B).
void paintLanternwhirl(uint8_t* rgb, int32_t size);

// Bitmap 103: paintLanternwhirl at 256 × 256.
void makeSetupBitmap(uint8_t* rgb);

// The icon: the same picture in a round frame, RGBA (size * size * 4 bytes), transparent
// outside the circle.
void makeProgramIcon(uint8_t* rgba, int32_t size);
