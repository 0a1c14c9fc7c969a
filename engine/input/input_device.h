// InputDevice: the keyboard, the mouse and the first joystick, polled once per frame
// into plain fields that the game reads directly, above all `keys`, the key state
// indexed by scan code (engine/input/scan_codes.h).
#pragma once

#include <cstdint>

#include "engine/display/rect.h"
#include "engine/display/window_handle.h"
#include "engine/input/input_source.h"

class AppWindow;
class Screen;
struct _SDL_Joystick;

// Results of Init and the control-panel calls; 0 is success, the others belong to
// the engine's shared numbering.
enum InputResult : int32_t {
    InputResultOk = 0,
    // SDL's video and event subsystems, which carry the keyboard and mouse, would not start.
    InputResultNoPlatform = 36,
    // The joystick subsystem would not start or could not count the joysticks.
    InputResultJoystickSearch = 39,
    // An opened joystick lacks the interface that polls it. SDL joysticks always have it,
    // so this code is kept for the numbering and never returned.
    InputResultJoystickInterface = 40,
    // The joystick lacks an x or a y axis, so its range and dead zone cannot be applied.
    InputResultJoystickAxes = 41,
    // The joystick went away before it could be acquired.
    InputResultJoystickAcquire = 42,
    // SDL has no control panel for input devices.
    InputResultNoControlPanel = 43,
};

class InputDevice {
public:
    // Touches no platform state: the game's InputDevice is constructed before main.
    InputDevice() = default;
    // Lets the devices go and drops this object's hold on SDL's subsystems.
    virtual ~InputDevice();

    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // Starts the SDL subsystems, binds the keyboard and the mouse to the window and
    // opens the first joystick that can be opened. The instance is kept for the
    // interface's sake; SDL needs none. Calling it again first lets go of what the
    // previous call took.
    int32_t Init(InstanceHandle instance, WindowHandle window);
    // Init with the AppWindow's instance and window.
    int32_t InitForWindow(AppWindow* appWindow);

    // Polls the active devices in the order mouse, keyboard, joystick. A device that
    // cannot be read (the window is not in the foreground) is acquired again and
    // counts as still: no motion, nothing held.
    void Update();

    void AcquireAll();
    void UnacquireAll();
    // A flag set for a device that does not exist is ignored by Update.
    void SetActiveDevices(bool mouse, bool keyboard, bool joystick);

    // Both answer InputResultNoControlPanel.
    int32_t RunMouseControlPanel(WindowHandle parent);
    int32_t RunJoystickControlPanel(WindowHandle parent);

    // Writes the key's display name, at most 259 characters and a terminator, into
    // name, which holds at least 260 bytes; an empty text for a scan code no key has.
    // Always 0.
    int32_t GetKeyName(int32_t scanCode, char* name);

    // The pointer is not moved; the next Update clamps it.
    void SetMouseClip(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // The clip becomes the size of the screen's front surface; without one it stays.
    void SetMouseClipToScreen(Screen* screen);

    // Both edges of the rectangle included.
    bool IsMouseInRect(const Rect& rect) const;
    bool IsMouseNearLeft(int32_t margin) const;
    bool IsMouseNearTop(int32_t margin) const;
    bool IsMouseNearRight(int32_t margin) const;
    bool IsMouseNearBottom(int32_t margin) const;

    int32_t mouseDeltaX = 0;
    int32_t mouseDeltaY = 0;
    // Running sum of the motion, kept within clipRect (right and bottom exclusive).
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    // -1000..1000, 0 within the central tenth of each axis' travel.
    int32_t joystickX = 0;
    int32_t joystickY = 0;
    bool joystickButton1 = false;
    bool joystickButton2 = false;
    bool leftDown = false;
    bool middleDown = false;
    bool rightDown = false;
    // Held now and not held at the read before.
    bool leftPressed = false;
    bool middlePressed = false;
    bool rightPressed = false;
    // This read's press came within doubleClickTime of the press that opened the interval.
    bool leftDoubleClick = false;
    bool middleDoubleClick = false;
    bool rightDoubleClick = false;
    // Indexed by scan code; 0x80 while the key is down.
    uint8_t keys[keyboardStateSize] = {};
    bool mouseActive = false;
    bool keyboardActive = false;
    bool joystickActive = false;
    Rect clipRect;
    // The SDL subsystems (SDL_INIT_ flags) this object started and must quit.
    uint32_t directInput = 0;
    // Empty until Init creates them; tests may put their own sources here.
    const InputSource* keyboardDevice = nullptr;
    const InputSource* mouseDevice = nullptr;
    _SDL_Joystick* joystickDevice = nullptr;
    // Only used inside Init while the joystick is searched for.
    _SDL_Joystick* foundJoystick = nullptr;
    uint32_t lastLeftPressTime = 0;
    uint32_t lastMiddlePressTime = 0;
    uint32_t lastRightPressTime = 0;
    uint32_t doubleClickTime = 300;
    // The window the devices are bound to; reads succeed only while it has the focus.
    WindowHandle window = nullptr;
    InstanceHandle instance = nullptr;
    // The millisecond tick counter the double presses are timed with.
    uint32_t (*tickCount)() = SdlTickCount;
    // Bit 0 left, bit 1 middle, bit 2 right: set once a press of the button has opened
    // an interval, so the first press of a button is never taken for a double press.
    uint8_t recordedPresses = 0;

private:
    void Release();
    int32_t OpenJoystick();
    void UpdateMouse();
    void UpdateKeyboard();
    void UpdateJoystick();
    void CheckDoublePress(uint8_t button, uint32_t& lastPressTime, bool& doublePress);
};
