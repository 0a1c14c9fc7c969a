// The settings file: its path, reading it whole, the full text the game
// writes when there is none, and replacing it atomically with the old text
// rewritten or that full text.
#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/setting_rows.h"
#include "settings/settings_rewrite.h"

namespace {

// Makes every missing folder of path's folder, private to the user as the
// XDG folders are.
bool MakeFolders(const char* path) {
    char folder[settingsPathSize];
    const size_t length = std::strlen(path);
    if (length >= sizeof folder) {
        return false;
    }
    std::memcpy(folder, path, length + 1);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr || slash == folder) {
        return true;
    }
    *slash = '\0';
    for (char* p = folder + 1; *p != '\0'; ++p) {
        if (*p == '/') {
            *p = '\0';
            if (mkdir(folder, 0700) != 0 && errno != EEXIST) {
                return false;
            }
            *p = '/';
        }
    }
    return mkdir(folder, 0700) == 0 || errno == EEXIST;
}

// Text appended into a fixed buffer; once it overflows, used passes size.
struct TextBuilder {
    char* buffer;
    size_t size;
    size_t used = 0;

    __attribute__((format(printf, 2, 3))) void Append(const char* format, ...) {
        if (used >= size) {
            return;
        }
        va_list values;
        va_start(values, format);
        const int written = std::vsnprintf(buffer + used, size - used, format, values);
        va_end(values);
        used = written < 0 ? size : used + static_cast<size_t>(written);
    }
};

bool WriteAll(int descriptor, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(descriptor, bytes, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// The file now at path, into old (at most maxSettingsFileSize + 1 bytes, so
// a larger file shows as such). *exists false for no file at all; false when
// it cannot be read or is no regular file.
bool ReadOldFile(const char* path, char* old, size_t* size, bool* exists, mode_t* mode) {
    *size = 0;
    *exists = false;
    // O_NONBLOCK: a FIFO put in the file's place must not hang the game.
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return errno == ENOENT;
    }
    *exists = true;
    struct stat status;
    bool good = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    *mode = good ? status.st_mode & 0777 : 0;
    while (good && *size <= maxSettingsFileSize) {
        const ssize_t got = read(descriptor, old + *size, maxSettingsFileSize + 1 - *size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            good = got == 0;
            break;
        }
        *size += static_cast<size_t>(got);
    }
    close(descriptor);
    return good;
}

// Replaces the file at path with text through a synced temporary file.
bool ReplaceFile(const char* path, const char* text, size_t length, mode_t mode) {
    char temporary[settingsPathSize];
    if (std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path) >=
        static_cast<int>(sizeof temporary)) {
        return false;
    }
    const int descriptor = mkstemp(temporary);
    if (descriptor < 0) {
        return false;
    }
    // mkstemp makes the file private; the old file's permissions are kept.
    const bool written = fchmod(descriptor, mode) == 0 && WriteAll(descriptor, text, length) &&
                         fsync(descriptor) == 0;
    if (close(descriptor) != 0 || !written || rename(temporary, path) != 0) {
        unlink(temporary);
        return false;
    }
    // The rename itself reaches the disk with the folder's entries.
    char folder[settingsPathSize];
    std::memcpy(folder, path, std::strlen(path) + 1);
    char* slash = std::strrchr(folder, '/');
    if (slash != nullptr && slash != folder) {
        *slash = '\0';
        const int folderDescriptor = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderDescriptor >= 0) {
            fsync(folderDescriptor);
            close(folderDescriptor);
        }
    }
    return true;
}

}  // namespace

bool SettingsFilePath(char* path, size_t size) {
    if (path == nullptr || size == 0) {
        return false;
    }
    path[0] = '\0';
    const char* config = std::getenv("XDG_CONFIG_HOME");
    int length = -1;
    if (config != nullptr && config[0] == '/') {
        length = std::snprintf(path, size, "%s/kivoro/settings.ini", config);
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        length = std::snprintf(path, size, "%s/.config/kivoro/settings.ini", home);
    }
    if (length < 0 || static_cast<size_t>(length) >= size) {
        path[0] = '\0';
        return false;
    }
    return true;
}

int32_t ReadSettingsFile(const char* path, Settings& settings, FILE* errors) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return 0;
        }
        if (errors != nullptr) {
            std::fprintf(errors, "kivoro: cannot read %s: %s\n", path, std::strerror(errno));
        }
        return 1;
    }
    const std::unique_ptr<char[]> text(new char[maxSettingsFileSize + 1]);
    const size_t size = std::fread(text.get(), 1, maxSettingsFileSize + 1, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    int32_t reported = 0;
    if (failed || size > maxSettingsFileSize) {
        if (errors != nullptr) {
            std::fprintf(errors, "kivoro: %s: %s; the defaults are used\n", path,
                         failed ? "cannot be read" : "larger than 64 KB");
        }
        reported = 1;
    } else {
        reported = ReadSettingsText(text.get(), size, path, settings, errors);
    }
    return reported;
}

int32_t FormatSettings(const Settings& settings, char* buffer, size_t size) {
    TextBuilder text{buffer, size};
    text.Append(
        "# Kivoro's settings. The game writes this file when a setting is changed\n"
        "# in play or in the menu, keeping the rest of it as it stands; keys are\n"
        "# named by their place on the board.\n");
    const char* section = nullptr;
    for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
        char value[settingValueSize];
        FormatSlot(slot, settings, value, sizeof value);
        if (value[0] == '\0') {
            // Not set (no window size yet, no host joined): no line.
            continue;
        }
        if (section == nullptr || std::strcmp(section, SlotSection(slot)) != 0) {
            section = SlotSection(slot);
            text.Append("\n[%s]\n", section);
        }
        text.Append("%s = %s\n", SlotName(slot), value);
    }
    if (text.used >= size) {
        return -1;
    }
    return static_cast<int32_t>(text.used);
}

bool WriteSettingsFile(const char* path, const Settings& settings) {
    if (path == nullptr || path[0] != '/') {
        return false;
    }
    // A settings file kept elsewhere and linked here (with the player's other
    // dot files, say) is replaced where it lies; renaming over the link would
    // put a plain file in its place.
    char resolved[PATH_MAX];
    struct stat link;
    if (lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        if (realpath(path, resolved) == nullptr) {
            return false;
        }
        path = resolved;
    }
    char old[maxSettingsFileSize + 1];
    size_t oldSize = 0;
    bool exists = false;
    mode_t mode = 0644;
    if (!ReadOldFile(path, old, &oldSize, &exists, &mode) || oldSize > maxSettingsFileSize) {
        return false;
    }
    char text[maxSettingsFileSize + settingsRewriteRoom];
    const int32_t length = exists ? RewriteSettingsText(old, oldSize, settings, text, sizeof text)
                                  : FormatSettings(settings, text, sizeof text);
    if (length < 0 || static_cast<size_t>(length) > maxSettingsFileSize) {
        return false;
    }
    if (exists && static_cast<size_t>(length) == oldSize && std::memcmp(text, old, oldSize) == 0) {
        return true;
    }
    if (!exists && !MakeFolders(path)) {
        return false;
    }
    return ReplaceFile(path, text, static_cast<size_t>(length), exists ? mode : 0644);
}
