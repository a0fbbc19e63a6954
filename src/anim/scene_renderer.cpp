#include "anim/scene_renderer.h"

#include <GL/gl.h>

#include "anim/keyframes.h"
#include "assets/scene.h"
#include "common/gl_in_force.h"

namespace {

// Evaluates the camera at frame into view. False when the scene cannot be seen at all: the
// index names no camera, or the camera lacks a position or a target key.
bool cameraView(Scene& scene, int32_t frame, int32_t cameraIndex, Matrix4& view) {
    if (!scene.cameras || cameraIndex < 0 || cameraIndex >= scene.cameraCount) return false;
    Camera& camera = scene.cameras[cameraIndex];
    if (camera.posKeyCount <= 0 || camera.targetKeyCount <= 0 || !camera.posKeys ||
        !camera.targetKeys)
        return false;
    // A target on the eye gives no direction to look in; the evaluation then keeps the rest
    // orientation (looking along +Y, Z up) and only moves the eye to the origin.
    camera.evaluate(frame);
    view = camera.view;
    return true;
}

// Camera space looks along +Y with Z up; OpenGL's eye space looks along -Z with Y up. The
// swap (x, z, -y) is a rotation, so the corners keep their winding.
void toGl(const Vector3& v, GLfloat out[3]) {
    out[0] = v.x;
    out[1] = v.z;
    out[2] = -v.y;
}

// What the triangles of a pass leave as GL's current colour, normal and texture coordinate:
// those of the last face's last corner, the texture coordinate of the last corner that sent
// one. A skipped pass sets them directly, so the next draw finds what a drawn one would leave.
struct LastCorner {
    bool anyFace = false;
    GLfloat normal[3] = {0, 0, 0};
    bool anyTexCoord = false;
    GLfloat texCoord[2] = {0, 0};
};

void noteLastCorner(const GeomObj& object, int32_t normalTexCoords, LastCorner& last) {
    if (object.faceCount <= 0) return;
    const Face& face = object.faces[object.faceCount - 1];
    last.anyFace = true;
    toGl(face.vert[2]->xnormal, last.normal);
    if (object.tvertCount == 0) return;
    if (normalTexCoords) {
        last.anyTexCoord = true;
        last.texCoord[0] = face.vert[2]->xnormal.x;
        last.texCoord[1] = face.vert[2]->xnormal.z;
        return;
    }
    // Corners without a texture vertex send none; look back for the last one that did.
    for (int32_t f = object.faceCount - 1; f >= 0; --f)
        for (int c = 2; c >= 0; --c)
            if (const TVert* t = object.faces[f].tvert[c]) {
                last.anyTexCoord = true;
                last.texCoord[0] = t->u;
                last.texCoord[1] = t->v;
                return;
            }
}

void sendFaces(const GeomObj& object, float alpha, int32_t normalTexCoords) {
    for (int32_t f = 0; f < object.faceCount; ++f) {
        const Face& face = object.faces[f];
        glBegin(GL_TRIANGLES);
        glColor4f(1, 1, 1, alpha); // passed on unchanged, also below 0 or above 1
        for (int c = 0; c < 3; ++c) {
            const Vertex& v = *face.vert[c];
            GLfloat out[3];
            toGl(v.xnormal, out);
            glNormal3fv(out);
            // Without texture vertices GL keeps the last coordinate given, even when the
            // coordinates would come from the normals.
            if (object.tvertCount != 0) {
                if (normalTexCoords)
                    glTexCoord2f(v.xnormal.x, v.xnormal.z);
                else if (face.tvert[c])
                    glTexCoord2f(face.tvert[c]->u, face.tvert[c]->v);
            }
            toGl(v.xpos, out);
            glVertex3fv(out);
        }
        glEnd();
    }
}

} // namespace

void drawAnimatedScene(Scene& scene, int32_t frame, int32_t cameraIndex, uint32_t texture,
                       float alpha, int32_t blendType, int32_t normalTexCoords) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    Matrix4 view;
    const bool visible = cameraView(scene, frame, cameraIndex, view);

    if (blendType == 1)
        setBlendFunction(GL_SRC_ALPHA, GL_ONE);
    else if (blendType == 2)
        setBlendFunction(GL_ONE, GL_ONE);
    else if (blendType == 3)
        setBlendFunction(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);

    // A pass that cannot change a pixel still carries its vertices into eye space (the
    // records hold the last call's results either way) but sends no triangles.
    const bool skipped = layerLeavesFrameUnchanged(alpha);
    LastCorner last;

    // A scene that cannot be seen draws nothing but leaves the same state as one that can.
    for (int32_t o = 0; visible && scene.objects && o < scene.objectCount; ++o) {
        GeomObj& object = scene.objects[o];
        const int k = selectKey(object.keys, object.keyCount, frame);
        if (k < 0) continue; // no keys: the object has no place at any frame
        const Matrix4 m = multiply(object.keys[k].matrix, view);

        // Each vertex once, however many faces share it; the faces use the stored results.
        for (int32_t i = 0; i < object.vertexCount; ++i) {
            Vertex& v = object.vertices[i];
            v.xpos = transformPoint(v.pos, m);
            v.xnormal = transformVector(v.normal, m);
        }
        if (skipped)
            noteLastCorner(object, normalTexCoords, last);
        else
            sendFaces(object, alpha, normalTexCoords);
    }
    if (last.anyFace) {
        glColor4f(1, 1, 1, alpha);
        glNormal3fv(last.normal);
    }
    if (last.anyTexCoord) glTexCoord2f(last.texCoord[0], last.texCoord[1]);

    glPopMatrix();
    setLighting(false);
    setBlendFunction(GL_SRC_ALPHA, GL_ONE);
}
