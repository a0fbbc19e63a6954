// Key selection, the affine matrix operations and the two transforms of the scene renderer.
#pragma once
#include <cstdint>

#include "common/types.h"

// Index of the key in force at frame: the key before the first whose keyFrame exceeds frame,
// else the last. -1 for an empty track (no count above 0): the caller draws nothing from it.
template <typename Key> int selectKey(const Key* keys, int32_t count, int32_t frame) {
    if (count < 1 || !keys) return -1;
    for (int32_t k = 1; k < count; ++k)
        if (static_cast<int32_t>(keys[k].keyFrame) > frame) return k - 1;
    return count - 1;
}

Matrix4 identity();
Matrix4 translation(const Vector3& v);
Matrix4 rotationX(float angle);
Matrix4 rotationZ(float angle);
// Applies first a, then b.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
Vector3 transformPoint(const Vector3& p, const Matrix4& m);
Vector3 transformVector(const Vector3& v, const Matrix4& m);
float length(const Vector3& v);
