// A look at the baked show without a display: plays the show offscreen at a steady 60 frames
// per second and saves the frames at the requested seconds as PPM pictures.
//   lanternwhirl-bake-preview SHOWDIR OUTPREFIX SECOND...
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/offscreen_gl.h"
#include "shell/report_error.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "shell/startup.h"
#include "timeline/director.h"

int reportError(const char* text) {
    fprintf(stderr, "Error: %s\n", text);
    return 0;
}

static bool savePpm(const std::string& path, int32_t w, int32_t h) {
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int32_t y = h - 1; y >= 0; --y)
        fwrite(&rgb[static_cast<size_t>(y) * w * 3], 1, w * 3, f);
    return fclose(f) == 0;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s SHOWDIR OUTPREFIX SECOND...\n", argv[0]);
        return 2;
    }
    std::vector<double> seconds;
    for (int i = 3; i < argc; ++i)
        seconds.push_back(atof(argv[i]));
    if (chdir(argv[1]) != 0) {
        perror(argv[1]);
        return 1;
    }
    if (!openOffscreenGl(screenWidth, screenHeight)) return 1;
    glViewport(0, 0, screenWidth, screenHeight);
    if (!runStartUp()) return 1;
    currentFrame = scene1.firstFrame;
    size_t next = 0;
    for (int64_t frame = 0; next < seconds.size(); ++frame) {
        elapsedSeconds = static_cast<float>(frame / 60.0);
        drawTimelineFrame();
        glFinish();
        if (elapsedSeconds >= seconds[next]) {
            char name[64];
            snprintf(name, sizeof name, "%05.1f", seconds[next]);
            std::string path = std::string(argv[2]) + name + ".ppm";
            if (!savePpm(path, screenWidth, screenHeight)) perror(path.c_str());
            ++next;
        }
        if (++currentFrame >= scene1.endFrame) currentFrame = scene1.firstFrame;
    }
    closeOffscreenGl();
    return 0;
}
