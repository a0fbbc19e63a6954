#include "shell/show_folder.h"

#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// The data folder may be written in any letter case, as the loaders' own look-ups allow.
bool folderHasShow(const std::string& folder) {
    std::error_code error;
    return fs::is_directory(hostPath((folder + "/data").c_str()), error);
}
} // namespace

std::string chooseShowFolder(const std::string& programFolder,
                             bool (*hasShow)(const std::string& folder)) {
    if (hasShow(".") || programFolder.empty()) return "";
    const fs::path program(programFolder);
    for (const fs::path& candidate : {program / ".." / "share" / "lanternwhirl", program}) {
        std::string folder = candidate.lexically_normal().generic_string();
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (hasShow(folder)) return folder;
    }
    return "";
}

void enterShowFolder() {
    std::string folder = chooseShowFolder(executableFolder(), folderHasShow);
    if (folder.empty()) return;
    std::error_code error;
    fs::current_path(folder, error);
    if (error) {
        fprintf(stderr, "lanternwhirl: cannot enter %s: %s\n", folder.c_str(),
                error.message().c_str());
        return;
    }
    fprintf(stderr, "lanternwhirl: no data folder here, playing the show in %s\n", folder.c_str());
}
