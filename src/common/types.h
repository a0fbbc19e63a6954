// The value records every subsystem shares: points, matrices and the two kinds of key.
#pragma once
#include <cstdint>

// A Vector3 made without values holds no defined value until assigned.
struct Vector3 {
    float x, y, z;
    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

// Four rows of four, stored row after row; points are row vectors on the left (p' = p × M),
// so the fourth row holds the translation and the fourth column stays 0, 0, 0, 1.
struct Matrix4 {
    float m[16];
    float& at(int row, int col) { return m[4 * row + col]; }
    float at(int row, int col) const { return m[4 * row + col]; }
};

struct VectorKey {
    int16_t keyFrame;
    Vector3 value;
};

struct ObjectKey {
    int16_t keyFrame;
    Matrix4 matrix;
};
