// The program's main window: creation on SDL, the one-message-per-call pump
// that turns SDL events into window messages, and the plain fields in which the
// messages the program cares about are recorded.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"
#include "engine/display/window_messages.h"

union SDL_Event;

class AppWindow {
public:
    AppWindow();
    virtual ~AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    // Creates and shows a window whose procedure is EngineWindowProc, which
    // records every message here and then calls `hook`.
    bool Create(const char* className, InstanceHandle instance, MessageHook hook, int32_t style,
                int32_t x, int32_t y, int32_t width, int32_t height);
    // The same with the caller's procedure, which must pass the messages to
    // RecordMessage itself. WS_POPUP gives a borderless window.
    bool CreateWithProc(const char* className, InstanceHandle instance, WindowProc proc,
                        int32_t style, int32_t x, int32_t y, int32_t width, int32_t height);
    // Destroys the window (its WM_DESTROY passes through the window procedure)
    // and unregisters the class. False when there is no window.
    bool Destroy();
    // Resets the per-pump fields and dispatches at most one pending message;
    // false once the window is gone.
    bool PumpMessage();
    void RecordMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    static intptr_t EngineWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);
    bool SetIcon(int32_t iconNumber);
    // Shows the picture of a BMP file (32 bits with alpha, or any depth SDL
    // reads) as the window's icon: the title bar's, the task bar's and the
    // dock's. False, the icon unchanged, when there is no window or the file
    // cannot be read.
    bool SetIconFromFile(const char* bmpPath);
    // The smallest client size the player can give the window by hand.
    bool SetMinimumSize(int32_t width, int32_t height);
    bool SetStyle(int32_t style);
    bool Move(int32_t x, int32_t y, int32_t width, int32_t height);
    void SetMessageHook(MessageHook hook);

    // Finds the AppWindow that owns a live window; nullptr for a window that is
    // not (or no longer) one of ours.
    static AppWindow* FromWindow(WindowHandle window);

    uint8_t keyState[256];  // by virtual-key code: 1 after key-down, 0 after key-up
    bool charReceived;
    uint8_t lastChar;
    int32_t leftClickX, leftClickY;
    int32_t rightClickX, rightClickY;
    int32_t lastKeyDown;  // -1 when no key-down arrived since the pump began
    int32_t lastKeyUp;
    int32_t cursorX, cursorY;
    bool leftButtonDown, rightButtonDown;
    bool leftClicked, rightClicked;
    bool active;
    char* className;  // owned; also the window title
    InstanceHandle instance;
    WindowHandle window;
    MessageHook messageHook;

private:
    bool OpenWindow(const char* name, InstanceHandle owner, WindowProc proc, int32_t style,
                    int32_t x, int32_t y, int32_t width, int32_t height);
    // Turns one SDL event into the messages it stands for and dispatches them.
    void DispatchEvent(const SDL_Event& event);
    intptr_t Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam);

    WindowProc windowProc;
    AppWindow* userData;  // set by Create only: what EngineWindowProc records into
    int32_t windowStyle;
    int32_t classIcon;
    bool classRegistered;
    bool videoHeld;
};

// The default window procedure: a close request (the window's close button, the
// desktop's quit request) destroys the window, through its AppWindow's Destroy,
// so that WM_DESTROY reaches the window procedure. Every other message is left
// alone. Answers 0.
intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
