// Switching the game's window between its two modes.
#include "app/window_mode.h"

#include <algorithm>

#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {}  // namespace

DisplayArea OwnWindowArea(const DisplayArea& usable, int32_t width, int32_t height) {
    const int32_t multiple =
        width > 0 && height > 0
            ? std::max(1, std::min(usable.width / width, usable.height / height))
            : 1;
    DisplayArea area;
    area.width = width * multiple;
    area.height = height * multiple;
    area.x = usable.x + (usable.width - area.width) / 2;
    area.y = usable.y + (usable.height - area.height) / 2;
    return area;
}

int ShowWindowed(bool windowed) {
    int result = 0;
    if (windowed) {
        // Out of the full screen first: SDL keeps a full-screen window's size.
        result = screen.ShowInOwnWindow(true);
        appWindow.SetStyle(WS_OVERLAPPEDWINDOW);
        const DisplayArea area = OwnWindowArea(UsableDisplayArea(), pictureWidth, pictureHeight);
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
