// InputDevice: opening the devices on SDL, the per-frame poll with the pointer clamp,
// press edges and double presses, the joystick's range and dead zone, and the
// pointer queries.
#include "engine/input/input_device.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/display/app_window.h"
#include "engine/display/desktop.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/input/scan_codes.h"

namespace {

constexpr uint8_t PressLeft = 0x01;
constexpr uint8_t PressMiddle = 0x02;
constexpr uint8_t PressRight = 0x04;

// A key name holds at most this many bytes, terminator included.
constexpr size_t keyNameSize = 260;

// Adds the motion and keeps the result within [low, high - 1]. The upper clamp comes
// last, so when high - 1 < low it wins. The sum is taken in 64 bits so that no
// motion, however large, overflows.
int32_t ClampPointer(int32_t position, int32_t motion, int32_t low, int32_t high) {
    int64_t sum = int64_t{position} + motion;
    if (sum < low) {
        sum = low;
    }
    if (sum > int64_t{high} - 1) {
        sum = int64_t{high} - 1;
    }
    return static_cast<int32_t>(std::max<int64_t>(sum, std::numeric_limits<int32_t>::min()));
}

// SDL reports an axis as -32768..32767. The central tenth of the travel on each side
// reads as 0; beyond it the value ramps linearly to +-1000 at the ends, as a joystick
// with a range of -1000..1000 and a dead zone of 10 % reports it.
int32_t ScaleAxis(int16_t raw) {
    constexpr int32_t fullTravel = 32767;
    constexpr int32_t deadZone = fullTravel / 10;
    const int32_t magnitude = std::min<int32_t>(raw < 0 ? -int32_t{raw} : raw, fullTravel);
    if (magnitude <= deadZone) {
        return 0;
    }
    const int32_t scaled = (magnitude - deadZone) * 1000 / (fullTravel - deadZone);
    return raw < 0 ? -scaled : scaled;
}

}  // namespace

InputDevice::~InputDevice() {
    Release();
}

void InputDevice::Release() {
    if (keyboardDevice != nullptr) {
        keyboardDevice->unacquire(keyboardDevice->context, window);
        keyboardDevice = nullptr;
    }
    // Unlike a released device handle, SDL's relative mouse mode outlives the object
    // that set it, so the mouse is let go explicitly.
    if (mouseDevice != nullptr) {
        mouseDevice->unacquire(mouseDevice->context, window);
        mouseDevice = nullptr;
    }
    // After SDL_Quit the joystick is already closed and freed.
    if (joystickDevice != nullptr) {
        if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
            SDL_JoystickClose(joystickDevice);
        }
        joystickDevice = nullptr;
    }
    if (directInput != 0) {
        SDL_QuitSubSystem(directInput);
        directInput = 0;
    }
    mouseActive = false;
    keyboardActive = false;
    joystickActive = false;
}

int32_t InputDevice::Init(InstanceHandle newInstance, WindowHandle newWindow) {
    Release();
    instance = newInstance;
    window = newWindow;

    const DisplaySize desktop = PrimaryDisplaySize();
    clipRect = Rect{0, 0, desktop.width, desktop.height};

    // The keyboard and the mouse live in SDL's video subsystem, which brings the
    // events with it. Its start is counted, so the AppWindow's own is not disturbed.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return InputResultNoPlatform;
    }
    directInput = SDL_INIT_VIDEO;

    mouseDevice = SdlMouseSource();
    mouseActive = mouseDevice->acquire(mouseDevice->context, window);
    keyboardDevice = SdlKeyboardSource();
    keyboardActive = keyboardDevice->acquire(keyboardDevice->context, window);

    return OpenJoystick();
}

int32_t InputDevice::InitForWindow(AppWindow* appWindow) {
    if (appWindow == nullptr) {
        return Init(nullptr, nullptr);
    }
    return Init(appWindow->instance, appWindow->window);
}

int32_t InputDevice::OpenJoystick() {
    joystickActive = false;
    foundJoystick = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        return InputResultJoystickSearch;
    }
    directInput |= SDL_INIT_JOYSTICK;
    // The state is polled; joystick events would only crowd the window's queue, which
    // its pump empties one message per frame.
    SDL_JoystickEventState(SDL_IGNORE);

    const int count = SDL_NumJoysticks();
    if (count < 0) {
        return InputResultJoystickSearch;
    }
    for (int index = 0; index < count && foundJoystick == nullptr; ++index) {
        foundJoystick = SDL_JoystickOpen(index);
    }
    if (foundJoystick == nullptr) {
        return InputResultOk;
    }
    joystickDevice = foundJoystick;
    foundJoystick = nullptr;

    // The range and dead zone are applied when the axes are read (ScaleAxis); what
    // can fail is only that the axes are not there.
    if (SDL_JoystickNumAxes(joystickDevice) < 2) {
        return InputResultJoystickAxes;
    }
    if (SDL_JoystickGetAttached(joystickDevice) == SDL_FALSE) {
        return InputResultJoystickAcquire;
    }
    joystickActive = true;
    return InputResultOk;
}

void InputDevice::Update() {
    if (mouseActive && mouseDevice != nullptr) {
        UpdateMouse();
    }
    if (keyboardActive && keyboardDevice != nullptr) {
        UpdateKeyboard();
    }
    if (joystickActive && joystickDevice != nullptr) {
        UpdateJoystick();
    }
}

void InputDevice::UpdateMouse() {
    MouseState state;
    if (!mouseDevice->read(mouseDevice->context, window, &state, sizeof state)) {
        mouseDevice->acquire(mouseDevice->context, window);
        state = MouseState{};
    }
    mouseDeltaX = state.x;
    mouseDeltaY = state.y;
    mouseX = ClampPointer(mouseX, state.x, clipRect.left, clipRect.right);
    mouseY = ClampPointer(mouseY, state.y, clipRect.top, clipRect.bottom);

    // Button bytes: 0 left, 1 right, 2 middle.
    const bool left = state.buttons[0] != 0;
    const bool right = state.buttons[1] != 0;
    const bool middle = state.buttons[2] != 0;
    leftPressed = !leftDown && left;
    rightPressed = !rightDown && right;
    middlePressed = !middleDown && middle;
    leftDown = left;
    rightDown = right;
    middleDown = middle;

    leftDoubleClick = false;
    middleDoubleClick = false;
    rightDoubleClick = false;
    if (leftPressed) {
        CheckDoublePress(PressLeft, lastLeftPressTime, leftDoubleClick);
    }
    if (middlePressed) {
        CheckDoublePress(PressMiddle, lastMiddlePressTime, middleDoubleClick);
    }
    if (rightPressed) {
        CheckDoublePress(PressRight, lastRightPressTime, rightDoubleClick);
    }
}

// A press within doubleClickTime of the stored press is a double press and leaves the
// stored time alone, so a third quick press is measured from the first. Any other
// press opens a new interval. The difference is unsigned, so a tick counter that
// wrapped in between still gives the true interval.
void InputDevice::CheckDoublePress(uint8_t button, uint32_t& lastPressTime, bool& doublePress) {
    uint32_t (*const clock)() = tickCount != nullptr ? tickCount : SdlTickCount;
    const uint32_t now = clock();
    if ((recordedPresses & button) != 0 && now - lastPressTime < doubleClickTime) {
        doublePress = true;
        return;
    }
    lastPressTime = clock();
    recordedPresses |= button;
}

void InputDevice::UpdateKeyboard() {
    if (!keyboardDevice->read(keyboardDevice->context, window, keys, keyboardStateSize)) {
        std::memset(keys, 0, sizeof keys);
        keyboardDevice->acquire(keyboardDevice->context, window);
    }
}

// SDL keeps a joystick's last values while the program is in the background and
// drops its input then, which serves as the foreground rule. Only a joystick that was
// unplugged fails the read.
void InputDevice::UpdateJoystick() {
    SDL_JoystickUpdate();
    if (SDL_JoystickGetAttached(joystickDevice) == SDL_FALSE) {
        joystickX = 0;
        joystickY = 0;
        joystickButton1 = false;
        joystickButton2 = false;
        return;
    }
    joystickX = ScaleAxis(SDL_JoystickGetAxis(joystickDevice, 0));
    joystickY = ScaleAxis(SDL_JoystickGetAxis(joystickDevice, 1));
    joystickButton1 = SDL_JoystickGetButton(joystickDevice, 0) != 0;
    joystickButton2 = SDL_JoystickGetButton(joystickDevice, 1) != 0;
}

// An SDL joystick needs no acquiring; it is read whenever it is attached.
void InputDevice::AcquireAll() {
    if (mouseActive && mouseDevice != nullptr) {
        mouseDevice->acquire(mouseDevice->context, window);
    }
    if (keyboardActive && keyboardDevice != nullptr) {
        keyboardDevice->acquire(keyboardDevice->context, window);
    }
}

void InputDevice::UnacquireAll() {
    if (mouseActive && mouseDevice != nullptr) {
        mouseDevice->unacquire(mouseDevice->context, window);
    }
    if (keyboardActive && keyboardDevice != nullptr) {
        keyboardDevice->unacquire(keyboardDevice->context, window);
    }
}

void InputDevice::SetActiveDevices(bool mouse, bool keyboard, bool joystick) {
    mouseActive = mouse;
    keyboardActive = keyboard;
    joystickActive = joystick;
}

int32_t InputDevice::RunMouseControlPanel(WindowHandle) {
    return InputResultNoControlPanel;
}

int32_t InputDevice::RunJoystickControlPanel(WindowHandle) {
    return InputResultNoControlPanel;
}

// The name follows the keyboard layout where SDL knows it (the key in the W place
// of a French board is named "Z"), and falls back to SDL's name of the position.
int32_t InputDevice::GetKeyName(int32_t scanCode, char* name) {
    if (name == nullptr) {
        return 0;
    }
    name[0] = '\0';
    const auto sdlScancode = static_cast<SDL_Scancode>(SdlScancodeFromScanCode(scanCode));
    if (sdlScancode == SDL_SCANCODE_UNKNOWN) {
        return 0;
    }
    const char* text = SDL_GetKeyName(SDL_GetKeyFromScancode(sdlScancode));
    if (text == nullptr || text[0] == '\0') {
        text = SDL_GetScancodeName(sdlScancode);
    }
    if (text != nullptr) {
        const size_t length = std::min(std::strlen(text), keyNameSize - 1);
        std::memcpy(name, text, length);
        name[length] = '\0';
    }
    return 0;
}

void InputDevice::SetMouseClip(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    clipRect = Rect{left, top, right, bottom};
}

void InputDevice::SetMouseClipToScreen(Screen* screen) {
    if (screen == nullptr || screen->frontSurface == nullptr) {
        return;
    }
    SetMouseClip(0, 0, screen->frontSurface->width, screen->frontSurface->height);
}

bool InputDevice::IsMouseInRect(const Rect& rect) const {
    return rect.left <= mouseX && mouseX <= rect.right && rect.top <= mouseY &&
           mouseY <= rect.bottom;
}

// The margins are added in 64 bits so that no margin overflows the comparison.
bool InputDevice::IsMouseNearLeft(int32_t margin) const {
    return mouseX <= int64_t{clipRect.left} + margin;
}

bool InputDevice::IsMouseNearTop(int32_t margin) const {
    return mouseY <= int64_t{clipRect.top} + margin;
}

bool InputDevice::IsMouseNearRight(int32_t margin) const {
    return mouseX >= int64_t{clipRect.right} - margin;
}

bool InputDevice::IsMouseNearBottom(int32_t margin) const {
    return mouseY >= int64_t{clipRect.bottom} - margin;
}
