#include "anim/show_objects.h"

// Defined together in this order so that they are destroyed in reverse at exit: the pool
// first, then the animations, which own the key lists the scenes only borrow, then the scenes.
Scene scene1, scene2, scene3;
Animation animation1, animation2, animation3;
TexturePool texturePool;
