// Byte scripts: lines split by hand, each checked as one number; the file
// read with its limits.
#include "replay/byte_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool ParseControlLine(std::string_view line, uint8_t* byte) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(line[end - 1])) {
        --end;
    }
    if (begin == end || end - begin > 3) {
        return false;
    }
    int32_t value = 0;
    for (size_t at = begin; at < end; ++at) {
        if (line[at] < '0' || line[at] > '9') {
            return false;
        }
        value = value * 10 + (line[at] - '0');
    }
    if (value > 255) {
        return false;
    }
    *byte = static_cast<uint8_t>(value);
    return true;
}

bool ParseByteScript(std::string_view text, std::vector<uint8_t>& bytes, std::string* error) {
    bytes.clear();
    size_t begin = 0;
    size_t line = 1;
    // A final newline ends the last line; it does not start an empty one.
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        uint8_t byte = 0;
        if (line > byteScriptMostLines) {
            *error = "line " + std::to_string(line) + ": the script is longer than " +
                     std::to_string(byteScriptMostLines) + " lines";
            bytes.clear();
            return false;
        }
        if (!ParseControlLine(text.substr(begin, end - begin), &byte)) {
            const std::string shown(text.substr(begin, end - begin > 40 ? 40 : end - begin));
            *error = "line " + std::to_string(line) + ": \"" + shown +
                     "\" is not a control byte (a decimal number, 0 to 255)";
            bytes.clear();
            return false;
        }
        bytes.push_back(byte);
        begin = end + 1;
        ++line;
    }
    return true;
}

bool ReadByteScript(const std::string& path, std::vector<uint8_t>& bytes, std::string* error) {
    bytes.clear();
    // Not blocking: opening a named pipe no one writes to would wait for ever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    std::string text;
    bool ok = false;
    if (fstat(fd, &info) != 0) {
        *error = std::string("cannot read: ") + std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        *error = "not a regular file";
    } else if (info.st_size > static_cast<off_t>(byteScriptMostBytes)) {
        *error = "larger than 1 MB";
    } else {
        // One byte more than allowed tells a file that grew since.
        text.resize(byteScriptMostBytes + 1);
        size_t length = 0;
        ok = true;
        while (length < text.size()) {
            const ssize_t got = read(fd, text.data() + length, text.size() - length);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                *error = std::string("cannot read: ") + std::strerror(errno);
                ok = false;
                break;
            }
            if (got == 0) {
                break;
            }
            length += static_cast<size_t>(got);
        }
        if (ok && length > byteScriptMostBytes) {
            *error = "larger than 1 MB";
            ok = false;
        }
        text.resize(length);
    }
    close(fd);
    return ok && ParseByteScript(text, bytes, error);
}
