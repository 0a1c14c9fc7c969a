// The start-up of the window, the display and the devices.
#include "app/game_window.h"

#include "app/app_loop.h"
#include "app/local_input.h"
#include "app/overlay_view.h"
#include "app/play_state.h"
#include "app/window_mode.h"
#include "engine/display/desktop.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "settings/settings_file.h"

bool OpenGameWindow(bool windowed, const Settings& settings, FILE* errors) {
    // Windowed, the window is made where it will stay, so that leaving the
    // mode set's full screen puts it there at once.
    SetOwnWindowSize(settings.windowWidth, settings.windowHeight);
    const DisplaySize desktop = PrimaryDisplaySize();
    DisplayArea area{0, 0, desktop.width, desktop.height};
    if (windowed) {
        area = OwnWindowArea(UsableDisplayArea(), pictureWidth, pictureHeight, settings.windowWidth,
                             settings.windowHeight);
    }
    if (!appWindow.CreateWithProc("Kivoro", nullptr, GameWindowProc,
                                  windowed ? WS_OVERLAPPEDWINDOW : WS_POPUP, area.x, area.y,
                                  area.width, area.height)) {
        std::fprintf(errors,
                     "kivoro: cannot open a window: no display is available "
                     "(is DISPLAY set, or a desktop session running?)\n");
        return false;
    }
    ShowGameIcon();
    ShowCursor(false);
    screen.Open();
    const int mode =
        screen.SetFullScreenMode(0, appWindow.window, pictureWidth, pictureHeight, pictureBits);
    if (mode != 0) {
        std::fprintf(errors, "kivoro: cannot show the %d x %d display (code %d)\n", pictureWidth,
                     pictureHeight, mode);
        appWindow.Destroy();
        return false;
    }
    return true;
}

void OpenGameDevices(bool windowed, const Settings& settings, const PlayState& play,
                     LocalInput& players, FILE* errors) {
    if (soundDevice.Create(appWindow.window) != 0) {
        std::fprintf(errors, "kivoro: no sound device; playing without sound\n");
    }
    soundDevice.SetMasterVolume(play.volume, play.muted);
    input.InitForWindow(&appWindow);
    players.Open(settings.keys);
    if (windowed) {
        ShowWindowed(true);
    }
    PrepareOverlays(settings.keys);
}
