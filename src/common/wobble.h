// The free-running angle of the show: -1.0 at start, +0.01f after every frame the director
// draws. The warp overlay and the ball motion read it in radians.
#pragma once

extern float wobbleAngle;
