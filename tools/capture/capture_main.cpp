// kivoro_capture OUT.bmp FRAMES [KEY:FIRST-LAST ...]
//
// Runs the game's start-up and world set-up (the dummy video driver unless
// SDL_VIDEODRIVER says otherwise), then FRAMES frames in which each named key
// is held from frame FIRST to frame LAST inclusive, and writes the last frame's
// back surface as a 24-bit bitmap. Keys: w a s d v space up down left right
// rshift return. This is how frames are looked at and compared (and how the
// README's picture was made); the game itself writes no picture.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_loop.h"
#include "app/game_view.h"
#include "engine/display/app_window.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/window_messages.h"
#include "engine/input/scan_codes.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "platform/set_up_world.h"
#include "rules/world_step.h"
#include "settings/key_bindings.h"

namespace {

struct KeyName {
    const char* name;
    uint8_t scanCode;
};

constexpr KeyName keyNames[] = {
    {"w", ScanCodeW},
    {"a", ScanCodeA},
    {"s", ScanCodeS},
    {"d", ScanCodeD},
    {"v", ScanCodeV},
    {"space", ScanCodeSpace},
    {"up", ScanCodeUp},
    {"down", ScanCodeDown},
    {"left", ScanCodeLeft},
    {"right", ScanCodeRight},
    {"rshift", ScanCodeRightShift},
    {"return", ScanCodeReturn},
};

struct KeyHold {
    uint8_t scanCode;
    long first;
    long last;
};

bool ParseHold(const char* text, KeyHold& hold) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr) {
        return false;
    }
    const std::string name(text, colon);
    for (const KeyName& key : keyNames) {
        if (name == key.name) {
            char* end = nullptr;
            hold.scanCode = key.scanCode;
            hold.first = std::strtol(colon + 1, &end, 10);
            if (end == nullptr || *end != '-') {
                return false;
            }
            hold.last = std::strtol(end + 1, &end, 10);
            return *end == '\0' && hold.first >= 0 && hold.last >= hold.first;
        }
    }
    return false;
}

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A bottom-up 24-bit bitmap of the surface, each pixel widened to 8 bits per
// channel through the display's pixel format.
bool WriteBitmap(const char* path, Surface& surface, const PixelFormat& format) {
    if (surface.Lock() != 0) {
        return false;
    }
    if (surface.pixels == nullptr) {
        surface.Unlock();
        return false;
    }
    const int32_t width = surface.width;
    const int32_t height = surface.height;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> out;
    out.reserve(54 + rowBytes * height);
    out.push_back('B');
    out.push_back('M');
    PutLittle(out, 54 + rowBytes * height, 4);
    PutLittle(out, 0, 4);
    PutLittle(out, 54, 4);
    PutLittle(out, 40, 4);
    PutLittle(out, static_cast<uint32_t>(width), 4);
    PutLittle(out, static_cast<uint32_t>(height), 4);
    PutLittle(out, 1, 2);
    PutLittle(out, 24, 2);
    PutLittle(out, 0, 4);
    PutLittle(out, rowBytes * height, 4);
    PutLittle(out, 2835, 4);
    PutLittle(out, 2835, 4);
    PutLittle(out, 0, 4);
    PutLittle(out, 0, 4);
    for (int32_t y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const uint16_t*>(
            static_cast<const uint8_t*>(surface.pixels) + y * surface.pitch);
        for (int32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<uint8_t>(format.BlueOf(row[x])));
            out.push_back(static_cast<uint8_t>(format.GreenOf(row[x])));
            out.push_back(static_cast<uint8_t>(format.RedOf(row[x])));
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    surface.Unlock();
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.bmp FRAMES [KEY:FIRST-LAST ...]\n", argv[0]);
        return 2;
    }
    char* framesEnd = nullptr;
    const long frames = std::strtol(argv[2], &framesEnd, 10);
    if (framesEnd == argv[2] || *framesEnd != '\0' || frames < 0) {
        std::fprintf(stderr, "kivoro_capture: cannot read frame count '%s'\n", argv[2]);
        return 2;
    }
    std::vector<KeyHold> holds;
    for (int i = 3; i < argc; ++i) {
        KeyHold hold{};
        if (!ParseHold(argv[i], hold)) {
            std::fprintf(stderr, "kivoro_capture: cannot read key hold '%s'\n", argv[i]);
            return 2;
        }
        holds.push_back(hold);
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    // The game's own start-up, on a window of the picture's size.
    if (!appWindow.CreateWithProc("Kivoro", nullptr, GameWindowProc, WS_POPUP, 0, 0, pictureWidth,
                                  pictureHeight) ||
        screen.Open() != 0 ||
        screen.SetFullScreenMode(0, appWindow.window, pictureWidth, pictureHeight, pictureBits) !=
            0) {
        std::fprintf(stderr, "kivoro_capture: no display; drawing into memory instead\n");
        screen.SetMemoryMode(pictureWidth, pictureHeight);
    }
    soundDevice.Create(appWindow.window);
    SetUpWorld();

    uint8_t keys[256];
    for (long frame = 0; frame < frames; ++frame) {
        std::memset(keys, 0, sizeof keys);
        for (const KeyHold& hold : holds) {
            if (frame >= hold.first && frame <= hold.last) {
                keys[hold.scanCode] = 0x80;
            }
        }
        StepWorld(ControlsFromKeys(keys, 0), ControlsFromKeys(keys, 1));
        DrawFrame();
    }
    if (frames <= 0) {
        DrawFrame();
    }
    if (screen.backSurface == nullptr || screen.pixelFormat == nullptr ||
        !WriteBitmap(argv[1], *screen.backSurface, *screen.pixelFormat)) {
        std::fprintf(stderr, "kivoro_capture: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf(
        "first fighter (%d, %d) camera (%d, %d) health %d ki %d; second fighter (%d, %d) "
        "camera (%d, %d) health %d ki %d; blasts %d\n",
        fighters[0].x, fighters[0].y, fighters[0].cameraX, fighters[0].cameraY, fighters[0].health,
        fighters[0].ki, fighters[1].x, fighters[1].y, fighters[1].cameraX, fighters[1].cameraY,
        fighters[1].health, fighters[1].ki, blastCount);
    return 0;
}
