// The replay folder from the XDG variables, its creation, and the names of
// the replays kept there.
#include "replay/replay_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

bool IsAbsolute(const char* folder) {
    return folder != nullptr && folder[0] == '/';
}

// Matches the digits of n characters at name[at], moving at past them.
bool Digits(const std::string& name, size_t& at, size_t n) {
    for (size_t k = 0; k < n; ++k, ++at) {
        if (at >= name.size() || name[at] < '0' || name[at] > '9') {
            return false;
        }
    }
    return true;
}

// One or more digits, not starting with 0.
bool Number(const std::string& name, size_t& at) {
    if (at >= name.size() || name[at] < '1' || name[at] > '9') {
        return false;
    }
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') {
        ++at;
    }
    return true;
}

bool Literal(const std::string& name, size_t& at, const char* text) {
    const std::string expected(text);
    if (name.compare(at, expected.size(), expected) != 0) {
        return false;
    }
    at += expected.size();
    return true;
}

}  // namespace

std::string ReplayFolder(const char* xdgDataHome, const char* home) {
    std::filesystem::path data;
    if (IsAbsolute(xdgDataHome)) {
        data = xdgDataHome;
    } else if (IsAbsolute(home)) {
        data = std::filesystem::path(home) / ".local" / "share";
    } else {
        return std::string();
    }
    return (data / "kivoro" / "replays").string();
}

std::string ReplayFolder() {
    return ReplayFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string DefaultReplayPath(const char* xdgDataHome, const char* home) {
    const std::string folder = ReplayFolder(xdgDataHome, home);
    return folder.empty() ? folder : folder + "/" + lastReplayName;
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

std::string KeptReplayName(int64_t utcSeconds, int32_t utcOffsetMinutes) {
    const std::time_t local = static_cast<std::time_t>(utcSeconds + int64_t{utcOffsetMinutes} * 60);
    std::tm parts{};
    if (gmtime_r(&local, &parts) == nullptr) {
        parts = std::tm{};
    }
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d.kvr", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return name;
}

bool IsKeptReplayName(const std::string& name) {
    size_t at = 0;
    if (!(Digits(name, at, 4) && Literal(name, at, "-") && Digits(name, at, 2) &&
          Literal(name, at, "-") && Digits(name, at, 2) && Literal(name, at, "_") &&
          Digits(name, at, 2) && Literal(name, at, "-") && Digits(name, at, 2) &&
          Literal(name, at, "-") && Digits(name, at, 2))) {
        return false;
    }
    size_t suffix = at;
    if (Literal(name, suffix, "-") && Number(name, suffix)) {
        at = suffix;
    }
    if (!Literal(name, at, ".kvr")) {
        return false;
    }
    if (at == name.size()) {
        return true;
    }
    if (!Literal(name, at, ".") || !Number(name, at)) {
        return false;
    }
    size_t again = at;
    if (Literal(name, again, "-") && Number(name, again)) {
        at = again;
    }
    return Literal(name, at, ".part") && at == name.size();
}

// renameat2's RENAME_NOREPLACE fails rather than replace a file; where the
// file system cannot do that, link(2) does the same (it never replaces
// either) and the old name is removed after.
bool RenameToFreeName(const std::string& from, std::string& to) {
    const size_t dot = to.rfind('.');
    const size_t slash = to.rfind('/');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = extension ? to.substr(0, dot) : to;
    const std::string suffix = extension ? to.substr(dot) : std::string();
    for (int32_t attempt = 1; attempt <= 1000; ++attempt) {
        const std::string target =
            attempt == 1 ? stem + suffix : stem + "-" + std::to_string(attempt) + suffix;
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            to = target;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            return false;
        }
        if (link(from.c_str(), target.c_str()) == 0) {
            unlink(from.c_str());
            to = target;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

int32_t LocalUtcOffsetMinutes(int64_t utcSeconds) {
    const std::time_t moment = static_cast<std::time_t>(utcSeconds);
    std::tm parts{};
    if (localtime_r(&moment, &parts) == nullptr) {
        return 0;
    }
    return static_cast<int32_t>(parts.tm_gmtoff / 60);
}
