#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/random.h"
#include "common/wobble.h"
#include "metaballs/metaballs.h"
#include "metaballs_command.h"

namespace {
int run(std::vector<std::string> words, std::string& out) {
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    testing::internal::CaptureStdout();
    int status = inspectMetaballs(int(argv.size()), argv.data());
    out = testing::internal::GetCapturedStdout();
    return status;
}

std::string fnvHex(const int32_t* v, int32_t count) {
    uint64_t h = 0xcbf29ce484222325ull;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(v); // host is little-endian
    for (int32_t i = 0; i < count * 4; ++i)
        h = (h ^ bytes[i]) * 0x100000001b3ull;
    char buf[17];
    snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}
} // namespace

TEST(InspectMetaballs, PrintsEachFramesCountHashAndBallsAsOneJsonLine) {
    std::string out;
    ASSERT_EQ(run({"metaballs", "--frames", "3", "--geometry", "cube"}, out), 0);
    ASSERT_FALSE(out.empty());
    ASSERT_EQ(out.back(), '\n');
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    EXPECT_EQ(out.rfind("{\"geometry\":\"cube\",\"frames\":[{\"count\":", 0), 0u) << out;
    EXPECT_NE(out.find("\"balls\":[[9,15,12],[16,16,10],[9,15,9],[15,14,9],[10,10,9],[15,14,9],"
                       "[15,17,13],[10,11,11]]}"),
              std::string::npos)
        << out;

    // The same three frames replayed by hand.
    resetRandom();
    prepareMetaballs();
    wobbleAngle = -1.0f;
    std::string expected;
    for (int frame = 0; frame < 3; ++frame) {
        computeField();
        polygonizeBalls(Geometry::Cube);
        expected += "{\"count\":" + std::to_string(metaVertCount) + ",\"fnv1a\":\"" +
                    fnvHex(metaVerts, metaVertCount) + "\"";
        EXPECT_NE(out.find(expected), std::string::npos) << "frame " << frame << "\n" << out;
        expected.clear();
        moveBalls();
        wobbleAngle += 0.01f;
    }
}

TEST(InspectMetaballs, ZeroFramesGiveAnEmptyList) {
    std::string out;
    ASSERT_EQ(run({"metaballs", "--geometry", "squashed", "--frames", "0"}, out), 0);
    EXPECT_EQ(out, "{\"geometry\":\"squashed\",\"frames\":[]}\n");
}

TEST(InspectMetaballs, RejectsMalformedArguments) {
    std::string out;
    const std::vector<std::vector<std::string>> bad = {
        {"metaballs", "--frames", "3"},
        {"metaballs", "--geometry", "cube"},
        {"metaballs", "--frames", "-1", "--geometry", "cube"},
        {"metaballs", "--frames", "3x", "--geometry", "cube"},
        {"metaballs", "--frames", "99999999999999999999", "--geometry", "cube"},
        {"metaballs", "--frames", "3", "--geometry", "sphere"},
        {"metaballs", "--frames", "3", "--geometry", "cube", "--extra"},
    };
    for (const auto& words : bad) {
        EXPECT_EQ(run(words, out), 2) << words.size();
        EXPECT_TRUE(out.empty()) << out;
    }
}
