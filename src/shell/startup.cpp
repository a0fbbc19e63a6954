#include "shell/startup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "assets/jpeg_images.h"
#include "common/gl_in_force.h"
#include "metaballs/metaballs.h"
#include "shell/report_error.h"
#include "common/run_state.h"
#include "anim/show_objects.h"

namespace {

constexpr int32_t poolBudget = 4194304; // 4 MiB of material textures

const char* const meshFiles[3] = {"data\\1.chk", "data\\2.chk", "data\\3.chk"};
const char* const animationFiles[3] = {"data\\1a.chk", "data\\2a.chk", "data\\3a.chk"};

const GLfloat lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const GLfloat lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat lightSpecular[4] = {1.0f, 1.0f, 0.5f, 1.0f};
// Point lights (w = 1), placed in eye space: the model-view matrix is the identity here.
const GLfloat lightPositions[3][4] = {
    {-320.0f, -120.0f, -100.0f, 1.0f},
    {-640.0f, -120.0f, -200.0f, 1.0f},
    {-20.0f, -320.0f, -1000.0f, 1.0f},
};

const GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};

} // namespace

bool runStartUp() {
    // The context was just made: GL's own start state is in force.
    glInForce = GlInForce{};

    // Materials resolve their textures while the meshes load, so the pool comes first.
    initPool(texturePool, poolBudget);
    scene1.texturePool = &texturePool;
    scene2.texturePool = &texturePool;
    scene3.texturePool = &texturePool;

    Scene* const scenes[3] = {&scene1, &scene2, &scene3};
    Animation* const animations[3] = {&animation1, &animation2, &animation3};
    for (int n = 0; n < 3; ++n) {
        if (loadMesh(*scenes[n], meshFiles[n]) != 0) {
            reportError("MESH error: couldn't load!");
            return false;
        }
        // A failed set-up makes the load below fail, so its result needs no test of its own.
        animations[n]->setUp(scenes[n]->objects, scenes[n]->objectCount);
        if (animations[n]->load(animationFiles[n]) != 0) {
            reportError("ANIM error: couldn't load!");
            return false;
        }
    }
    // Binding scene 1 sets the frame range that drives currentFrame.
    for (int n = 0; n < 3; ++n)
        animations[n]->bindTo(*scenes[n]);

    // A picture that cannot be read leaves its texture empty; the show goes on without it.
    for (const JpegImage& image : jpegImageTable)
        uploadJpegTexture(image.path, image.glName);

    for (int n = 0; n < 3; ++n) {
        const GLenum light = GL_LIGHT0 + n;
        glLightfv(light, GL_AMBIENT, lightAmbient);
        glLightfv(light, GL_DIFFUSE, lightDiffuse);
        glLightfv(light, GL_POSITION, lightPositions[n]);
        glLightfv(light, GL_SPECULAR, lightSpecular);
        glLightf(light, GL_CONSTANT_ATTENUATION, 0.1f);
        glLightf(light, GL_LINEAR_ATTENUATION, 0.05f);
    }
    // Lighting itself stays off: only the lit metaball draw turns it on for its triangles.
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);

    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);

    // Exponential fog (GL's default mode): start and end are set but never act.
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 0.002f);
    glFogf(GL_FOG_START, 1000.0f);
    glFogf(GL_FOG_END, 5000.0f);
    glEnable(GL_FOG);

    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    setBlendFunction(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // The show's far plane is 2500, nearer than the 5000 the window's resize handler uses.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLdouble>(screenWidth) / static_cast<GLdouble>(screenHeight),
                   1.0, 2500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glViewport(0, 0, screenWidth, screenHeight);

    // Front faces are culled: only triangles that appear clockwise on screen are drawn.
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glShadeModel(GL_FLAT);

    // The first user of the generator: the balls' start positions come from its first draws.
    prepareMetaballs();
    return true;
}
