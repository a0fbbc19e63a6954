// The show's global objects: the three scenes, their animations and the one material texture
// pool, filled once by the start-up sequence and read by the director.
#pragma once

#include "anim/animation.h"
#include "assets/scene.h"
#include "assets/texture_pool.h"

extern Scene scene1, scene2, scene3;
extern Animation animation1, animation2, animation3;
extern TexturePool texturePool;
