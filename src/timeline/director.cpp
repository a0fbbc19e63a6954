#include "timeline/director.h"

#include <GL/gl.h>

// Attach point: until the show is built, a frame is cleared to black.
bool drawTimelineFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}
