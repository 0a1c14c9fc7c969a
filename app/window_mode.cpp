// Switching the game's window between its two modes, its size and its icon.
#include "app/window_mode.h"

#include <algorithm>

#include "art/asset_path.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "rules/art_layout.h"

namespace {

// The window of its own is never made smaller than this share of the picture.
constexpr int32_t smallestShare = 4;

int32_t ownWidth = 0;
int32_t ownHeight = 0;

}  // namespace

DisplayArea OwnWindowArea(const DisplayArea& usable, int32_t pictureWidth, int32_t pictureHeight,
                          int32_t width, int32_t height) {
    DisplayArea area;
    if (width > 0 && height > 0) {
        area.width = std::min(width, std::max(usable.width, 1));
        area.height = std::min(height, std::max(usable.height, 1));
    } else if (pictureWidth > 0 && pictureHeight > 0) {
        // Halves of the picture: 2 is 1x, 3 is 1.5x.
        const int32_t halves = std::max(
            1, std::min(usable.width * 2 / pictureWidth, usable.height * 2 / pictureHeight));
        area.width = pictureWidth * halves / 2;
        area.height = pictureHeight * halves / 2;
    }
    area.x = usable.x + (usable.width - area.width) / 2;
    area.y = usable.y + (usable.height - area.height) / 2;
    return area;
}

void SetOwnWindowSize(int32_t width, int32_t height) {
    ownWidth = width;
    ownHeight = height;
}

bool NoteOwnWindowSize(bool windowed, intptr_t lParam, int32_t* width, int32_t* height) {
    const auto packed = static_cast<uint32_t>(lParam);
    const auto newWidth = static_cast<int32_t>(packed & 0xFFFFu);
    const auto newHeight = static_cast<int32_t>((packed >> 16) & 0xFFFFu);
    if (!windowed || newWidth <= 0 || newHeight <= 0 ||
        (newWidth == ownWidth && newHeight == ownHeight)) {
        return false;
    }
    SetOwnWindowSize(newWidth, newHeight);
    *width = newWidth;
    *height = newHeight;
    return true;
}

bool ShowGameIcon() {
    return appWindow.SetIconFromFile(AssetPath(appIconFile).c_str());
}

int ShowWindowed(bool windowed) {
    int result = 0;
    if (windowed) {
        // Out of the full screen first: SDL keeps a full-screen window's size.
        result = screen.ShowInOwnWindow(true);
        appWindow.SetStyle(WS_OVERLAPPEDWINDOW);
        appWindow.SetMinimumSize(pictureWidth / smallestShare, pictureHeight / smallestShare);
        const DisplayArea area =
            OwnWindowArea(UsableDisplayArea(), pictureWidth, pictureHeight, ownWidth, ownHeight);
        appWindow.Move(area.x, area.y, area.width, area.height);
    } else {
        // The window covers the display itself as well, for desktops whose
        // window manager does not act on the full-screen request (or has none).
        appWindow.SetStyle(WS_POPUP);
        const DisplaySize display = PrimaryDisplaySize();
        appWindow.Move(0, 0, display.width, display.height);
        result = screen.ShowInOwnWindow(false);
    }
    // Relative mouse mode would hold the pointer inside a window of its own.
    if (input.mouseDevice != nullptr) {
        if (windowed) {
            input.mouseDevice->unacquire(input.mouseDevice->context, input.window);
            input.mouseActive = false;
        } else {
            input.mouseActive =
                input.mouseDevice->acquire(input.mouseDevice->context, input.window);
        }
    }
    return result;
}
