// The material texture pool: path rules, slots and limits, and hostile TGA files, against the
// GL recorder.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <clocale>
#include <string>

#include "assets/texture_pool.h"
#include "gl_recorder.h"
#include "scratch_dir.h"
#include "writers.h"

namespace {
TgaRecord image(uint16_t width, uint16_t height, uint8_t depth = 24) {
    TgaRecord t;
    t.width = width, t.height = height, t.depth = depth;
    t.pixels.assign(size_t(width) * height * (depth / 8), 9);
    return t;
}

struct Lookup {
    TextureSlot* slot;
    std::string out, err;
};

Lookup find(TexturePool& pool, const char* name) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    TextureSlot* slot = findTexture(pool, name);
    std::string out = testing::internal::GetCapturedStdout();
    return {slot, out, testing::internal::GetCapturedStderr()};
}

// Loads one file into slot 0; returns the result and what went to standard error.
std::pair<int32_t, std::string> load(TexturePool& pool, const TgaRecord& tga) {
    EXPECT_TRUE(writeTgaFile("t.tga", tga));
    testing::internal::CaptureStderr();
    int32_t result = loadTga(pool, "t.tga", pool.slots[0], 0);
    return {result, testing::internal::GetCapturedStderr()};
}
} // namespace

TEST(TexturePath, KeepsThePartAfterTheLastBackslash) {
    EXPECT_STREQ(texturePath("C:\\maps\\Wood.tga"), "gfx\\Wood.tga");
    EXPECT_STREQ(texturePath("maps/wood.tga"), "gfx\\maps/wood.tga");
    // A file part too long for the 1024-byte buffer is cut to fit.
    std::string longName = "x\\" + std::string(2000, 'a');
    EXPECT_EQ(std::string(texturePath(longName.c_str())), "gfx\\" + std::string(1019, 'a'));
}

TEST(TexturePool, SlotsFillFromZeroAndOneFileInAnyCaseOrFolderSharesOne) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir gfx"), 0);
    ASSERT_TRUE(writeTgaFile("gfx/a.tga", image(1, 1)));
    ASSERT_TRUE(writeTgaFile("gfx/Wood.tga", image(3, 2)));
    TexturePool pool;
    initPool(pool, 4194304);
    // A missing file leaves its slot free for the next texture, and is tried again.
    Lookup missing = find(pool, "gone.tga");
    EXPECT_EQ(missing.slot, nullptr);
    EXPECT_EQ(missing.err, "loadtga: No such file or directory\n");
    EXPECT_EQ(missing.out, " (!)-- Texture 'gfx\\gone.tga' not found.\n");
    EXPECT_EQ(find(pool, "gone.tga").out, missing.out);
    glrec::reset();
    EXPECT_EQ(find(pool, "a.tga").slot, &pool.slots[0]);
    TextureSlot* wood = find(pool, "C:\\maps\\Wood.tga").slot;
    ASSERT_EQ(wood, &pool.slots[1]);
    EXPECT_EQ(find(pool, "wood.TGA").slot, wood);
    EXPECT_EQ(find(pool, "maps\\wood.tga").slot, wood);
    EXPECT_EQ(wood->glName, 1);
    EXPECT_EQ(pool.loadedCount, 2);
    EXPECT_EQ(pool.remaining, 4194304 - 4 - 24);
    const std::vector<GlCall> expected = {
        {"glBindTexture", {GL_TEXTURE_2D, 1}},
        {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGB, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, 1}},
    };
    ASSERT_EQ(glrec::calls().size(), 10u) << glrec::dump();
    EXPECT_EQ(std::vector<GlCall>(glrec::calls().begin() + 5, glrec::calls().end()), expected);
}

// GTK sets the user's locale when the setup dialog starts; under a Turkish one the C library
// folds "I" to a dotless i, and the file and slot look-ups must not follow it.
TEST(TexturePool, NamesFoldOnlyAsciiLettersWhateverTheLocale) {
    std::string previous = setlocale(LC_ALL, nullptr);
    if (!setlocale(LC_ALL, "tr_TR.UTF-8")) GTEST_SKIP() << "no tr_TR.UTF-8 locale here";
    ScratchDir dir;
    ASSERT_EQ(system("mkdir GFX"), 0);
    ASSERT_TRUE(writeTgaFile("GFX/TILE.tga", image(2, 2)));
    TexturePool pool;
    initPool(pool, 4194304);
    TextureSlot* tile = find(pool, "tile.tga").slot; // the file, through "gfx\tile.tga"
    TextureSlot* again = find(pool, "TILE.tga").slot;
    setlocale(LC_ALL, previous.c_str());
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(again, tile);
    EXPECT_EQ(pool.loadedCount, 1);
    EXPECT_EQ(pool.remaining, 4194304 - 16) << "read and charged once";
}

TEST(TexturePool, BudgetAcceptsAnExactFitAndRefusesAnythingAfter) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir gfx"), 0);
    ASSERT_TRUE(writeTgaFile("gfx/big.tga", image(1024, 1024)));
    ASSERT_TRUE(writeTgaFile("gfx/small.tga", image(1, 1)));
    ASSERT_TRUE(writeTgaFile("gfx/empty.tga", image(0, 7)));
    TexturePool pool;
    initPool(pool, 4194304);
    ASSERT_NE(find(pool, "big.tga").slot, nullptr);
    EXPECT_EQ(pool.remaining, 0);
    Lookup small = find(pool, "small.tga");
    EXPECT_EQ(small.slot, nullptr);
    EXPECT_EQ(small.err.rfind("pool empty!: ", 0), 0u) << small.err;
    EXPECT_EQ(pool.slots[1].pixels, nullptr);
    EXPECT_NE(find(pool, "empty.tga").slot, nullptr); // costs nothing
    // Released, the pool takes the whole budget again from slot 0.
    releaseTextures(pool);
    EXPECT_EQ(pool.loadedCount, 0);
    EXPECT_EQ(find(pool, "big.tga").slot, &pool.slots[0]);
    EXPECT_EQ(pool.slots[1].name, nullptr);
}

TEST(TexturePool, The129thDistinctTextureFindsNoSlot) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir gfx"), 0);
    ASSERT_TRUE(writeTgaFile("gfx/t.tga", image(1, 1)));
    for (int i = 0; i < 129; ++i)
        ASSERT_EQ(link("gfx/t.tga", ("gfx/t" + std::to_string(i) + ".tga").c_str()), 0);
    TexturePool pool;
    initPool(pool, 4194304);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(find(pool, ("t" + std::to_string(i) + ".tga").c_str()).slot, &pool.slots[i]);
    Lookup full = find(pool, "t128.tga");
    EXPECT_EQ(full.slot, nullptr);
    EXPECT_EQ(full.out, "  shit... max texture number reached!\n");
    EXPECT_EQ(find(pool, "T5.TGA").slot, &pool.slots[5]); // known names still resolve
}

TEST(TgaHostile, ShortFilesHugeHeadersAndOddDepthsAreRefusedWithTheSlotLeftFree) {
    ScratchDir dir;
    TexturePool pool;
    initPool(pool, 4194304);
    glrec::reset();
    TgaRecord shortFile = image(4, 4);
    shortFile.pixels.pop_back();
    EXPECT_EQ(load(pool, shortFile),
              std::make_pair(int32_t(2), std::string("tga cut short: No data available\n")));
    auto huge = load(pool, TgaRecord{65535, 65535, 32, 2, 0, 0, {}});
    EXPECT_EQ(huge.first, 2);
    EXPECT_EQ(huge.second.rfind("pool empty!: ", 0), 0u);
    for (uint8_t depth : {0, 8, 15, 255}) {
        TgaRecord odd = image(2, 2);
        odd.depth = depth;
        EXPECT_EQ(load(pool, odd),
                  std::make_pair(int32_t(1), std::string("tga depth: Invalid argument\n")));
    }
    EXPECT_TRUE(glrec::calls().empty());
    EXPECT_EQ(pool.slots[0].name, nullptr);
    EXPECT_EQ(pool.slots[0].pixels, nullptr);
    EXPECT_EQ(pool.remaining, 4194304);
    // A header cut short counts as zeros: here only the width's low byte survives.
    ASSERT_TRUE(writeBytes("t.tga", cutBytes(tgaBytes(image(3, 3)), 13)));
    EXPECT_EQ(loadTga(pool, "t.tga", pool.slots[0], 0), 0);
    EXPECT_EQ(pool.slots[0].height, 0);
}
