// Triangle meshes for the show's scenes: surfaces of revolution and tori with texture
// coordinates, smooth vertex normals, and the conversion into mesh-file object records.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/types.h"
#include "writers.h"

// One object's geometry. Triangles list corners a, b, c counter-clockwise when seen from
// outside, so (b − a) × (c − a) points outwards; texture vertex i belongs to vertex i.
struct Shape {
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<MeshTVertRecord> tverts; // u around, v up (the file's convention, 0 … 1)
    std::vector<std::array<int16_t, 3>> triangles;
};

// A point of a lathe profile: distance from the Z axis and height.
struct ProfilePoint {
    float r, z;
};

// Turns the profile (listed bottom to top) about the Z axis in `segments` steps. The seam
// column is doubled so that u runs 0 … 1 once around; rows with r = 0 close the surface
// without degenerate triangles. `ribs` > 0 pinches the radius into that many creases, scaled
// per profile point by `ribDepth` (0 leaves a point round).
Shape makeLathe(const std::vector<ProfilePoint>& profile, int32_t segments, int32_t ribs = 0,
                const std::vector<float>& ribDepth = {});
// A ring of radius `major` about the Z axis with a tube of radius `minor`.
Shape makeTorus(float major, float minor, int32_t segments, int32_t sides);
// The points of `shape` carried by the affine matrix (row vectors, p' = p × m).
void transformShape(Shape& shape, const Matrix4& m);
// Area-weighted face normals summed over every corner at the same position, so seams and
// poles are smooth too.
void smoothNormals(Shape& shape);
// Geometric face normal (b − a) × (c − a), not normalised.
Vector3 faceCross(const Shape& shape, size_t triangle);

// The object block of a mesh file: positions, one edge per distinct vertex pair, faces with
// their normals (vertex normals in the file's c, b, a order), texture vertices and the eight
// corners of the bounding box as the object's points.
MeshObjectRecord objectRecord(const Shape& shape, const std::string& name, int16_t materialIndex);

// Small affine helpers with the row-vector convention of the mesh and animation files.
Matrix4 identityMatrix();
Matrix4 rotateX(float angle);
Matrix4 rotateY(float angle);
Matrix4 rotateZ(float angle);
Matrix4 translate(float x, float y, float z);
Matrix4 scaleBy(float s);
// Applies a first, then b.
Matrix4 then(const Matrix4& a, const Matrix4& b);
Vector3 applyPoint(const Vector3& p, const Matrix4& m);
