#include "anim/keyframes.h"

#include <cmath>

#include "assets/scene.h"

Matrix4 identity() {
    Matrix4 r;
    for (int i = 0; i < 16; ++i)
        r.m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    return r;
}

Matrix4 translation(const Vector3& v) {
    Matrix4 r = identity();
    r.at(3, 0) = v.x;
    r.at(3, 1) = v.y;
    r.at(3, 2) = v.z;
    return r;
}

Matrix4 rotationX(float angle) {
    float s = float(std::sin(double(angle))), c = float(std::cos(double(angle)));
    Matrix4 r = identity();
    r.at(1, 1) = c;
    r.at(1, 2) = s;
    r.at(2, 1) = -s;
    r.at(2, 2) = c;
    return r;
}

Matrix4 rotationZ(float angle) {
    float s = float(std::sin(double(angle))), c = float(std::cos(double(angle)));
    Matrix4 r = identity();
    r.at(0, 0) = c;
    r.at(0, 1) = s;
    r.at(1, 0) = -s;
    r.at(1, 1) = c;
    return r;
}

// Only the first three columns take part: the fourth column of an affine matrix is always
// 0, 0, 0, 1, so it is written, never read.
Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 c;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float v = a.at(i, 0) * b.at(0, j) + a.at(i, 1) * b.at(1, j) + a.at(i, 2) * b.at(2, j);
            if (i == 3) v += b.at(3, j);
            c.at(i, j) = v;
        }
        c.at(i, 3) = i == 3 ? 1.0f : 0.0f;
    }
    return c;
}

Vector3 transformPoint(const Vector3& p, const Matrix4& m) {
    return Vector3(p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
                   p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1),
                   p.x * m.at(0, 2) + p.y * m.at(1, 2) + p.z * m.at(2, 2) + m.at(3, 2));
}

Vector3 transformVector(const Vector3& v, const Matrix4& m) {
    return Vector3(v.x * m.at(0, 0) + v.y * m.at(1, 0) + v.z * m.at(2, 0),
                   v.x * m.at(0, 1) + v.y * m.at(1, 1) + v.z * m.at(2, 1),
                   v.x * m.at(0, 2) + v.y * m.at(1, 2) + v.z * m.at(2, 2));
}

float length(const Vector3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// The camera looks from its position key towards its target key, with no roll. A track
// without keys leaves eye and view as they were (the renderer does not draw such a scene
// from this camera). A target on the eye has no direction: the camera then looks along +Y
// (pitch 0, yaw 0), so view stays a plain translation and never holds a NaN.
void Camera::evaluate(int32_t frame) {
    int i = selectKey(posKeys, posKeyCount, frame);
    int j = selectKey(targetKeys, targetKeyCount, frame);
    if (i < 0 || j < 0) return;
    eye = posKeys[i].value;
    const Vector3& target = targetKeys[j].value;
    Vector3 d(target.x - eye.x, target.y - eye.y, target.z - eye.z);
    float l = length(d);
    float pitch = 0.0f, yaw = 0.0f;
    if (l > 0.0f && std::isfinite(l)) {
        // Rounding can carry d.z / L a hair past ±1, where asin has no value.
        float s = d.z / l;
        s = s > 1.0f ? 1.0f : (s < -1.0f ? -1.0f : s);
        pitch = float(-std::asin(double(s)));
        yaw = float(std::atan2(double(d.x), double(d.y)));
    }
    view = multiply(multiply(translation(Vector3(-eye.x, -eye.y, -eye.z)), rotationZ(yaw)),
                    rotationX(pitch));
}
