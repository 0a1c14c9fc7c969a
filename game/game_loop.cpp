// Start-up, the window procedure and the frame loop. One frame per pass: one
// window message, the keys, the rules, the picture, the present.
#include "game/game_loop.h"

#include <cstdio>

#include "engine/display/app_window.h"
#include "engine/display/desktop.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "engine/input/input_device.h"
#include "engine/input/scan_codes.h"
#include "engine/sound/sound_device.h"
#include "game/game_objects.h"
#include "game/game_view.h"
#include "game/set_up_world.h"
#include "game/world_step.h"

namespace {

struct KeyBinding {
    uint8_t control;
    uint8_t scanCode[fighterCount];  // first player, second player
};

// Escape is not here: it acts through the window procedure.
constexpr KeyBinding keyTable[] = {
    {ControlUp, {ScanCodeW, ScanCodeUp}},
    {ControlDown, {ScanCodeS, ScanCodeDown}},
    {ControlLeft, {ScanCodeA, ScanCodeLeft}},
    {ControlRight, {ScanCodeD, ScanCodeRight}},
    {ControlTurn, {ScanCodeV, ScanCodeRightShift}},
    {ControlCharge, {ScanCodeSpace, ScanCodeReturn}},
};

constexpr int32_t displayWidth = 800;
constexpr int32_t displayHeight = 600;
constexpr int32_t displayBits = 16;

}  // namespace

uint8_t ControlsFromKeys(const uint8_t* keys, int32_t player) {
    uint8_t controls = 0;
    for (const KeyBinding& binding : keyTable) {
        if (keys[binding.scanCode[player]] != 0) {
            controls |= binding.control;
        }
    }
    return controls;
}

intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    appWindow.RecordMessage(message, wParam, lParam);
    if (appWindow.lastKeyDown == VK_ESCAPE) {
        appWindow.Destroy();
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

bool RunGame() {
    SetUpWorld();
    for (;;) {
        if (!appWindow.PumpMessage()) {
            return false;
        }
        // Nothing is read, updated or drawn while the window is inactive: the
        // game stands still and resumes where it was. Waiting for the display's
        // next refresh keeps the idle loop from spinning a processor core.
        if (!appWindow.active) {
            screen.WaitVerticalBlank();
            continue;
        }
        input.Update();
        StepWorld(ControlsFromKeys(input.keys, 0), ControlsFromKeys(input.keys, 1));
        DrawFrame();
        screen.Present(0);
    }
}

int StartGame() {
    const DisplaySize desktop = PrimaryDisplaySize();
    if (!appWindow.CreateWithProc("Kivoro", nullptr, GameWindowProc, WS_POPUP, 0, 0, desktop.width,
                                  desktop.height)) {
        std::fprintf(stderr,
                     "kivoro: cannot open a window: no display is available "
                     "(is DISPLAY set, or a desktop session running?)\n");
        return 1;
    }
    ShowCursor(false);
    screen.Open();
    const int mode =
        screen.SetFullScreenMode(0, appWindow.window, displayWidth, displayHeight, displayBits);
    if (mode != 0) {
        std::fprintf(stderr, "kivoro: cannot show the %d x %d display (code %d)\n", displayWidth,
                     displayHeight, mode);
        appWindow.Destroy();
        return 1;
    }
    if (soundDevice.Create(appWindow.window) != 0) {
        std::fprintf(stderr, "kivoro: no sound device; playing without sound\n");
    }
    input.InitForWindow(&appWindow);
    RunGame();
    return 0;
}
