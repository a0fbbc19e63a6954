#include "shell/viewport.h"

#include <GL/gl.h>
#include <GL/glu.h>

void resizeViewport(int32_t width, int32_t height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0f, GLfloat(width) / GLfloat(height), 1.0f, 5000.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
