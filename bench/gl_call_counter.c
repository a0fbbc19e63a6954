// Counts the OpenGL 1.1 and GLU calls a native program makes, frame by frame, when preloaded
// (LD_PRELOAD) into it: bench/gl_counts.mjs builds it and runs the capture tool through it.
// Every entry point the program imports is passed on unchanged to the real library; each
// glClear starts a new frame (the director clears once at the top of every frame and nowhere
// else). LW_GL_COUNTS names the output: a header line of names, then one line of counts for
// start-up and one a frame.
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

#define EACH_CALL(X)                                                                               \
    X(glBegin, (GLenum a), (a))                                                                    \
    X(glEnd, (void), ())                                                                           \
    X(glVertex2d, (GLdouble a, GLdouble b), (a, b))                                                \
    X(glVertex2f, (GLfloat a, GLfloat b), (a, b))                                                  \
    X(glVertex3d, (GLdouble a, GLdouble b, GLdouble c), (a, b, c))                                 \
    X(glVertex3fv, (const GLfloat* a), (a))                                                        \
    X(glColor4f, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d))                       \
    X(glNormal3fv, (const GLfloat* a), (a))                                                        \
    X(glTexCoord2d, (GLdouble a, GLdouble b), (a, b))                                              \
    X(glTexCoord2f, (GLfloat a, GLfloat b), (a, b))                                                \
    X(glEnable, (GLenum a), (a))                                                                   \
    X(glDisable, (GLenum a), (a))                                                                  \
    X(glBlendFunc, (GLenum a, GLenum b), (a, b))                                                   \
    X(glBindTexture, (GLenum a, GLuint b), (a, b))                                                 \
    X(glMatrixMode, (GLenum a), (a))                                                               \
    X(glLoadIdentity, (void), ())                                                                  \
    X(glPushMatrix, (void), ())                                                                    \
    X(glPopMatrix, (void), ())                                                                     \
    X(glTranslatef, (GLfloat a, GLfloat b, GLfloat c), (a, b, c))                                  \
    X(gluOrtho2D, (GLdouble a, GLdouble b, GLdouble c, GLdouble d), (a, b, c, d))                  \
    X(gluPerspective, (GLdouble a, GLdouble b, GLdouble c, GLdouble d), (a, b, c, d))              \
    X(glViewport, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))                          \
    X(glTexImage2D,                                                                                \
      (GLenum a, GLint b, GLint c, GLsizei d, GLsizei e, GLint f, GLenum g, GLenum h,              \
       const void* i),                                                                             \
      (a, b, c, d, e, f, g, h, i))                                                                 \
    X(glTexParameteri, (GLenum a, GLenum b, GLint c), (a, b, c))                                   \
    X(glPixelStorei, (GLenum a, GLint b), (a, b))                                                  \
    X(glLightf, (GLenum a, GLenum b, GLfloat c), (a, b, c))                                        \
    X(glLightfv, (GLenum a, GLenum b, const GLfloat* c), (a, b, c))                                \
    X(glFogf, (GLenum a, GLfloat b), (a, b))                                                       \
    X(glFogfv, (GLenum a, const GLfloat* b), (a, b))                                               \
    X(glHint, (GLenum a, GLenum b), (a, b))                                                        \
    X(glShadeModel, (GLenum a), (a))                                                               \
    X(glCullFace, (GLenum a), (a))                                                                 \
    X(glFrontFace, (GLenum a), (a))                                                                \
    X(glClearColor, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d))                    \
    X(glFinish, (void), ())                                                                        \
    X(glReadPixels, (GLint a, GLint b, GLsizei c, GLsizei d, GLenum e, GLenum f, void* g),         \
      (a, b, c, d, e, f, g))

enum {
#define ID(name, params, args) id_##name,
    EACH_CALL(ID) id_glClear,
    callKinds
};

static const char* const names[callKinds] = {
#define NAME(name, params, args) #name,
    EACH_CALL(NAME) "glClear"};

static unsigned long long counts[callKinds];
static FILE* out;

static void writeCounts(void) {
    if (!out) return;
    for (int i = 0; i < callKinds; ++i)
        fprintf(out, i ? " %llu" : "%llu", counts[i]);
    fputc('\n', out);
    for (int i = 0; i < callKinds; ++i)
        counts[i] = 0;
}

__attribute__((constructor)) static void openCounts(void) {
    const char* path = getenv("LW_GL_COUNTS");
    if (!path || !(out = fopen(path, "w"))) return;
    for (int i = 0; i < callKinds; ++i)
        fprintf(out, i ? " %s" : "%s", names[i]);
    fputc('\n', out);
}

__attribute__((destructor)) static void closeCounts(void) {
    writeCounts();
    if (out) fclose(out);
    out = NULL;
}

// The real entry point is looked up once, on the first call.
#define WRAP(name, params, args)                                                                   \
    void name params {                                                                             \
        static void(*real) params;                                                                 \
        if (!real) *(void**)&real = dlsym(RTLD_NEXT, #name);                                       \
        ++counts[id_##name];                                                                       \
        real args;                                                                                 \
    }
EACH_CALL(WRAP)

void glClear(GLbitfield mask) {
    static void (*real)(GLbitfield);
    if (!real) *(void**)&real = dlsym(RTLD_NEXT, "glClear");
    writeCounts();
    ++counts[id_glClear];
    real(mask);
}
