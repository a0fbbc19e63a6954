#include "timeline/director.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>

#include "assets/jpeg_images.h"
#include "common/gl_in_force.h"
#include "common/wobble.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "draw_log.h"
#include "show_fixture.h"

namespace {

// One pass of the main loop as the director sees it.
struct Frame {
    float time;
    int second;
    int32_t phaseAfter;
    bool quitAfter;
    float introAfter;
    GlCall firstCall;
    std::vector<Draw> draws;
};

// The generator's sequence from seed 1, to know which flicker draws must happen.
struct Lcg {
    uint32_t state = 1;
    int32_t next() {
        state = state * 214013u + 2531011u;
        return int32_t((state >> 16) & 0x7FFF);
    }
};

class Director : public ::testing::Test {
  protected:
    void SetUp() override {
        ShowDataOptions options;
        options.frameCodedKeys = true;
        options.firstFrame = 0;
        options.endFrame = 100;
        ASSERT_TRUE(startShow(options));
        currentFrame = scene1.firstFrame;
        // The schedule is read from the primitives, so every layer is drawn here; the layers
        // left out are the last test's subject.
        skipInvisibleLayers = false;
    }
    void TearDown() override { skipInvisibleLayers = true; }

    // Plays passes of the main loop at a fixed frame rate from time 0 until the director asks
    // to quit (or `until`); `drawn` says whether the window shows the pass at that time.
    std::vector<Frame> play(double fps, double until = 200.0,
                            const std::function<bool(double)>& drawn = nullptr) {
        std::vector<Frame> frames;
        for (long pass = 0;; ++pass) {
            const double t = pass / fps;
            if (t >= until) break;
            elapsedSeconds = float(t);
            if (!drawn || drawn(t)) {
                glrec::calls().clear();
                drawTimelineFrame();
                frames.push_back(Frame{elapsedSeconds, int(elapsedSeconds), phase, quitRequested,
                                       introFade, glrec::calls().front(), drawsOf(glrec::calls())});
                if (quitRequested) break;
            }
            if (++currentFrame >= scene1.endFrame) currentFrame = scene1.firstFrame;
        }
        return frames;
    }

    static const Frame& firstOfSecond(const std::vector<Frame>& frames, int second) {
        for (const Frame& f : frames)
            if (f.second == second) return f;
        ADD_FAILURE() << "no frame in second " << second;
        return frames.front();
    }
};

std::string scene(int n, int frame, uint32_t texture) {
    return "scene " + std::to_string(texture) + " s" + std::to_string(n) + "@" +
           std::to_string(frame);
}
std::string quad(uint32_t texture) {
    return "quad " + std::to_string(texture);
}

// The frame's draws without a trailing flicker of the title, and whether there was one.
std::vector<std::string> withoutFlicker(const Frame& f, bool& flickered) {
    std::vector<std::string> texts = textsOf(f.draws);
    flickered = f.phaseAfter >= 4 && texts.size() > 1 && texts.back() == quad(texLanternwhirl);
    if (flickered) texts.pop_back();
    return texts;
}

} // namespace

TEST_F(Director, EachSectionDrawsItsFixedListInOrder) {
    const auto frames = play(30.0);
    using Texts = std::vector<std::string>;
    using Alphas = std::vector<float>; // from the title's alpha t; NAN: not looked at
    struct Row {
        int second;
        std::function<Texts(int)> texts; // from the frame's currentFrame n
        std::function<Alphas(float)> alphas;
    };
    const float any = NAN;
    const Row rows[] = {
        {5,
         [](int n) {
             return Texts{quad(11), scene(3, n + 49, 120), scene(3, n + 47, 120),
                          scene(3, n + 45, 120)};
         },
         [](float t) {
             return Alphas{t, float(t - 0.3), float(t - 0.5), float(t - 0.7)};
         }},
        {20,
         [](int n) {
             return Texts{quad(11), scene(3, n + 49, 120), scene(3, n + 47, 120), scene(1, n, 14)};
         },
         [](float t) {
             return Alphas{t, t, float(t - 0.2), 1.0f};
         }},
        {30,
         [](int n) {
             return Texts{quad(11), "glow 120", scene(1, n, 14), scene(1, n, 120)};
         },
         [](float t) {
             return Alphas{t, 0.4f, float(1.0 - 0.4f), 0.4f};
         }},
        {40,
         [](int n) {
             return Texts{quad(11), "glow 120", scene(2, n + 4, 120), scene(2, n + 2, 120)};
         },
         [](float t) {
             return Alphas{t, 0.2f, 0.8f, 0.6f};
         }},
        {50,
         [](int n) {
             return Texts{quad(11), quad(17), scene(1, n, 120), scene(2, n + 2, 120),
                          scene(2, n, 120)};
         },
         [](float t) {
             return Alphas{t, 0.8f, 0.9f, 0.4f, 0.3f};
         }},
        {70,
         [](int n) {
             return Texts{quad(11),         quad(17),  scene(1, n, 120), scene(2, n + 2, 120),
                          scene(2, n, 120), "warp 131"};
         },
         [](float t) {
             return Alphas{t, 0.8f, 0.9f, 0.4f, 0.3f};
         }},
        {80,
         [](int n) {
             return Texts{quad(11),         quad(17),  scene(1, n, 120), scene(2, n + 2, 120),
                          scene(2, n, 120), "warp 120"};
         },
         [](float t) { return Alphas{t}; }},
        {90,
         [](int n) {
             return Texts{quad(11), "warp 120", scene(1, n, 14), "lit 120", "band 16"};
         },
         [any](float t) {
             return Alphas{t, any, 0.7f, 1.0f, 0.9f};
         }},
        {102,
         [](int n) {
             return Texts{quad(11), scene(1, n, 14), "lit 120", "band 16"};
         },
         [](float t) {
             return Alphas{t, 0.7f, 1.0f, 0.9f};
         }},
        {106,
         [](int n) {
             return Texts{quad(11), scene(1, n, 14), "lit 120", "band 16"};
         },
         [](float t) {
             return Alphas{t, 0.7f, 1.0f, 0.9f};
         }},
    };
    float titleBefore = 0; // the title shows introFade as the previous frame left it
    size_t next = 0;
    for (size_t i = 0; i < frames.size() && next < std::size(rows); ++i) {
        const Frame& f = frames[i];
        if (f.second != rows[next].second) {
            titleBefore = f.introAfter;
            continue;
        }
        const Row& row = rows[next++];
        SCOPED_TRACE(row.second);
        EXPECT_EQ(f.firstCall, (GlCall{"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}}));
        // Passes advance currentFrame from firstFrame, wrapping at endFrame.
        bool flickered = false;
        EXPECT_EQ(withoutFlicker(f, flickered), row.texts(int(i % 100)));
        const Alphas alphas = row.alphas(titleBefore);
        for (size_t k = 0; k < alphas.size() && k < f.draws.size(); ++k)
            if (!std::isnan(alphas[k])) {
                EXPECT_EQ(f.draws[k].alpha, alphas[k]) << k;
            }
    }
    EXPECT_EQ(next, std::size(rows));
}

TEST_F(Director, SectionsFollowTheWholeSecondAndTheShowEndsOnSecond106) {
    const auto frames = play(30.0);
    ASSERT_FALSE(frames.empty());
    for (const Frame& f : frames) {
        const int s = f.second;
        const int32_t expected = s < 15 ? 0 : s < 25 ? 1 : s < 35 ? 2 : s < 44 ? 3 : s < 88 ? 4 : 5;
        ASSERT_EQ(f.phaseAfter, expected) << "at " << f.time;
        ASSERT_EQ(f.quitAfter, s > 105) << "at " << f.time;
    }
    // The main loop stops after the first frame of second 106, which is still drawn in full.
    EXPECT_EQ(frames.back().second, 106);
    EXPECT_EQ(frames[frames.size() - 2].second, 105);
    EXPECT_FALSE(frames.back().draws.empty());
}

TEST_F(Director, FadesStepPerDrawnFrameWhateverTheFrameRate) {
    // At 60 frames per second the title is fully in after 334 frames, inside phase 0.
    play(60.0, 333 / 60.0);
    EXPECT_LT(introFade, 1.0f);
    elapsedSeconds = 333 / 60.0f;
    drawTimelineFrame();
    EXPECT_EQ(introFade, 1.0f);

    // At 20 frames per second it reaches only about 0.9 by second 15 ...
    ASSERT_TRUE(startShow(ShowDataOptions{true, 0, 100}));
    auto frames = play(20.0, 15.0);
    EXPECT_NEAR(introFade, 0.9f, 0.001f);
    // ... and the title stays at that alpha through phases 1 to 3.
    frames = play(20.0, 44.0, [](double t) { return t >= 15.0; });
    for (const Frame& f : frames)
        EXPECT_NEAR(f.draws[0].alpha, 0.9f, 0.001f);

    // crossFade is held at 0.4 from the 11th frame of phase 2 on; overlayFade is 0.8 from
    // phase 1; the title fades out from 1 in 34 frames of phase 4.
    ASSERT_TRUE(startShow(ShowDataOptions{true, 0, 100}));
    frames = play(60.0, 50.0);
    int phase2Frames = 0, phase4Frames = 0;
    float crossBefore = 0;
    for (const Frame& f : frames) {
        if (f.phaseAfter == 2) {
            ++phase2Frames;
            const float shown = f.draws[3].alpha; // the texEnv pass of scene 1
            EXPECT_EQ(shown, crossBefore);
            crossBefore = std::min(crossBefore + 0.04f, 0.4f);
            // The 11th frame's step reaches the hold; the draws show it from the 12th on.
            if (phase2Frames >= 12) {
                EXPECT_EQ(shown, 0.4f) << phase2Frames;
            } else {
                EXPECT_LT(shown, 0.4f) << phase2Frames;
            }
        }
        if (f.phaseAfter == 4) {
            ++phase4Frames;
            EXPECT_EQ(f.draws[1].alpha, 0.8f);
            if (phase4Frames == 34) {
                EXPECT_GT(f.draws[0].alpha, 0.0f);
            }
            if (phase4Frames == 35) {
                EXPECT_EQ(f.draws[0].alpha, 0.0f);
            }
        }
    }
}

TEST_F(Director, PulsesRiseFor101And84FramesThenFallThroughZero) {
    const auto frames = play(60.0);
    std::vector<float> pulsar, env;
    for (const Frame& f : frames)
        for (const Draw& d : f.draws)
            if (d.kind == "warp") (d.texture == texPulsar ? pulsar : env).push_back(d.alpha);
    ASSERT_EQ(pulsar.size(), 14u * 60u);
    ASSERT_EQ(env.size(), 22u * 60u);
    // Each warp draw shows the pulse before its step; count the rising draws.
    auto risingDraws = [](const std::vector<float>& alphas) {
        size_t k = 1;
        while (k < alphas.size() && alphas[k] > alphas[k - 1])
            ++k;
        return k;
    };
    // Draw 102 shows the value after 101 rising steps, the first above 0.5.
    EXPECT_EQ(risingDraws(pulsar), 102u);
    EXPECT_EQ(risingDraws(env), 85u);
    EXPECT_GT(pulsar[101], 0.5f);
    EXPECT_LE(pulsar[100], 0.5f);
    // After the turn the alpha falls steadily, below zero, and never turns back.
    for (size_t k = 102; k < pulsar.size(); ++k)
        ASSERT_LT(pulsar[k], pulsar[k - 1]) << k;
    for (size_t k = 85; k < env.size(); ++k)
        ASSERT_LT(env[k], env[k - 1]) << k;
    EXPECT_LT(pulsar.back(), 0.0f);
    EXPECT_LT(pulseStep1, 0.0f);
    EXPECT_LT(pulseStep2, 0.0f);
}

TEST_F(Director, FlickerDrawsFromTheGeneratorOnlyFromPhase4On) {
    const auto frames = play(30.0);
    // prepareMetaballs took the first 48 values; phases 0 to 3 take none.
    Lcg lcg;
    for (int k = 0; k < 48; ++k)
        lcg.next();
    int flickers = 0, expected = 0;
    for (const Frame& f : frames) {
        bool flickered = false;
        withoutFlicker(f, flickered);
        if (f.phaseAfter >= 4) {
            const bool shown = lcg.next() % 100 > 40;
            EXPECT_EQ(flickered, shown) << "at " << f.time;
            expected += shown;
        }
        // The title flickers at introFade - 0.6 as this frame's fade-out left it.
        if (flickered) {
            EXPECT_EQ(f.draws.back().alpha, float(f.introAfter - 0.6));
        }
        flickers += flickered;
    }
    EXPECT_EQ(flickers, expected);
    EXPECT_GT(flickers, 0);
}

TEST_F(Director, SectionsAreSkippedWhenNoFrameFallsInTheirSwitchSecond) {
    // Minimised from second 14 to 16: phase 1 never starts, and phase 2 follows phase 0.
    auto frames = play(30.0, 30.0, [](double t) { return t < 14.0 || t >= 16.0; });
    for (const Frame& f : frames) {
        if (f.second < 25)
            ASSERT_EQ(f.phaseAfter, 0) << f.time;
        else
            ASSERT_EQ(f.phaseAfter, 2) << f.time;
    }
    // Phase 1 never ran, so overlayFade was never set.
    EXPECT_EQ(overlayFade, 0.0f);

    // Minimised through second 88: the show stays in phase 4 to its end, without the warp
    // layer after second 99, and still ends on its first frame of second 106.
    ASSERT_TRUE(startShow(ShowDataOptions{true, 0, 100}));
    frames = play(30.0, 200.0, [](double t) { return t < 88.0 || t >= 89.0; });
    EXPECT_EQ(frames.back().phaseAfter, 4);
    EXPECT_EQ(frames.back().second, 106);
    EXPECT_TRUE(quitRequested);
    for (const Frame& f : frames) {
        if (f.second < 100) continue;
        for (const Draw& d : f.draws)
            EXPECT_NE(d.kind, "warp");
    }

    // A window minimised past second 106 ends only on its first drawn frame.
    ASSERT_TRUE(startShow(ShowDataOptions{true, 0, 100}));
    frames = play(30.0, 200.0, [](double t) { return t < 104.0 || t >= 110.0; });
    EXPECT_EQ(frames.back().second, 110);
    EXPECT_EQ(frames[frames.size() - 2].second, 103);
}

TEST_F(Director, WobbleAngleAdvancesOnceForEveryDrawnFrame) {
    const auto frames = play(25.0, 40.0, [](double t) { return t < 10.0 || t >= 20.0; });
    float expected = -1.0f;
    for (size_t k = 0; k < frames.size(); ++k)
        expected += 0.01f;
    EXPECT_EQ(wobbleAngle, expected);
    resetTimeline();
    EXPECT_EQ(wobbleAngle, -1.0f);
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(pulseStep1, 0.005f);
    EXPECT_EQ(pulseStep2, 0.006f);
}

TEST_F(Director, LayersWhoseAlphaCannotChangeAPixelSendNoPrimitivesInTheShow) {
    skipInvisibleLayers = true;
    const auto frames = play(30.0);
    // Left out, a scene pass still opens and closes its matrix: the log shows it unplaced.
    const std::string unplaced = scene(0, -1, 120);
    // The first frame: the title at 0 under the start-up function, a trail all below 0.
    EXPECT_EQ(textsOf(frames[0].draws), (std::vector<std::string>{unplaced, unplaced, unplaced}));
    // Second 5: the title at 0.45 and the first copy of the trail show, the others not yet.
    const Frame& opening = firstOfSecond(frames, 5);
    const int n = int(opening.time * 30 + 0.5) % 100;
    EXPECT_EQ(textsOf(opening.draws),
              (std::vector<std::string>{quad(11), scene(3, n + 49, 120), unplaced, unplaced}));
    // The pulse on texPulsar rising at second 66 is drawn; at second 75 it has fallen below 0,
    // and with it the faded title and its flicker are left out.
    auto warps = [](const Frame& f) {
        return std::count_if(f.draws.begin(), f.draws.end(),
                             [](const Draw& d) { return d.kind == "warp"; });
    };
    EXPECT_EQ(warps(firstOfSecond(frames, 66)), 1);
    for (const Frame& f : frames) {
        if (f.second < 75 || f.second > 77) continue;
        ASSERT_EQ(textsOf(f.draws).size(), 4u) << f.time;
        EXPECT_EQ(textsOf(f.draws)[0], quad(17)) << f.time;
        EXPECT_EQ(warps(f), 0) << f.time;
    }
}
