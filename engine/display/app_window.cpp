// AppWindow on SDL: creation, destruction, the message recording and the
// window's settings. Window classes and live windows are tracked here, so a
// handle is only ever looked up, never dereferenced, once its window is gone.
#include "engine/display/app_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/display/headless_video.h"
#include "engine/display/lost_display.h"

namespace {

// The icon every class starts with, the application icon's resource number.
constexpr int32_t defaultIcon = 32512;

// Both lists outlive every AppWindow: a global AppWindow is destroyed at exit,
// possibly after function-local statics, so they are never destroyed.
std::vector<std::string>& RegisteredClasses() {
    static auto* classes = new std::vector<std::string>;
    return *classes;
}

std::vector<std::pair<WindowHandle, AppWindow*>>& LiveWindows() {
    static auto* windows = new std::vector<std::pair<WindowHandle, AppWindow*>>;
    return *windows;
}

bool RegisterClassName(const char* name) {
    auto& classes = RegisteredClasses();
    if (std::find(classes.begin(), classes.end(), name) != classes.end()) {
        return false;
    }
    classes.emplace_back(name);
    return true;
}

void UnregisterClassName(const char* name) {
    auto& classes = RegisteredClasses();
    auto found = std::find(classes.begin(), classes.end(), name);
    if (found != classes.end()) {
        classes.erase(found);
    }
}

void ForgetWindow(WindowHandle window) {
    auto& windows = LiveWindows();
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [window](const auto& entry) { return entry.first == window; }),
                  windows.end());
}

}  // namespace

AppWindow::AppWindow()
    : keyState{},
      charReceived(false),
      lastChar(0),
      leftClickX(0),
      leftClickY(0),
      rightClickX(0),
      rightClickY(0),
      lastKeyDown(0),
      lastKeyUp(0),
      cursorX(0),
      cursorY(0),
      leftButtonDown(false),
      rightButtonDown(false),
      leftClicked(false),
      rightClicked(false),
      active(false),
      className(nullptr),
      instance(nullptr),
      window(nullptr),
      messageHook(nullptr),
      windowProc(nullptr),
      userData(nullptr),
      windowStyle(0),
      classIcon(0),
      classRegistered(false),
      videoHeld(false) {}

AppWindow::~AppWindow() {
    // The window goes quietly, without messages: the procedure may belong to
    // objects that are already gone at this point.
    if (window != nullptr) {
        ForgetWindow(window);
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (classRegistered) {
        UnregisterClassName(className);
    }
    delete[] className;
    if (videoHeld) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

AppWindow* AppWindow::FromWindow(WindowHandle handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    for (const auto& entry : LiveWindows()) {
        if (entry.first == handle) {
            return entry.second;
        }
    }
    return nullptr;
}

bool AppWindow::Create(const char* name, InstanceHandle owner, MessageHook hook, int32_t style,
                       int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!OpenWindow(name, owner, &AppWindow::EngineWindowProc, style, x, y, width, height)) {
        return false;
    }
    userData = this;
    messageHook = hook;
    return true;
}

bool AppWindow::CreateWithProc(const char* name, InstanceHandle owner, WindowProc proc,
                               int32_t style, int32_t x, int32_t y, int32_t width, int32_t height) {
    return OpenWindow(name, owner, proc, style, x, y, width, height);
}

bool AppWindow::OpenWindow(const char* name, InstanceHandle owner, WindowProc proc, int32_t style,
                           int32_t x, int32_t y, int32_t width, int32_t height) {
    if (name == nullptr || proc == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    delete[] className;
    className = new char[length + 1];
    std::memcpy(className, name, length + 1);
    instance = owner;

    // A class name stays registered until Destroy, so a second create without
    // one fails, and a failed window creation leaves the class registered.
    if (!RegisterClassName(className)) {
        return false;
    }
    classRegistered = true;
    if (!videoHeld) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        videoHeld = true;
    }
    // A window on a driver that shows nothing, unasked for, is no window.
    if (VideoShowsNothing()) {
        return false;
    }
    EndProcessWhenDisplayIsLost();
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (style & WS_POPUP) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if (style & WS_THICKFRAME) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // Made ready for OpenGL from the start where the driver has it: SDL's
    // OpenGL renderer would otherwise destroy the window and make a new one
    // in its place, under anyone who already found the first.
    SDL_Window* created =
        SDL_CreateWindow(className, x, y, width, height, flags | SDL_WINDOW_OPENGL);
    if (created == nullptr) {
        created = SDL_CreateWindow(className, x, y, width, height, flags);
    }
    if (created == nullptr) {
        return false;
    }
    window = created;
    LiveWindows().emplace_back(created, this);
    windowProc = proc;
    userData = nullptr;
    windowStyle = style;
    classIcon = defaultIcon;
    SDL_RaiseWindow(created);
    active = true;
    return true;
}

bool AppWindow::Destroy() {
    if (window == nullptr) {
        return false;
    }
    // `window` is emptied first, so a Destroy made again from inside the
    // procedure while WM_DESTROY is delivered finds no window and returns false.
    WindowHandle dying = window;
    window = nullptr;
    if (windowProc != nullptr) {
        windowProc(dying, WM_DESTROY, 0, 0);
    }
    ForgetWindow(dying);
    SDL_DestroyWindow(dying);
    if (classRegistered) {
        UnregisterClassName(className);
        classRegistered = false;
    }
    window = nullptr;
    active = false;
    return true;
}

void AppWindow::RecordMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_DESTROY:
            active = false;
            window = nullptr;
            break;
        case WM_ACTIVATE:
            active = (wParam & 0xFFFFu) != 0;
            break;
        case WM_KEYDOWN:
            // Key codes index a 256-entry array; anything larger is not a key.
            if (wParam < 256) {
                keyState[wParam] = 1;
                lastKeyDown = static_cast<int32_t>(wParam);
            }
            break;
        case WM_KEYUP:
            if (wParam < 256) {
                keyState[wParam] = 0;
                lastKeyUp = static_cast<int32_t>(wParam);
            }
            break;
        case WM_CHAR:
            charReceived = true;
            lastChar = static_cast<uint8_t>(wParam & 0xFFu);
            break;
        case WM_MOUSEMOVE:
            cursorX = static_cast<int32_t>(static_cast<uint32_t>(lParam) & 0xFFFFu);
            cursorY = static_cast<int32_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu);
            break;
        case WM_LBUTTONDOWN:
            leftButtonDown = true;
            leftClicked = true;
            leftClickX = cursorX;
            leftClickY = cursorY;
            break;
        case WM_LBUTTONUP:
            leftButtonDown = false;
            break;
        case WM_RBUTTONDOWN:
            rightButtonDown = true;
            rightClicked = true;
            rightClickX = cursorX;
            rightClickY = cursorY;
            break;
        case WM_RBUTTONUP:
            rightButtonDown = false;
            break;
        default:
            break;
    }
}

intptr_t AppWindow::EngineWindowProc(WindowHandle handle, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
    AppWindow* owner = FromWindow(handle);
    if (owner != nullptr && owner->userData != nullptr) {
        AppWindow* bound = owner->userData;
        bound->RecordMessage(message, wParam, lParam);
        if (bound->messageHook != nullptr) {
            bound->messageHook(message, wParam, lParam);
        }
    }
    return DefaultWindowProc(handle, message, wParam, lParam);
}

bool AppWindow::SetIcon(int32_t iconNumber) {
    // The program carries no icon resources, so the window keeps SDL's icon;
    // the class remembers the number, as the platform's class would.
    if (window == nullptr) {
        return false;
    }
    const int32_t previous = classIcon;
    classIcon = iconNumber;
    return previous != 0;
}

bool AppWindow::SetIconFromFile(const char* bmpPath) {
    if (window == nullptr || bmpPath == nullptr) {
        return false;
    }
    SDL_Surface* icon = SDL_LoadBMP(bmpPath);
    if (icon == nullptr) {
        return false;
    }
    // SDL copies the pixels into the window's property (_NET_WM_ICON on X11).
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    return true;
}

bool AppWindow::SetMinimumSize(int32_t width, int32_t height) {
    if (window == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    SDL_SetWindowMinimumSize(window, width, height);
    return true;
}

bool AppWindow::SetStyle(int32_t style) {
    if (window == nullptr) {
        return false;
    }
    const int32_t previous = windowStyle;
    windowStyle = style;
    SDL_SetWindowBordered(window, (style & WS_POPUP) ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(window, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    return previous != 0;
}

bool AppWindow::Move(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (window == nullptr) {
        return false;
    }
    SDL_SetWindowPosition(window, x, y);
    SDL_SetWindowSize(window, width > 0 ? width : 1, height > 0 ? height : 1);
    return true;
}

void AppWindow::SetMessageHook(MessageHook hook) {
    messageHook = hook;
}

intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) {
        // Only a live window of ours is destroyed; a stale handle is ignored.
        AppWindow* owner = AppWindow::FromWindow(window);
        if (owner != nullptr) {
            owner->Destroy();
        }
    }
    return 0;
}
