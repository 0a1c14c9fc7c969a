// The window layer's vocabulary: message numbers, virtual-key codes, window
// styles and the window procedure's type. Numbers only; what acts on them is in
// app_window.h.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"

// A window procedure receives every message dispatched to its window.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);

// Called by the engine's window procedure after each recorded message.
using MessageHook = void (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Message numbers.
constexpr uint32_t WM_DESTROY = 0x0002;
// The client area's new size: width in the low 16 bits of lParam, height in
// the next 16.
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;

// WM_ACTIVATE: the low 16 bits of wParam say whether the window is active; bit
// 16 is set while it is minimised.
constexpr uintptr_t WA_INACTIVE = 0;
constexpr uintptr_t WA_ACTIVE = 1;
constexpr uintptr_t ActivateMinimised = 1u << 16;

// Mouse messages: wParam holds the buttons down, lParam the pointer position in
// client coordinates, x in the low 16 bits and y in the high 16 bits.
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// Key messages: the low 16 bits of lParam hold the repeat count (always 1); bit
// 30 says the key was already down (an auto-repeat key-down, or any key-up) and
// bit 31 is set on key-ups.
constexpr intptr_t KeyRepeatBit = intptr_t{1} << 30;

// Window styles understood by the window layer.
constexpr int32_t WS_POPUP = static_cast<int32_t>(0x80000000u);
constexpr int32_t WS_VISIBLE = 0x10000000;
constexpr int32_t WS_CAPTION = 0x00C00000;
constexpr int32_t WS_THICKFRAME = 0x00040000;
constexpr int32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

// Virtual-key codes, layout-dependent like the keys they name; all below 256.
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_CLEAR = 0x0C;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12;
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_PRIOR = 0x21;
constexpr uint8_t VK_NEXT = 0x22;
constexpr uint8_t VK_END = 0x23;
constexpr uint8_t VK_HOME = 0x24;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;
constexpr uint8_t VK_SNAPSHOT = 0x2C;
constexpr uint8_t VK_INSERT = 0x2D;
constexpr uint8_t VK_DELETE = 0x2E;
constexpr uint8_t VK_0 = 0x30;  // digits run 0x30..0x39
constexpr uint8_t VK_A = 0x41;  // letters run 0x41..0x5A
constexpr uint8_t VK_LWIN = 0x5B;
constexpr uint8_t VK_RWIN = 0x5C;
constexpr uint8_t VK_APPS = 0x5D;
constexpr uint8_t VK_NUMPAD0 = 0x60;  // keypad digits run 0x60..0x69
constexpr uint8_t VK_MULTIPLY = 0x6A;
constexpr uint8_t VK_ADD = 0x6B;
constexpr uint8_t VK_SUBTRACT = 0x6D;
constexpr uint8_t VK_DECIMAL = 0x6E;
constexpr uint8_t VK_DIVIDE = 0x6F;
constexpr uint8_t VK_F1 = 0x70;  // function keys run 0x70..0x87 (F1..F24)
constexpr uint8_t VK_F4 = 0x73;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;
constexpr uint8_t VK_OEM_1 = 0xBA;  // ;
constexpr uint8_t VK_OEM_PLUS = 0xBB;
constexpr uint8_t VK_OEM_COMMA = 0xBC;
constexpr uint8_t VK_OEM_MINUS = 0xBD;
constexpr uint8_t VK_OEM_PERIOD = 0xBE;
constexpr uint8_t VK_OEM_2 = 0xBF;  // /
constexpr uint8_t VK_OEM_3 = 0xC0;  // `
constexpr uint8_t VK_OEM_4 = 0xDB;  // [
constexpr uint8_t VK_OEM_5 = 0xDC;  // backslash
constexpr uint8_t VK_OEM_6 = 0xDD;  // ]
constexpr uint8_t VK_OEM_7 = 0xDE;  // '
