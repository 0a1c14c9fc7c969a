// The engine's free helpers: rectangles, files, fills, text fonts, resources, version.
#include "engine/display/engine_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/display/device_context.h"

Rect& MakeRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

namespace {

// start + size, held to the int32 range instead of overflowing.
int32_t EdgeAfter(int32_t start, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{start} + size, INT32_MIN, INT32_MAX));
}

}  // namespace

Rect& MakeRectFromSize(Rect& rect, int32_t x, int32_t y, int32_t width, int32_t height) {
    return MakeRect(rect, x, y, EdgeAfter(x, width), EdgeAfter(y, height));
}

int32_t FileLength(FILE* file) {
    if (file == nullptr) {
        return 0;
    }
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    if (end < 0) {
        return 0;
    }
    return end > INT32_MAX ? INT32_MAX : static_cast<int32_t>(end);
}

bool FileExists(const char* path) {
    if (path == nullptr) {
        return false;
    }
    // Opening a folder for reading succeeds on Linux; a folder is not a file.
    struct stat info {};
    if (stat(path, &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

char* MakeTempFileName() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        return nullptr;
    }
    // mkstemp picks the unique part, creates the file and opens it; the file
    // stays behind, empty, for the caller to use.
    std::string name = (folder / (std::string("NDX") + "XXXXXX")).string();
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        return nullptr;
    }
    close(descriptor);
    char* copy = new char[name.size() + 1];
    std::memcpy(copy, name.c_str(), name.size() + 1);
    return copy;
}

void Fill16(uint16_t* destination, uint16_t value, int32_t count) {
    if (destination == nullptr || count <= 0) {
        return;
    }
    // Pairs of pixels as one 32-bit store, then the odd one.
    const uint32_t pair = static_cast<uint32_t>(value) | (static_cast<uint32_t>(value) << 16);
    unsigned char* out = reinterpret_cast<unsigned char*>(destination);
    for (int32_t i = 0; i < count / 2; ++i) {
        std::memcpy(out, &pair, sizeof pair);
        out += sizeof pair;
    }
    if (count % 2 != 0) {
        std::memcpy(out, &value, sizeof value);
    }
}

void Fill32(uint32_t* destination, uint32_t value, int32_t count) {
    if (destination == nullptr) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        destination[i] = value;
    }
}

void MeasureText(DeviceContext* dc, const char* text, int32_t* width, int32_t* height) {
    int32_t measuredWidth = 0;
    int32_t measuredHeight = 0;
    const bool measured = dc != nullptr
                              ? dc->MeasureText(text, &measuredWidth, &measuredHeight)
                              : MeasureTextRun(nullptr, text, &measuredWidth, &measuredHeight);
    if (!measured) {
        measuredWidth = 0;
        measuredHeight = 0;
    }
    if (width != nullptr) {
        *width = measuredWidth;
    }
    if (height != nullptr) {
        *height = measuredHeight;
    }
}

TextFont CreateTextFont(const char* faceName, int32_t, int32_t height) {
    // A negative height asks for the character height rather than the cell's;
    // the two differ by the face's internal leading, which a line height covers.
    const int32_t pixelHeight = height == INT32_MIN ? 0 : (height < 0 ? -height : height);
    return OpenTextFont(faceName, pixelHeight);
}

void DeleteGdiObject(TextFont font) {
    if (font != nullptr) {
        CloseTextFont(font);
    }
}

uint8_t* LoadResourceCopy(uint16_t, const char*, uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    return nullptr;
}

const char* EngineVersion() {
    return "2.1 beta";
}
