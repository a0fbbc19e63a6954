// The inspector's dumps of the demo's file formats, one JSON object each, built with the demo's
// own loaders. Mesh, animation and TGA dumps need a current GL context for their uploads.
#pragma once
#include <cstdint>
#include <string>

std::string dumpMesh(const char* path);
// With evaluate, also the camera and the object keys in force at frame.
std::string dumpAnim(const char* meshPath, const char* animPath, bool evaluate, int32_t frame);
std::string dumpTga(const char* path);
std::string dumpJpeg(const char* path);
