// The default replay path from the XDG variables, and its folder's creation.
#include "replay/replay_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

bool IsAbsolute(const char* folder) {
    return folder != nullptr && folder[0] == '/';
}

}  // namespace

std::string DefaultReplayPath(const char* xdgDataHome, const char* home) {
    std::filesystem::path data;
    if (IsAbsolute(xdgDataHome)) {
        data = xdgDataHome;
    } else if (IsAbsolute(home)) {
        data = std::filesystem::path(home) / ".local" / "share";
    } else {
        return std::string();
    }
    return (data / "kivoro" / "replays" / "last.kvr").string();
}

std::string DefaultReplayPath() {
    return DefaultReplayPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

bool MakeReplayFolder(const std::string& path, std::string* problem) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        if (problem != nullptr) {
            *problem = "cannot make the folder " + folder.string() + ": " + error.message();
        }
        return false;
    }
    return true;
}
