// Ketterfold: Lanternwhirl. The show's global objects are built before main runs and torn down
// after it returns, in reverse order.
#include "shell/entry.h"
#include "shell/show_folder.h"
#include "anim/show_objects.h"
#include "timeline/director.h"

int main() {
    enterShowFolder();
    return runEntry(scene1.firstFrame, scene1.endFrame, drawTimelineFrame);
}
