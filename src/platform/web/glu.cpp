// The two GLU calls the program makes, for a GL (gl4es) that comes without GLU: the same
// matrices as GLU's, through glFrustum and glOrtho.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const GLdouble top = zNear * std::tan(fovy * M_PI / 360.0);
    const GLdouble right = top * aspect;
    glFrustum(-right, right, -top, top, zNear, zFar);
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    glOrtho(left, right, bottom, top, -1.0, 1.0);
}
