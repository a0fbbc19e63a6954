// Demo paths on the host: backslashes, doubled slashes and names in another letter case.
#include "platform/files.h"

#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace {
void makeFile(const std::string& path, const std::string& content) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fputs(content.c_str(), f);
    fclose(f);
}

std::string readAll(FILE* f) {
    std::string out;
    int c;
    while ((c = fgetc(f)) != EOF)
        out += char(c);
    fclose(f);
    return out;
}

std::string contentOf(const char* demoPath) {
    FILE* f = openFile(demoPath, "rb");
    return f ? readAll(f) : "<none>";
}
} // namespace

TEST(OpenFile, WindowsSeparatorsAndDoubledSlashesReachTheFile) {
    ScratchDir dir;
    mkdir("data", 0755);
    mkdir("data/sub", 0755);
    makeFile("data/s2.it", "music");
    makeFile("data/sub/x.bin", "deep");
    EXPECT_EQ(contentOf("data\\s2.it"), "music");
    EXPECT_EQ(contentOf("data//s2.it"), "music");
    EXPECT_EQ(contentOf("data\\\\s2.it"), "music");
    EXPECT_EQ(contentOf(".\\data\\sub/x.bin"), "deep");
}

TEST(OpenFile, NamesMatchWithoutRegardToLetterCaseInEveryComponent) {
    ScratchDir dir;
    mkdir("Data", 0755);
    mkdir("Data/GFX", 0755);
    makeFile("Data/GFX/Wood.TGA", "wood");
    makeFile("Data/1.chk", "mesh");
    EXPECT_EQ(contentOf("data\\gfx\\wood.tga"), "wood");
    EXPECT_EQ(contentOf("DATA//gfx\\WOOD.tga"), "wood");
    EXPECT_EQ(contentOf("data\\1.CHK"), "mesh");
    EXPECT_EQ(hostPath("data\\gfx\\wood.tga"), "Data/GFX/Wood.TGA");
    // Absolute paths are matched the same way below the part that exists as written.
    std::string absolute = dir.path + "\\DATA\\gfx\\wood.tga";
    EXPECT_EQ(contentOf(absolute.c_str()), "wood");
}

TEST(OpenFile, AnExactNameWinsOverOtherCasesAndMissingNamesFailCleanly) {
    ScratchDir dir;
    mkdir("data", 0755);
    makeFile("data/a.txt", "lower");
    makeFile("data/A.TXT", "upper");
    EXPECT_EQ(contentOf("data\\a.txt"), "lower");
    EXPECT_EQ(contentOf("data\\A.TXT"), "upper");

    errno = 0;
    EXPECT_EQ(openFile("data\\missing.chk", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(openFile("nodir\\x.chk", "rb"), nullptr);
    EXPECT_EQ(openFile("", "rb"), nullptr);
    EXPECT_EQ(openFile(nullptr, "rb"), nullptr);
}

TEST(OpenFile, NewFilesLandInTheFolderThatExistsInAnotherCase) {
    ScratchDir dir;
    mkdir("Show", 0755);
    FILE* f = openFile("show\\new.bin", "wb");
    ASSERT_NE(f, nullptr);
    fputs("new", f);
    fclose(f);
    struct stat st;
    EXPECT_EQ(stat("Show/new.bin", &st), 0);
    EXPECT_NE(stat("show", &st), 0) << "no second folder is made";
}
