#include "shapes.h"

#include <cmath>
#include <map>
#include <tuple>

namespace {
constexpr float twoPi = 6.28318530717959f;

Vector3 sub(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 normalised(const Vector3& v) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (l <= 0.0f) return {0.0f, 0.0f, 1.0f};
    return {v.x / l, v.y / l, v.z / l};
}
} // namespace

Shape makeLathe(const std::vector<ProfilePoint>& profile, int32_t segments, int32_t ribs,
                const std::vector<float>& ribDepth) {
    Shape s;
    int32_t rows = static_cast<int32_t>(profile.size());
    // Texture v follows the profile's length, so the picture is not squeezed on steep parts.
    std::vector<float> along(rows, 0.0f);
    for (int32_t j = 1; j < rows; ++j) {
        float dr = profile[j].r - profile[j - 1].r, dz = profile[j].z - profile[j - 1].z;
        along[j] = along[j - 1] + std::sqrt(dr * dr + dz * dz);
    }
    float total = along.back() > 0.0f ? along.back() : 1.0f;
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i <= segments; ++i) {
            float u = static_cast<float>(i) / segments, a = twoPi * u;
            float r = profile[j].r;
            if (ribs > 0 && j < static_cast<int32_t>(ribDepth.size()))
                r *= 1.0f - ribDepth[j] * (1.0f - std::fabs(std::sin(0.5f * ribs * a)));
            s.positions.push_back({r * std::cos(a), r * std::sin(a), profile[j].z});
            s.tverts.push_back({u, along[j] / total});
        }
    }
    auto at = [&](int32_t i, int32_t j) { return static_cast<int16_t>(j * (segments + 1) + i); };
    for (int32_t j = 0; j + 1 < rows; ++j) {
        for (int32_t i = 0; i < segments; ++i) {
            // Seen from outside, i grows to the right and j upwards.
            if (profile[j].r > 0.0f)
                s.triangles.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            if (profile[j + 1].r > 0.0f)
                s.triangles.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    }
    smoothNormals(s);
    return s;
}

Shape makeTorus(float major, float minor, int32_t segments, int32_t sides) {
    Shape s;
    for (int32_t j = 0; j <= sides; ++j) {
        float b = twoPi * j / sides;
        float r = major + minor * std::cos(b), z = minor * std::sin(b);
        for (int32_t i = 0; i <= segments; ++i) {
            float a = twoPi * i / segments;
            s.positions.push_back({r * std::cos(a), r * std::sin(a), z});
            s.tverts.push_back({static_cast<float>(i) / segments, static_cast<float>(j) / sides});
        }
    }
    auto at = [&](int32_t i, int32_t j) { return static_cast<int16_t>(j * (segments + 1) + i); };
    // The tube angle grows from the outer equator upwards over the top: the same orientation
    // as a lathe profile climbing on the outside.
    for (int32_t j = 0; j < sides; ++j)
        for (int32_t i = 0; i < segments; ++i) {
            s.triangles.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            s.triangles.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    smoothNormals(s);
    return s;
}

Vector3 faceCross(const Shape& shape, size_t t) {
    const auto& tri = shape.triangles[t];
    const Vector3& a = shape.positions[tri[0]];
    return cross(sub(shape.positions[tri[1]], a), sub(shape.positions[tri[2]], a));
}

void smoothNormals(Shape& shape) {
    // Corners at the same place (seam columns, poles) share one sum.
    std::map<std::tuple<long, long, long>, int32_t> places;
    std::vector<int32_t> placeOf(shape.positions.size());
    for (size_t v = 0; v < shape.positions.size(); ++v) {
        const Vector3& p = shape.positions[v];
        auto key = std::make_tuple(std::lround(p.x * 1000.0f), std::lround(p.y * 1000.0f),
                                   std::lround(p.z * 1000.0f));
        auto found = places.emplace(key, static_cast<int32_t>(places.size())).first;
        placeOf[v] = found->second;
    }
    std::vector<Vector3> sums(places.size(), Vector3{0.0f, 0.0f, 0.0f});
    for (size_t t = 0; t < shape.triangles.size(); ++t) {
        Vector3 n = faceCross(shape, t); // its length is twice the area: the weight
        for (int16_t v : shape.triangles[t]) {
            Vector3& s = sums[placeOf[v]];
            s = {s.x + n.x, s.y + n.y, s.z + n.z};
        }
    }
    shape.normals.resize(shape.positions.size());
    for (size_t v = 0; v < shape.positions.size(); ++v)
        shape.normals[v] = normalised(sums[placeOf[v]]);
}

void transformShape(Shape& shape, const Matrix4& m) {
    for (Vector3& p : shape.positions)
        p = applyPoint(p, m);
    smoothNormals(shape);
}

MeshObjectRecord objectRecord(const Shape& shape, const std::string& name, int16_t materialIndex) {
    MeshObjectRecord o;
    o.materialIndex = materialIndex;
    o.name = name;
    o.positions = shape.positions;
    Vector3 lo = shape.positions.empty() ? Vector3{0, 0, 0} : shape.positions[0], hi = lo;
    for (const Vector3& p : shape.positions) {
        lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
        hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
    for (int32_t k = 0; k < 8; ++k)
        o.points[k] = {k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z};
    std::map<std::pair<int16_t, int16_t>, int16_t> edges;
    auto edgeOf = [&](int16_t a, int16_t b) {
        auto key = a < b ? std::make_pair(a, b) : std::make_pair(b, a);
        auto found = edges.emplace(key, static_cast<int16_t>(edges.size())).first;
        return found->second;
    };
    for (size_t t = 0; t < shape.triangles.size(); ++t) {
        const auto& tri = shape.triangles[t];
        MeshFaceRecord f;
        f.a = tri[0];
        f.b = tri[1];
        f.c = tri[2];
        f.p = edgeOf(tri[0], tri[1]);
        f.q = edgeOf(tri[1], tri[2]);
        f.r = edgeOf(tri[2], tri[0]);
        f.i = tri[0];
        f.j = tri[1];
        f.k = tri[2];
        f.normal = normalised(faceCross(shape, t));
        // The loader hands these to the face's corners in its stored order c, b, a.
        f.vertexNormals = {shape.normals[tri[2]], shape.normals[tri[1]], shape.normals[tri[0]]};
        o.faces.push_back(f);
    }
    o.edgeFlags.assign(edges.size(), 1); // every edge visible
    o.tverts = shape.tverts;
    return o;
}

Matrix4 identityMatrix() {
    Matrix4 m{};
    m.at(0, 0) = m.at(1, 1) = m.at(2, 2) = m.at(3, 3) = 1.0f;
    return m;
}

Matrix4 rotateX(float angle) {
    Matrix4 m = identityMatrix();
    float c = std::cos(angle), s = std::sin(angle);
    m.at(1, 1) = c, m.at(1, 2) = s, m.at(2, 1) = -s, m.at(2, 2) = c;
    return m;
}

Matrix4 rotateY(float angle) {
    Matrix4 m = identityMatrix();
    float c = std::cos(angle), s = std::sin(angle);
    m.at(0, 0) = c, m.at(0, 2) = -s, m.at(2, 0) = s, m.at(2, 2) = c;
    return m;
}

Matrix4 rotateZ(float angle) {
    Matrix4 m = identityMatrix();
    float c = std::cos(angle), s = std::sin(angle);
    m.at(0, 0) = c, m.at(0, 1) = s, m.at(1, 0) = -s, m.at(1, 1) = c;
    return m;
}

Matrix4 translate(float x, float y, float z) {
    Matrix4 m = identityMatrix();
    m.at(3, 0) = x, m.at(3, 1) = y, m.at(3, 2) = z;
    return m;
}

Matrix4 scaleBy(float s) {
    Matrix4 m = identityMatrix();
    m.at(0, 0) = m.at(1, 1) = m.at(2, 2) = s;
    return m;
}

Matrix4 then(const Matrix4& a, const Matrix4& b) {
    Matrix4 c = identityMatrix();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) {
            float sum = a.at(i, 0) * b.at(0, j) + a.at(i, 1) * b.at(1, j) + a.at(i, 2) * b.at(2, j);
            c.at(i, j) = sum + (i == 3 ? b.at(3, j) : 0.0f);
        }
    return c;
}

Vector3 applyPoint(const Vector3& p, const Matrix4& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1),
            p.x * m.at(0, 2) + p.y * m.at(1, 2) + p.z * m.at(2, 2) + m.at(3, 2)};
}
