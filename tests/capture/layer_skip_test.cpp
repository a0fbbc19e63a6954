// The whole show captured twice at once, once as the demo draws it and once with --no-cull,
// which draws every layer even where its alpha cannot change a pixel. The frames' hashes are
// compared as the two captures stream them: every frame must be the same to the byte.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const std::string toolPath = LW_CAPTURE_TOOL;
const std::string showDir = LW_SHOW_DIR;

// The rate of the other whole-show checks: every section and both pulses are reached, and
// the fades step often enough for the layers to cross zero as they do on screen.
constexpr int wholeShowFps = 30;

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct HashStream {
    FILE* f = nullptr;
    char line[64];
    explicit HashStream(const std::string& args) {
        const std::string command = quoted(toolPath) + " --show " + quoted(showDir) +
                                    " --quiet --hashes - --fps " + std::to_string(wholeShowFps) +
                                    " " + args;
        f = popen(command.c_str(), "r");
    }
    bool next() {
        if (!f || !fgets(line, sizeof line, f)) return false;
        line[strcspn(line, "\n")] = '\0';
        return true;
    }
    // Closing early ends the capture: its next write finds the pipe closed.
    int close() {
        const int status = f ? pclose(f) : -1;
        f = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

void expectSameFrames(const std::string& size) {
    HashStream culled("--size " + size);
    HashStream drawn("--size " + size + " --no-cull");
    ASSERT_NE(culled.f, nullptr);
    ASSERT_NE(drawn.f, nullptr);
    long frames = 0;
    bool culledMore = false, drawnMore = false;
    while (true) {
        culledMore = culled.next();
        drawnMore = drawn.next();
        if (!culledMore || !drawnMore) break;
        if (std::string(culled.line) != drawn.line) {
            ADD_FAILURE() << "frame " << frames << " (" << double(frames) / wholeShowFps
                          << " s) differs: hash " << culled.line << " with the skip, " << drawn.line
                          << " with every layer drawn";
            break;
        }
        ++frames;
    }
    EXPECT_EQ(culledMore, drawnMore) << "the captures end after different frames";
    const int culledStatus = culled.close(), drawnStatus = drawn.close();
    if (culledMore || drawnMore) return; // stopped early: the closed pipe ended the captures
    EXPECT_EQ(culledStatus, 0);
    EXPECT_EQ(drawnStatus, 0);
    // The show ends on its first frame of second 106.
    EXPECT_EQ(frames, 106L * wholeShowFps + 1);
}

} // namespace

TEST(LayerSkip, WholeShowFramesAreTheSameAt640x480) {
    expectSameFrames("640x480");
}

TEST(LayerSkip, WholeShowFramesAreTheSameAt800x600) {
    expectSameFrames("800x600");
}
