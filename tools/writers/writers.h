// Writers of the demo's file formats from plain records: mesh files ("_quoxelmesh"),
// animation files ("_quoxelanim"), TGA images and JPEG images. Tests state their cases as
// data, the baker writes the show's content with them, and the fuzz seeds come from them.
//
// Every count written into a file is the size of its list unless the matching override is
// set; an override writes that count while the list is written as it stands, so a file whose
// counts disagree with its contents is one field away. `cutBytes` makes a file cut short.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/types.h"

using Bytes = std::vector<uint8_t>;

// Little-endian, packed appenders for hand-made byte layouts.
void putU8(Bytes& out, uint8_t v);
void putI8(Bytes& out, int8_t v);
void putI16(Bytes& out, int16_t v);
void putU16(Bytes& out, uint16_t v);
void putF32(Bytes& out, float v);
void putVector3(Bytes& out, const Vector3& v);
// The bytes of s followed by one zero byte.
void putString(Bytes& out, const std::string& s);
// Exactly width bytes: s cut or padded with zero bytes (a 12-byte magic field).
void putFixed(Bytes& out, const std::string& s, size_t width);

// The first n bytes (all of them when n exceeds the size).
Bytes cutBytes(const Bytes& bytes, size_t n);

// Writes the bytes to path; false when the file cannot be written completely.
bool writeBytes(const std::string& path, const Bytes& bytes);
// The whole file, or an empty list when it cannot be read.
Bytes readBytes(const std::string& path);

// ---- Mesh files ----

struct MeshMaterialRecord {
    uint8_t red = 0, green = 0, blue = 0;
    std::string textureName; // empty: no texture
    std::vector<MeshMaterialRecord> subs;
    std::optional<int16_t> subCount;
};

struct MeshFaceRecord {
    int16_t a = 0, b = 0, c = 0; // vertex indices in file order
    int16_t p = 0, q = 0, r = 0; // edge indices
    int8_t selector = 0;         // sub-material selector
    int16_t i = 0, j = 0, k = 0; // texture-vertex indices (written only when T != 0)
    Vector3 normal{0, 0, 0};
    std::array<Vector3, 3> vertexNormals{Vector3{0, 0, 0}, Vector3{0, 0, 0}, Vector3{0, 0, 0}};
};

struct MeshTVertRecord {
    float u = 0, v = 0;
};

struct MeshObjectRecord {
    int16_t materialIndex = 0; // -1: no material
    std::string name;
    std::array<Vector3, 8> points{};
    std::vector<Vector3> positions;
    std::vector<uint8_t> edgeFlags;
    std::vector<MeshFaceRecord> faces;
    std::vector<MeshTVertRecord> tverts;
    std::optional<int16_t> vertexCount, edgeCount, faceCount, tvertCount;
};

struct MeshFileRecord {
    std::string magic = "_quoxelmesh"; // written as 12 bytes, zero padded
    int16_t reserved = 0;
    std::vector<MeshMaterialRecord> materials;
    int16_t cameraCount = 0;
    int16_t lightCount = 0;
    std::vector<MeshObjectRecord> objects;
    std::optional<int16_t> materialCount, objectCount;
};

void putMeshMaterial(Bytes& out, const MeshMaterialRecord& material);
Bytes meshBytes(const MeshFileRecord& mesh);
bool writeMeshFile(const std::string& path, const MeshFileRecord& mesh);

// ---- Animation files ----

struct AnimCameraRecord {
    std::vector<float> fov;
    std::vector<VectorKey> pos;
    std::vector<VectorKey> target;
    std::optional<int16_t> fovCount, posCount, targetCount;
};

struct AnimLightRecord {
    int16_t tag = 0;
    Vector3 colour{0, 0, 0};
    float scalar = 0;
    std::vector<VectorKey> keys;
    std::optional<int16_t> keyCount;
};

// An object key is written as its frame and the 12 floats a00 a01 a02 … t0 t1 t2, the first
// three columns of the matrix's four rows.
struct AnimObjectRecord {
    int16_t marker = 1; // any non-zero value introduces a block
    std::string name;
    std::vector<ObjectKey> keys;
    std::optional<int16_t> keyCount;
};

struct AnimFileRecord {
    std::string magic = "_quoxelanim";
    int16_t reserved = 0;
    int16_t firstFrame = 0, endFrame = 0, frameExtra = 0;
    std::vector<AnimCameraRecord> cameras;
    std::vector<AnimLightRecord> lights;
    std::vector<AnimObjectRecord> objects;
    std::optional<int16_t> cameraCount, lightCount;
    bool endMarker = true; // the zero marker after the last block
    Bytes trailing;        // written after everything else
};

Bytes animBytes(const AnimFileRecord& anim);
bool writeAnimFile(const std::string& path, const AnimFileRecord& anim);

// ---- TGA images ----

// An 18-byte header and the pixel bytes as given (rows in file order, bottom-up for an
// ordinary TGA, channels in whatever order the caller wants on disk). The pixels are not
// checked against the size, so a file shorter or longer than its header says is easy.
struct TgaRecord {
    uint16_t width = 0, height = 0;
    uint8_t depth = 24;
    uint8_t imageType = 2; // uncompressed true colour
    uint8_t idLength = 0;
    uint8_t descriptor = 0;
    Bytes pixels;
};

Bytes tgaBytes(const TgaRecord& tga);
bool writeTgaFile(const std::string& path, const TgaRecord& tga);

// ---- JPEG images ----

struct jpeg_compress_struct;
// libjpeg's compressor into memory: setUp describes the picture and sets the parameters
// (jpeg_set_defaults and what follows it), writeRows hands over every row once compression
// has started. Empty when libjpeg fails.
Bytes compressJpeg(const std::function<void(jpeg_compress_struct&)>& setUp,
                   const std::function<void(jpeg_compress_struct&)>& writeRows);
// Compresses width × height pixels of `components` samples each (1 grey, 3 RGB, 4 CMYK), rows
// top first, with libjpeg at the given quality. Empty on failure.
Bytes jpegBytes(int width, int height, int components, const Bytes& pixels, int quality = 95);
bool writeJpegFile(const std::string& path, int width, int height, int components,
                   const Bytes& pixels, int quality = 95);
