// File access with the demo's own path rules: names are written Windows-style ("data\1.chk",
// "gfx\wood.tga", "data//s2.it"); this maps them onto the host's file system.
#pragma once
#include <cstdio>
#include <string>

// The host path for a demo path: backslashes become slashes, and where a name does not exist,
// each component is looked up without regard to ASCII letter case, as on a Windows disk.
std::string hostPath(const char* path);

// fopen on the host path.
FILE* openFile(const char* path, const char* mode);

// The folder that holds the running program, without a trailing separator; empty when the
// system cannot say. The installed show is found from here.
std::string executableFolder();
