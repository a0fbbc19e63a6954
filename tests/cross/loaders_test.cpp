// The loaders as cross-built for Windows or the web read every file of the baked show exactly as
// the Linux build does: the same mesh and animation records, texture sizes and JPEG pixels,
// compared dump for dump with the Linux inspector's. Files are opened by the names the program
// writes ("data\1.chk").
#include "format_dumps.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {
struct ExpectedDump {
    std::string kind, file, second, json;
};

std::vector<ExpectedDump> readExpected() {
    std::vector<ExpectedDump> dumps;
    std::ifstream in(LW_EXPECTED_DUMPS);
    std::string line;
    while (std::getline(in, line)) {
        ExpectedDump d;
        size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
        if (c == std::string::npos) continue;
        d.kind = line.substr(0, a);
        d.file = line.substr(a + 1, b - a - 1);
        d.second = line.substr(b + 1, c - b - 1);
        d.json = line.substr(c + 1);
        dumps.push_back(d);
    }
    return dumps;
}

std::string windowsName(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string dumpHere(const ExpectedDump& d) {
    const std::string file = windowsName(d.file), second = windowsName(d.second);
    if (d.kind == "mesh") return dumpMesh(file.c_str());
    if (d.kind == "anim") return dumpAnim(file.c_str(), second.c_str(), false, 0);
    if (d.kind == "jpeg") return dumpJpeg(file.c_str());
    if (d.kind == "tga") return dumpTga(file.c_str());
    return "unknown kind " + d.kind;
}

// Dumps can be long: a mismatch shows where the two first differ.
::testing::AssertionResult sameDump(const std::string& here, const std::string& linux) {
    if (here == linux) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < here.size() && at < linux.size() && here[at] == linux[at])
        ++at;
    const size_t from = at > 60 ? at - 60 : 0;
    return ::testing::AssertionFailure()
           << "first difference at byte " << at << "\n  here:    ..." << here.substr(from, 160)
           << "\n  linux:   ..." << linux.substr(from, 160);
}

void checkKind(const char* kind, size_t atLeast) {
    size_t seen = 0;
    for (const ExpectedDump& d : readExpected()) {
        if (d.kind != kind) continue;
        ++seen;
        EXPECT_TRUE(sameDump(dumpHere(d), d.json)) << d.file << " " << d.second;
    }
    // The baked show has every one of these; fewer means the comparison never ran.
    EXPECT_GE(seen, atLeast) << "dumps of kind " << kind << " in " << LW_EXPECTED_DUMPS;
}
} // namespace

TEST(CrossBuiltLoaders, MeshesAndTheirMaterialTexturesMatchLinux) {
    checkKind("mesh", 3);
}

TEST(CrossBuiltLoaders, AnimationsBoundToTheirScenesMatchLinux) {
    checkKind("anim", 3);
}

TEST(CrossBuiltLoaders, JpegPicturesDecodeToTheSamePixels) {
    checkKind("jpeg", 8);
}

TEST(CrossBuiltLoaders, TgaTexturesReadToTheSamePixels) {
    checkKind("tga", 1);
}
