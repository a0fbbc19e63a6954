#include "writers.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

void putU8(Bytes& out, uint8_t v) {
    out.push_back(v);
}
void putI8(Bytes& out, int8_t v) {
    out.push_back(static_cast<uint8_t>(v));
}
void putU16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void putI16(Bytes& out, int16_t v) {
    putU16(out, static_cast<uint16_t>(v));
}
void putF32(Bytes& out, float v) {
    uint32_t bits;
    memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}
void putVector3(Bytes& out, const Vector3& v) {
    putF32(out, v.x);
    putF32(out, v.y);
    putF32(out, v.z);
}
void putString(Bytes& out, const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}
void putFixed(Bytes& out, const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < s.size() ? uint8_t(s[i]) : 0);
}

Bytes cutBytes(const Bytes& bytes, size_t n) {
    return Bytes(bytes.begin(), bytes.begin() + (n < bytes.size() ? n : bytes.size()));
}

bool writeBytes(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

Bytes readBytes(const std::string& path) {
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

namespace {
template <typename List> int16_t countOf(const std::optional<int16_t>& override, const List& l) {
    return override ? *override : static_cast<int16_t>(l.size());
}

void putVectorKey(Bytes& out, const VectorKey& k) {
    putI16(out, k.keyFrame);
    putVector3(out, k.value);
}
} // namespace

// ---- Mesh files ----

void putMeshMaterial(Bytes& out, const MeshMaterialRecord& m) {
    putU8(out, m.red);
    putU8(out, m.green);
    putU8(out, m.blue);
    putString(out, m.textureName);
    putI16(out, countOf(m.subCount, m.subs));
    for (const auto& s : m.subs)
        putMeshMaterial(out, s);
}

Bytes meshBytes(const MeshFileRecord& mesh) {
    Bytes out;
    putFixed(out, mesh.magic, 12);
    putI16(out, mesh.reserved);
    putI16(out, countOf(mesh.materialCount, mesh.materials));
    for (const auto& m : mesh.materials)
        putMeshMaterial(out, m);
    putI16(out, countOf(mesh.objectCount, mesh.objects));
    putI16(out, mesh.cameraCount);
    putI16(out, mesh.lightCount);
    for (const auto& o : mesh.objects) {
        putI16(out, o.materialIndex);
        putString(out, o.name);
        for (const auto& p : o.points)
            putVector3(out, p);
        putI16(out, countOf(o.vertexCount, o.positions));
        for (const auto& p : o.positions)
            putVector3(out, p);
        putI16(out, countOf(o.edgeCount, o.edgeFlags));
        for (uint8_t e : o.edgeFlags)
            putU8(out, e);
        putI16(out, countOf(o.faceCount, o.faces));
        for (const auto& f : o.faces) {
            putI16(out, f.a);
            putI16(out, f.b);
            putI16(out, f.c);
            putI16(out, f.p);
            putI16(out, f.q);
            putI16(out, f.r);
            putI8(out, f.selector);
        }
        int16_t t = countOf(o.tvertCount, o.tverts);
        putI16(out, t);
        if (t != 0) {
            for (const auto& tv : o.tverts) {
                putF32(out, tv.u);
                putF32(out, tv.v);
            }
            for (const auto& f : o.faces) {
                putI16(out, f.i);
                putI16(out, f.j);
                putI16(out, f.k);
            }
        }
        for (const auto& f : o.faces) {
            putVector3(out, f.normal);
            for (const auto& n : f.vertexNormals)
                putVector3(out, n);
        }
    }
    return out;
}

bool writeMeshFile(const std::string& path, const MeshFileRecord& mesh) {
    return writeBytes(path, meshBytes(mesh));
}

// ---- Animation files ----

Bytes animBytes(const AnimFileRecord& anim) {
    Bytes out;
    putFixed(out, anim.magic, 12);
    putI16(out, anim.reserved);
    putI16(out, anim.firstFrame);
    putI16(out, anim.endFrame);
    putI16(out, anim.frameExtra);
    putI16(out, countOf(anim.cameraCount, anim.cameras));
    putI16(out, countOf(anim.lightCount, anim.lights));
    for (const auto& c : anim.cameras) {
        putI16(out, countOf(c.fovCount, c.fov));
        for (float f : c.fov)
            putF32(out, f);
        putI16(out, countOf(c.posCount, c.pos));
        for (const auto& k : c.pos)
            putVectorKey(out, k);
        putI16(out, countOf(c.targetCount, c.target));
        for (const auto& k : c.target)
            putVectorKey(out, k);
    }
    for (const auto& l : anim.lights) {
        putI16(out, l.tag);
        putVector3(out, l.colour);
        putF32(out, l.scalar);
        putI16(out, countOf(l.keyCount, l.keys));
        for (const auto& k : l.keys)
            putVectorKey(out, k);
    }
    for (const auto& o : anim.objects) {
        putI16(out, o.marker);
        putString(out, o.name);
        putI16(out, countOf(o.keyCount, o.keys));
        for (const auto& k : o.keys) {
            putI16(out, k.keyFrame);
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 3; ++col)
                    putF32(out, k.matrix.at(row, col));
        }
    }
    if (anim.endMarker) putI16(out, 0);
    out.insert(out.end(), anim.trailing.begin(), anim.trailing.end());
    return out;
}

bool writeAnimFile(const std::string& path, const AnimFileRecord& anim) {
    return writeBytes(path, animBytes(anim));
}

// ---- TGA images ----

Bytes tgaBytes(const TgaRecord& tga) {
    Bytes out;
    putU8(out, tga.idLength);
    putU8(out, 0); // no colour map
    putU8(out, tga.imageType);
    for (int i = 0; i < 5; ++i)
        putU8(out, 0); // colour-map fields
    putU16(out, 0);    // x origin
    putU16(out, 0);    // y origin
    putU16(out, tga.width);
    putU16(out, tga.height);
    putU8(out, tga.depth);
    putU8(out, tga.descriptor);
    out.insert(out.end(), tga.pixels.begin(), tga.pixels.end());
    return out;
}

bool writeTgaFile(const std::string& path, const TgaRecord& tga) {
    return writeBytes(path, tgaBytes(tga));
}

// ---- JPEG images ----

namespace {
struct CompressError {
    jpeg_error_mgr mgr;
    jmp_buf recovery;
};

void compressErrorExit(j_common_ptr info) {
    longjmp(reinterpret_cast<CompressError*>(info->err)->recovery, 1);
}

J_COLOR_SPACE colourSpaceOf(int components) {
    return components == 1   ? JCS_GRAYSCALE
           : components == 3 ? JCS_RGB
           : components == 4 ? JCS_CMYK
                             : JCS_UNKNOWN;
}
} // namespace

Bytes compressJpeg(const std::function<void(jpeg_compress_struct&)>& setUp,
                   const std::function<void(jpeg_compress_struct&)>& writeRows) {
    jpeg_compress_struct info;
    CompressError err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = compressErrorExit;
    if (setjmp(err.recovery)) {
        jpeg_destroy_compress(&info);
        free(buffer);
        return Bytes();
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    setUp(info);
    jpeg_start_compress(&info, TRUE);
    writeRows(info);
    jpeg_finish_compress(&info);
    Bytes result(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return result;
}

Bytes jpegBytes(int width, int height, int components, const Bytes& pixels, int quality) {
    if (colourSpaceOf(components) == JCS_UNKNOWN || width < 1 || height < 1 ||
        pixels.size() < size_t(width) * size_t(height) * size_t(components))
        return Bytes();
    auto setUp = [&](jpeg_compress_struct& info) {
        info.image_width = JDIMENSION(width);
        info.image_height = JDIMENSION(height);
        info.input_components = components;
        info.in_color_space = colourSpaceOf(components);
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
    };
    auto writeRows = [&](jpeg_compress_struct& info) {
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + size_t(info.next_scanline) *
                                                                    size_t(width) * components);
            jpeg_write_scanlines(&info, &row, 1);
        }
    };
    return compressJpeg(setUp, writeRows);
}

bool writeJpegFile(const std::string& path, int width, int height, int components,
                   const Bytes& pixels, int quality) {
    Bytes bytes = jpegBytes(width, height, components, pixels, quality);
    return !bytes.empty() && writeBytes(path, bytes);
}
