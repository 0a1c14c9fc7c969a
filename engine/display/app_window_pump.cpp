// AppWindow's message pump: taking one SDL event per call and turning it into
// the window messages it stands for, dispatched to the window procedure.
#include "engine/display/app_window.h"

#include <SDL.h>

#include "engine/display/virtual_keys.h"

namespace {

intptr_t PackPoint(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}

uintptr_t ButtonFlags(uint32_t state) {
    uintptr_t flags = 0;
    if (state & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (state & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (state & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    return flags;
}

// The window an event belongs to; 0 for events of no particular window.
uint32_t EventWindowId(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return event.key.windowID;
        case SDL_TEXTINPUT:
            return event.text.windowID;
        case SDL_MOUSEMOTION:
            return event.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return event.button.windowID;
        case SDL_WINDOWEVENT:
            return event.window.windowID;
        default:
            return 0;
    }
}

// Decodes one UTF-8 sequence at `text`, advancing it; malformed bytes stand for
// themselves so that nothing is skipped silently and the walk always advances.
uint32_t NextCodePoint(const char*& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    int length = 1;
    uint32_t code = p[0];
    if (p[0] >= 0xC0 && p[0] < 0xE0) {
        length = 2, code = p[0] & 0x1Fu;
    } else if (p[0] >= 0xE0 && p[0] < 0xF0) {
        length = 3, code = p[0] & 0x0Fu;
    } else if (p[0] >= 0xF0 && p[0] < 0xF8) {
        length = 4, code = p[0] & 0x07u;
    }
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            text += 1;
            return p[0];
        }
        code = (code << 6) | (p[i] & 0x3Fu);
    }
    text += length;
    return code;
}

}  // namespace

bool AppWindow::PumpMessage() {
    lastKeyDown = -1;
    lastKeyUp = -1;
    leftClicked = false;
    rightClicked = false;
    charReceived = false;
    if (window == nullptr || FromWindow(window) != this) {
        return false;
    }
    // SDL marks the end of each poll cycle with a sentinel event; it is no
    // message, so it is passed over rather than spending this pump on it.
    SDL_PumpEvents();
    SDL_Event event;
    do {
        if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) {
            return true;
        }
    } while (event.type == SDL_POLLSENTINEL);
    if (event.type == SDL_MOUSEMOTION) {
        // The desktop coalesces pointer moves; taking only the latest of a run of
        // them keeps one message per pump from falling behind the pointer.
        SDL_Event next;
        while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
               next.type == SDL_MOUSEMOTION && next.motion.windowID == event.motion.windowID) {
            SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
            event = next;
        }
    }
    const uint32_t eventWindow = EventWindowId(event);
    if (eventWindow == 0 || eventWindow == SDL_GetWindowID(window)) {
        DispatchEvent(event);
    }
    return true;
}

intptr_t AppWindow::Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window == nullptr || windowProc == nullptr) {
        return 0;
    }
    return windowProc(window, message, wParam, lParam);
}

void AppWindow::DispatchEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const uint8_t key = VirtualKeyFromKeycode(event.key.keysym.sym);
            if (key == 0) {
                break;
            }
            const bool down = event.type == SDL_KEYDOWN;
            // Alt combinations, Alt itself and F10 are system keys, which the
            // recording leaves alone.
            const bool system =
                (event.key.keysym.mod & KMOD_ALT) || key == VK_MENU || key == VK_F10;
            const uint32_t message =
                down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
            intptr_t lParam = 1;
            if (!down) {
                lParam |= KeyRepeatBit | (intptr_t{1} << 31);
            } else if (event.key.repeat) {
                lParam |= KeyRepeatBit;
            }
            Dispatch(message, key, lParam);
            break;
        }
        case SDL_TEXTINPUT: {
            const char* text = event.text.text;
            while (*text != '\0' && window != nullptr) {
                Dispatch(WM_CHAR, NextCodePoint(text), 1);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            Dispatch(WM_MOUSEMOVE, ButtonFlags(event.motion.state),
                     PackPoint(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            uint32_t message = 0;
            if (event.button.button == SDL_BUTTON_LEFT) {
                message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            } else if (event.button.button == SDL_BUTTON_MIDDLE) {
                message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            }
            if (message != 0) {
                Dispatch(message, ButtonFlags(SDL_GetMouseState(nullptr, nullptr)),
                         PackPoint(event.button.x, event.button.y));
            }
            break;
        }
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                case SDL_WINDOWEVENT_RESTORED:
                    Dispatch(WM_ACTIVATE, WA_ACTIVE, 0);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    Dispatch(WM_ACTIVATE, WA_INACTIVE, 0);
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    Dispatch(WM_ACTIVATE, WA_INACTIVE | ActivateMinimised, 0);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    Dispatch(WM_CLOSE, 0, 0);
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    Dispatch(WM_SIZE, 0, PackPoint(event.window.data1, event.window.data2));
                    break;
                default:
                    break;
            }
            break;
        case SDL_QUIT:
            Dispatch(WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}
