// No heap allocation per frame: the real start-up and director, drawing into the hidden GL
// context, with every allocation of the process counted while a frame is drawn. C++ (global
// operator new, including what the C++ library does for our code) is counted by replacing the
// operators; C allocation from our own code by wrapping malloc, calloc, realloc and strdup at
// link time. The GL driver's own C allocations are its business and not counted.
#include "capture_options.h"
#include "frame_stats.h"

#include "platform/offscreen_gl.h"
#include "common/random.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "shell/startup.h"
#include "timeline/director.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <execinfo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {
bool counting = false;
int64_t allocations = 0;
bool traced = false;

// The first allocation a check catches is shown with its call chain, so a failure names
// the code at fault.
void noteAllocation() {
    if (!counting) return;
    ++allocations;
    if (!traced) {
        traced = true;
        counting = false;
        void* frames[32];
        const int depth = backtrace(frames, 32);
        fprintf(stderr, "allocation while drawing a frame:\n");
        backtrace_symbols_fd(frames, depth, STDERR_FILENO);
        counting = true;
    }
}
} // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
char* __real_strdup(const char* s);

void* __wrap_malloc(size_t size) {
    noteAllocation();
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    noteAllocation();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, size_t size) {
    noteAllocation();
    return __real_realloc(p, size);
}
char* __wrap_strdup(const char* s) {
    noteAllocation();
    return __real_strdup(s);
}
}

namespace {
void* allocate(size_t size) {
    noteAllocation();
    void* p = __real_malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void* allocateAligned(size_t size, std::align_val_t align) {
    noteAllocation();
    const size_t a = (size_t)align;
    void* p = aligned_alloc(a, (size + a - 1) / a * a);
    if (!p) throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    noteAllocation();
    return __real_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    noteAllocation();
    return __real_malloc(size ? size : 1);
}
void* operator new(size_t size, std::align_val_t align) {
    return allocateAligned(size, align);
}
void* operator new[](size_t size, std::align_val_t align) {
    return allocateAligned(size, align);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    free(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    free(p);
}

TEST(FrameAllocations, CountingCatchesBothCAndCppAllocation) {
    allocations = 0;
    traced = true; // no trace for these deliberate ones
    counting = true;
    std::string* s = new std::string(100, 'x');
    void* c = malloc(10);
    counting = false;
    EXPECT_GE(allocations, 2);
    free(c);
    delete s;
    traced = false;
}

TEST(FrameAllocations, NoHeapAllocationPerFrameInAnySectionOfTheShow) {
    const std::string showDir = LW_SHOW_DIR;
    struct stat st;
    ASSERT_EQ(stat((showDir + "/data").c_str(), &st), 0)
        << "the baked show is missing: " << showDir << "/data";
    ASSERT_EQ(chdir(showDir.c_str()), 0);

    // The size does not change what is allocated; a small one keeps the software renderer quick.
    screenWidth = 160;
    screenHeight = 120;
    fullscreen = false;
    noSound = true;
    ASSERT_TRUE(openOffscreenGl(screenWidth, screenHeight));
    glViewport(0, 0, screenWidth, screenHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)screenWidth / screenHeight, 1.0, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ASSERT_TRUE(runStartUp());
    void* warm[1];
    backtrace(warm, 1); // loads what backtrace needs before anything is counted

    // 30 frames a second gives every section at least 200 frames; the first frames of each
    // section may still set up what the section needs once. The show is played twice and only
    // the second run is counted: layers left out for their alpha show for the first time in
    // the middle of a section (the opening's trail after some 100 frames), and the driver sets
    // up once what it has not drawn before.
    constexpr int32_t fps = 30;
    constexpr int32_t warmUpFrames = 10;
    int64_t found[showSectionCount] = {};
    int64_t checked[showSectionCount] = {};
    for (int run = 0; run < 2; ++run) {
        resetTimeline();
        resetRandom();
        int32_t section = -1, intoSection = 0;
        currentFrame = scene1.firstFrame;
        quitRequested = false;
        for (int64_t n = 0; n <= 120LL * fps && !quitRequested; ++n) {
            elapsedSeconds = frameSeconds(0.0, n, fps);
            const int32_t s = sectionOfSeconds(elapsedSeconds);
            if (s != section) {
                section = s;
                intoSection = 0;
            }
            const bool check = run == 1 && intoSection >= warmUpFrames;
            allocations = 0;
            counting = check;
            drawTimelineFrame();
            counting = false;
            if (check) {
                found[s] += allocations;
                ++checked[s];
            }
            glFinish();
            currentFrame = advanceFrame(currentFrame, scene1.firstFrame, scene1.endFrame);
            ++intoSection;
        }
    }
    closeOffscreenGl();
    EXPECT_TRUE(quitRequested) << "the show did not end";
    for (int32_t s = 0; s < showSectionCount; ++s) {
        EXPECT_EQ(found[s], 0) << "allocations while drawing " << showSections[s].name;
        EXPECT_GE(checked[s], 150) << showSections[s].name;
    }
}
