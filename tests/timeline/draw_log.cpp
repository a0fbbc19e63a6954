#include "draw_log.h"

#include <GL/gl.h>

#include <cmath>

#include "show_data.h"

std::string Draw::text() const {
    std::string out = kind + " " + std::to_string(texture);
    if (kind == "scene") out += " s" + std::to_string(scene) + "@" + std::to_string(frame);
    return out;
}

std::vector<std::string> textsOf(const std::vector<Draw>& draws) {
    std::vector<std::string> out;
    for (const Draw& d : draws)
        out.push_back(d.text());
    return out;
}

std::vector<Draw> drawsOf(const std::vector<GlCall>& log) {
    std::vector<Draw> draws;
    GLuint bound = 0;
    GLenum mode = GL_MODELVIEW;
    bool inMetaballs = false;
    int openScene = -1; // index in draws of the scene draw being read
    for (size_t i = 0; i < log.size(); ++i) {
        const GlCall& c = log[i];
        if (c.name == "glBindTexture") bound = GLuint(c.args[1]);
        if (c.name == "glMatrixMode") mode = GLenum(c.args[0]);
        if (c.name == "glEnable" && c.args[0] == GL_DEPTH_TEST) inMetaballs = true;
        if (c.name == "glDisable" && c.args[0] == GL_DEPTH_TEST) inMetaballs = false;
        if (c.name == "glPushMatrix" && mode == GL_MODELVIEW && !inMetaballs) {
            draws.push_back(Draw{"scene"});
            openScene = int(draws.size()) - 1;
        }
        if (c.name == "glPopMatrix" && mode == GL_MODELVIEW && openScene >= 0) {
            draws[openScene].texture = bound;
            openScene = -1;
        }
        if (c.name == "glBegin" && i + 1 < log.size() && log[i + 1].name == "glColor4f") {
            const std::vector<double>& rgba = log[i + 1].args;
            const float grey = float(rgba[0]), alpha = float(rgba[3]);
            if (openScene >= 0) {
                Draw& d = draws[openScene];
                if (d.frame < 0) {
                    d.alpha = alpha;
                    // The first corner sent is the quad's top-left vertex: its depth names
                    // the scene, its shift along x the key, and so the frame.
                    for (size_t k = i; k < log.size(); ++k)
                        if (log[k].name == "glVertex3fv") {
                            const double depth = -log[k].args[2];
                            for (int n = 0; n < 3; ++n)
                                if (std::fabs(depth - sceneQuads[n].ahead) < 0.5) {
                                    d.scene = n + 1;
                                    d.frame = int(std::lround(log[k].args[0] - sceneQuads[n].x0));
                                }
                            break;
                        }
                }
                continue;
            }
            Draw d;
            d.texture = bound;
            d.alpha = alpha;
            if (std::fabs(grey - 0.7f) < 1e-6)
                d.kind = "quad";
            else if (std::fabs(grey - 0.55f) < 1e-6)
                d.kind = "warp";
            else if (std::fabs(grey - 0.75f) < 1e-6)
                d.kind = "glow";
            else if (std::fabs(grey - 1.75f) < 1e-6)
                d.kind = "lit";
            else
                d.kind = "band";
            draws.push_back(d);
        }
    }
    return draws;
}
