#include "common/wobble.h"

float wobbleAngle = -1.0f;
