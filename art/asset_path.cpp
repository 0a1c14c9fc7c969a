// Asset lookup: working directory, the executable's folder, then
// <prefix>/share/kivoro for an installed game.
#include "art/asset_path.h"

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string AssetPath(const char* name) {
    if (IsFile(name)) {
        return name;
    }
    const std::filesystem::path folder = ExecutableFolder();
    if (!folder.empty()) {
        for (const std::filesystem::path& candidate :
             {folder / name, folder.parent_path() / "share" / "kivoro" / name}) {
            if (IsFile(candidate)) {
                return candidate.string();
            }
        }
    }
    return name;
}

std::string AssetSearchFolders() {
    const std::filesystem::path folder = ExecutableFolder();
    std::string folders = "the working directory";
    if (!folder.empty()) {
        folders +=
            ", " + folder.string() + " and " + (folder.parent_path() / "share" / "kivoro").string();
    }
    return folders;
}
