#include "show_fixture.h"

#include <unistd.h>

#include <new>

#include "common/random.h"
#include "common/wobble.h"
#include "shell/report_error.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "shell/startup.h"
#include "timeline/director.h"

std::vector<std::string> reportedErrors;

int reportError(const char* text) {
    reportedErrors.push_back(text);
    return 0;
}

namespace {
template <typename T> void renew(T& object) {
    object.~T();
    new (&object) T();
}
} // namespace

void resetShow() {
    renew(animation3), renew(animation2), renew(animation1);
    renew(scene3), renew(scene2), renew(scene1);
    renew(texturePool);
    resetTimeline();
    resetRandom();
    reportedErrors.clear();
    quitRequested = false;
    elapsedSeconds = 0;
    currentFrame = 0;
}

bool enterShowDir(const ShowDataOptions& options) {
    resetShow();
    const std::string dir = makeTempDir();
    return !dir.empty() && writeShowData(dir, options) && chdir(dir.c_str()) == 0;
}

bool startShow(const ShowDataOptions& options) {
    return enterShowDir(options) && runStartUp();
}
