// A fresh directory for one test, made the working directory while the test runs, so the
// loaders' relative paths ("gfx\wood.tga", "data\1.chk") land in it.
#pragma once
#include <cstdlib>
#include <string>
#include <unistd.h>

struct ScratchDir {
    std::string path;
    std::string previous;
    ScratchDir() {
        char cwd[4096];
        previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
        char pattern[] = "/tmp/lw-test-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
        if (path.empty() || chdir(path.c_str()) != 0) abort();
    }
    ~ScratchDir() {
        if (chdir(previous.c_str()) != 0) return;
        std::string cmd = "rm -rf '" + path + "'";
        if (system(cmd.c_str()) != 0) return;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
};
