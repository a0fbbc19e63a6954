// Writes the fuzzers' hand-made seeds into fuzz/seeds/<format>/: a few small files per format,
// each using a part of its format the others do not, so a fresh corpus starts at every branch
// at a few hundred bytes an input. Built only in the fuzz build, where libjpeg-turbo is the
// release from third_party/ and can also write 12-bit and lossless pictures:
//   build-fuzz/bin/fuzz_make_seeds fuzz/seeds
// The TGA seeds double as the textures the mesh target finds under gfx/, under the names the
// mesh seeds and the mesh dictionary use.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "writers.h"

namespace {
std::string outDir;
int failures = 0;

void put(const std::string& name, const Bytes& bytes) {
    std::error_code ignored; // a folder that cannot be made fails the write below
    std::filesystem::create_directories(outDir, ignored);
    if (bytes.empty() || !writeBytes(outDir + "/" + name, bytes)) {
        fprintf(stderr, "make_seeds: cannot write %s\n", name.c_str());
        ++failures;
    }
}

// ---- Mesh ----

MeshFaceRecord face(int16_t a, int16_t b, int16_t c, int8_t selector, int16_t t = 0) {
    MeshFaceRecord f;
    f.a = a, f.b = b, f.c = c, f.p = 0, f.q = 1, f.r = 2, f.selector = selector;
    f.i = t, f.j = int16_t(t + 1), f.k = int16_t(t + 2);
    f.normal = {0, 0, 1};
    f.vertexNormals = {Vector3{0, 0, 1}, Vector3{0, 1, 0}, Vector3{1, 0, 0}};
    return f;
}

MeshObjectRecord object(const std::string& name, int16_t materialIndex, int faces) {
    MeshObjectRecord o;
    o.name = name;
    o.materialIndex = materialIndex;
    o.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5f}};
    o.edgeFlags = {1, 2, 3};
    for (int i = 0; i < faces; ++i)
        o.faces.push_back(face(int16_t(i % 2), 2, 3, int8_t(i)));
    return o;
}

void meshSeeds() {
    outDir += "/mesh";
    put("empty", meshBytes(MeshFileRecord{}));
    MeshFileRecord tri;
    tri.materials = {MeshMaterialRecord{10, 20, 30, "", {}, {}}};
    tri.objects = {object("tri", 0, 1)};
    put("one-triangle", meshBytes(tri));

    // Textures found and shared (one file under three names), missing, a forward slash; a
    // material with sub-materials chosen by selector; texture vertices out of [0, 1]; an
    // object without a material; room for a camera and a light.
    MeshFileRecord m;
    MeshMaterialRecord top{200, 100, 50, "C:\\maps\\a.tga", {}, {}};
    top.subs = {MeshMaterialRecord{1, 2, 3, "b.tga", {}, {}},
                MeshMaterialRecord{4, 5, 6, "A.TGA", {}, {}},
                MeshMaterialRecord{7, 8, 9, "maps/c.tga", {}, {}}};
    m.materials = {top, MeshMaterialRecord{9, 9, 9, "c.tga", {}, {}},
                   MeshMaterialRecord{0, 0, 0, "missing.tga", {}, {}}};
    m.cameraCount = 1;
    m.lightCount = 1;
    MeshObjectRecord textured = object("lantern", 0, 4);
    textured.tverts = {{-0.25f, 0.25f}, {1.5f, -0.5f}, {0.5f, 0.5f}, {0, 1}, {1, 0}};
    m.objects = {textured, object("a", 1, 2), object("none", -1, 2)};
    put("textured-sub-materials", meshBytes(m));
}

// ---- Animation ----

VectorKey key(int16_t frame, float x, float y, float z) {
    return VectorKey{frame, Vector3(x, y, z)};
}

void animSeeds() {
    outDir += "/anim";
    // One camera, no lights, one block for "tri" with one key and the zero marker.
    AnimFileRecord small;
    AnimCameraRecord camera;
    camera.fov = {45};
    camera.pos = {key(0, 0, -10, 2)};
    camera.target = {key(0, 0, 0, 0)};
    small.cameras = {camera};
    ObjectKey identity{0, {}};
    for (int i = 0; i < 16; ++i)
        identity.matrix.m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    small.objects = {AnimObjectRecord{1, "tri", {identity}, {}}};
    put("one-camera-one-object", animBytes(small));

    // Two cameras (one with an empty FOV list) and two lights; a block without keys, a
    // repeated block, frames from -1; bytes after the marker.
    AnimFileRecord a;
    a.firstFrame = -1;
    a.endFrame = 300;
    a.frameExtra = 2;
    AnimCameraRecord second;
    second.pos = {key(-1, 1, 2, 3), key(40, 4, 5, 6)};
    second.target = {key(10, 1, 2, 4)};
    a.cameras = {camera, second};
    a.lights = {AnimLightRecord{3, Vector3(1, 0.5f, 0), 2.0f, {key(0, 5, 5, 5)}, {}},
                AnimLightRecord{-1, Vector3(0, 0, 1), 0.5f, {}, {}}};
    ObjectKey moved = identity;
    moved.keyFrame = 37;
    moved.matrix.m[12] = 4;
    a.objects = {AnimObjectRecord{1, "lantern", {}, {}},
                 AnimObjectRecord{-2, "a", {identity, moved}, {}},
                 AnimObjectRecord{7, "a", {moved}, {}}};
    a.trailing = {1, 2, 3};
    put("cameras-lights-repeats", animBytes(a));
}

// ---- TGA ----

Bytes pattern(size_t n, unsigned seed) {
    Bytes out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = uint8_t((i * 37 + seed * 11) ^ (i >> 3));
    return out;
}

void tgaSeeds() {
    outDir += "/tga";
    put("a.tga", tgaBytes(TgaRecord{2, 2, 24, 2, 0, 0, pattern(12, 1)}));
    put("b.tga", tgaBytes(TgaRecord{3, 1, 16, 2, 0, 0, pattern(6, 2)}));
    put("c.tga", tgaBytes(TgaRecord{1, 2, 32, 2, 0, 0x28, pattern(8, 3)}));
    put("empty.tga", tgaBytes(TgaRecord{0, 5, 8, 3, 0, 0, {}}));
}

// ---- JPEG ----

struct JpegSeed {
    const char* name;
    int width, height;
    J_COLOR_SPACE in;  // the samples handed over
    J_COLOR_SPACE out; // the file's colour space
    int precision;     // 8 or 12
    // Set after the defaults: sampling, coding, scans, restarts.
    void (*tune)(jpeg_compress_struct&);
};

// One picture through libjpeg's compressor; the samples are a ramp with some noise.
Bytes compress(const JpegSeed& s) {
    auto setUp = [&s](jpeg_compress_struct& info) {
        info.image_width = JDIMENSION(s.width);
        info.image_height = JDIMENSION(s.height);
        info.in_color_space = s.in;
        info.input_components = s.in == JCS_GRAYSCALE ? 1 : s.in == JCS_CMYK ? 4 : 3;
        info.data_precision = s.precision;
        jpeg_set_defaults(&info);
        jpeg_set_colorspace(&info, s.out);
        jpeg_set_quality(&info, 75, TRUE);
        if (s.tune) s.tune(info);
    };
    auto writeRows = [&s](jpeg_compress_struct& info) {
        const char comment[] = "fuzz seed";
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET*>(comment),
                          sizeof comment);
        const size_t rowSamples = size_t(s.width) * size_t(info.input_components);
        std::vector<JSAMPLE> row8(rowSamples);
        std::vector<J12SAMPLE> row12(rowSamples);
        while (info.next_scanline < info.image_height) {
            for (size_t i = 0; i < rowSamples; ++i) {
                int v = int(i * 9 + info.next_scanline * 13 + (i * 7919 % 23)) & 255;
                row8[i] = JSAMPLE(v);
                row12[i] = J12SAMPLE(v * 16 + int(i & 15));
            }
            if (s.precision == 12) {
                J12SAMPROW r = row12.data();
                jpeg12_write_scanlines(&info, &r, 1);
            } else {
                JSAMPROW r = row8.data();
                jpeg_write_scanlines(&info, &r, 1);
            }
        }
    };
    return compressJpeg(setUp, writeRows);
}

void sampling(jpeg_compress_struct& info, int h, int v) {
    info.comp_info[0].h_samp_factor = h;
    info.comp_info[0].v_samp_factor = v;
}

void jpegSeeds() {
    outDir += "/jpeg";
    const JpegSeed seeds[] = {
        {"grey.jpg", 8, 8, JCS_GRAYSCALE, JCS_GRAYSCALE, 8, nullptr},
        {"rgb-420.jpg", 16, 16, JCS_RGB, JCS_YCbCr, 8, nullptr},
        {"rgb-444-odd-size.jpg", 13, 7, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) { sampling(i, 1, 1); }},
        {"rgb-422-restarts.jpg", 16, 8, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) {
             sampling(i, 2, 1);
             i.restart_interval = 1;
         }},
        {"rgb-440-optimized.jpg", 8, 16, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) {
             sampling(i, 1, 2);
             i.optimize_coding = TRUE;
         }},
        {"rgb-411.jpg", 32, 8, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) { sampling(i, 4, 1); }},
        {"rgb-as-rgb.jpg", 8, 8, JCS_RGB, JCS_RGB, 8, nullptr},
        {"progressive.jpg", 16, 16, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) { jpeg_simple_progression(&i); }},
        {"arithmetic.jpg", 16, 16, JCS_RGB, JCS_YCbCr, 8,
         [](jpeg_compress_struct& i) { i.arith_code = TRUE; }},
        {"arithmetic-progressive.jpg", 16, 16, JCS_GRAYSCALE, JCS_GRAYSCALE, 8,
         [](jpeg_compress_struct& i) {
             i.arith_code = TRUE;
             jpeg_simple_progression(&i);
         }},
        {"cmyk.jpg", 8, 8, JCS_CMYK, JCS_CMYK, 8, nullptr},
        {"ycck.jpg", 8, 8, JCS_CMYK, JCS_YCCK, 8, nullptr},
        {"twelve-bit.jpg", 8, 8, JCS_RGB, JCS_YCbCr, 12, nullptr},
        {"lossless.jpg", 8, 8, JCS_RGB, JCS_RGB, 8,
         [](jpeg_compress_struct& i) { jpeg_enable_lossless(&i, 1, 0); }},
    };
    for (const JpegSeed& s : seeds)
        put(s.name, compress(s));
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s SEEDS_DIR (writes SEEDS_DIR/{mesh,anim,tga,jpeg}/)\n", argv[0]);
        return 2;
    }
    for (void (*make)() : {meshSeeds, animSeeds, tgaSeeds, jpegSeeds}) {
        outDir = argv[1];
        make();
    }
    return failures ? 1 : 0;
}
