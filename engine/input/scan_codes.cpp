// The table between SDL's scancodes (USB usage codes) and the keyboard scan codes
// that index the key state array, with the lookups built from it.
#include "engine/input/scan_codes.h"

#include <SDL2/SDL_keyboard.h>
#include <SDL2/SDL_scancode.h>

#include <array>
#include <cstring>

namespace {

struct ScanCodePair {
    SDL_Scancode sdl;
    uint8_t scanCode;
};

// One row per SDL key that a PC keyboard can send. Several SDL keys may share a scan
// code (SDL reports the mute key as either of two usages, the ISO "#" key and the
// US backslash are one physical key); the first row of a scan code names it.
constexpr ScanCodePair scanCodePairs[] = {
    {SDL_SCANCODE_ESCAPE, ScanCodeEscape},
    {SDL_SCANCODE_1, ScanCode1},
    {SDL_SCANCODE_2, ScanCode2},
    {SDL_SCANCODE_3, ScanCode3},
    {SDL_SCANCODE_4, ScanCode4},
    {SDL_SCANCODE_5, ScanCode5},
    {SDL_SCANCODE_6, ScanCode6},
    {SDL_SCANCODE_7, ScanCode7},
    {SDL_SCANCODE_8, ScanCode8},
    {SDL_SCANCODE_9, ScanCode9},
    {SDL_SCANCODE_0, ScanCode0},
    {SDL_SCANCODE_MINUS, ScanCodeMinus},
    {SDL_SCANCODE_EQUALS, ScanCodeEquals},
    {SDL_SCANCODE_BACKSPACE, ScanCodeBackspace},
    {SDL_SCANCODE_TAB, ScanCodeTab},
    {SDL_SCANCODE_Q, ScanCodeQ},
    {SDL_SCANCODE_W, ScanCodeW},
    {SDL_SCANCODE_E, ScanCodeE},
    {SDL_SCANCODE_R, ScanCodeR},
    {SDL_SCANCODE_T, ScanCodeT},
    {SDL_SCANCODE_Y, ScanCodeY},
    {SDL_SCANCODE_U, ScanCodeU},
    {SDL_SCANCODE_I, ScanCodeI},
    {SDL_SCANCODE_O, ScanCodeO},
    {SDL_SCANCODE_P, ScanCodeP},
    {SDL_SCANCODE_LEFTBRACKET, ScanCodeLeftBracket},
    {SDL_SCANCODE_RIGHTBRACKET, ScanCodeRightBracket},
    {SDL_SCANCODE_RETURN, ScanCodeReturn},
    {SDL_SCANCODE_LCTRL, ScanCodeLeftControl},
    {SDL_SCANCODE_A, ScanCodeA},
    {SDL_SCANCODE_S, ScanCodeS},
    {SDL_SCANCODE_D, ScanCodeD},
    {SDL_SCANCODE_F, ScanCodeF},
    {SDL_SCANCODE_G, ScanCodeG},
    {SDL_SCANCODE_H, ScanCodeH},
    {SDL_SCANCODE_J, ScanCodeJ},
    {SDL_SCANCODE_K, ScanCodeK},
    {SDL_SCANCODE_L, ScanCodeL},
    {SDL_SCANCODE_SEMICOLON, ScanCodeSemicolon},
    {SDL_SCANCODE_APOSTROPHE, ScanCodeApostrophe},
    {SDL_SCANCODE_GRAVE, ScanCodeGrave},
    {SDL_SCANCODE_LSHIFT, ScanCodeLeftShift},
    {SDL_SCANCODE_BACKSLASH, ScanCodeBackslash},
    {SDL_SCANCODE_NONUSHASH, ScanCodeBackslash},
    {SDL_SCANCODE_Z, ScanCodeZ},
    {SDL_SCANCODE_X, ScanCodeX},
    {SDL_SCANCODE_C, ScanCodeC},
    {SDL_SCANCODE_V, ScanCodeV},
    {SDL_SCANCODE_B, ScanCodeB},
    {SDL_SCANCODE_N, ScanCodeN},
    {SDL_SCANCODE_M, ScanCodeM},
    {SDL_SCANCODE_COMMA, ScanCodeComma},
    {SDL_SCANCODE_PERIOD, ScanCodePeriod},
    {SDL_SCANCODE_SLASH, ScanCodeSlash},
    {SDL_SCANCODE_RSHIFT, ScanCodeRightShift},
    {SDL_SCANCODE_KP_MULTIPLY, ScanCodeKeypadMultiply},
    {SDL_SCANCODE_LALT, ScanCodeLeftAlt},
    {SDL_SCANCODE_SPACE, ScanCodeSpace},
    {SDL_SCANCODE_CAPSLOCK, ScanCodeCapsLock},
    {SDL_SCANCODE_F1, ScanCodeF1},
    {SDL_SCANCODE_F2, ScanCodeF2},
    {SDL_SCANCODE_F3, ScanCodeF3},
    {SDL_SCANCODE_F4, ScanCodeF4},
    {SDL_SCANCODE_F5, ScanCodeF5},
    {SDL_SCANCODE_F6, ScanCodeF6},
    {SDL_SCANCODE_F7, ScanCodeF7},
    {SDL_SCANCODE_F8, ScanCodeF8},
    {SDL_SCANCODE_F9, ScanCodeF9},
    {SDL_SCANCODE_F10, ScanCodeF10},
    {SDL_SCANCODE_NUMLOCKCLEAR, ScanCodeNumLock},
    {SDL_SCANCODE_SCROLLLOCK, ScanCodeScrollLock},
    {SDL_SCANCODE_KP_7, ScanCodeKeypad7},
    {SDL_SCANCODE_KP_8, ScanCodeKeypad8},
    {SDL_SCANCODE_KP_9, ScanCodeKeypad9},
    {SDL_SCANCODE_KP_MINUS, ScanCodeKeypadMinus},
    {SDL_SCANCODE_KP_4, ScanCodeKeypad4},
    {SDL_SCANCODE_KP_5, ScanCodeKeypad5},
    {SDL_SCANCODE_KP_6, ScanCodeKeypad6},
    {SDL_SCANCODE_KP_PLUS, ScanCodeKeypadPlus},
    {SDL_SCANCODE_KP_1, ScanCodeKeypad1},
    {SDL_SCANCODE_KP_2, ScanCodeKeypad2},
    {SDL_SCANCODE_KP_3, ScanCodeKeypad3},
    {SDL_SCANCODE_KP_0, ScanCodeKeypad0},
    {SDL_SCANCODE_KP_PERIOD, ScanCodeKeypadPeriod},
    {SDL_SCANCODE_NONUSBACKSLASH, ScanCodeIsoBackslash},
    {SDL_SCANCODE_F11, ScanCodeF11},
    {SDL_SCANCODE_F12, ScanCodeF12},
    {SDL_SCANCODE_F13, ScanCodeF13},
    {SDL_SCANCODE_F14, ScanCodeF14},
    {SDL_SCANCODE_F15, ScanCodeF15},
    {SDL_SCANCODE_INTERNATIONAL2, ScanCodeKana},
    {SDL_SCANCODE_INTERNATIONAL1, ScanCodeAbntSlash},
    {SDL_SCANCODE_INTERNATIONAL4, ScanCodeConvert},
    {SDL_SCANCODE_INTERNATIONAL5, ScanCodeNoConvert},
    {SDL_SCANCODE_INTERNATIONAL3, ScanCodeYen},
    {SDL_SCANCODE_KP_COMMA, ScanCodeAbntKeypadPeriod},
    {SDL_SCANCODE_KP_EQUALS, ScanCodeKeypadEquals},
    {SDL_SCANCODE_AUDIOPREV, ScanCodePreviousTrack},
    {SDL_SCANCODE_AUDIONEXT, ScanCodeNextTrack},
    {SDL_SCANCODE_KP_ENTER, ScanCodeKeypadEnter},
    {SDL_SCANCODE_RCTRL, ScanCodeRightControl},
    {SDL_SCANCODE_AUDIOMUTE, ScanCodeMute},
    {SDL_SCANCODE_MUTE, ScanCodeMute},
    {SDL_SCANCODE_CALCULATOR, ScanCodeCalculator},
    {SDL_SCANCODE_AUDIOPLAY, ScanCodePlayPause},
    {SDL_SCANCODE_AUDIOSTOP, ScanCodeMediaStop},
    {SDL_SCANCODE_VOLUMEDOWN, ScanCodeVolumeDown},
    {SDL_SCANCODE_VOLUMEUP, ScanCodeVolumeUp},
    {SDL_SCANCODE_AC_HOME, ScanCodeWebHome},
    {SDL_SCANCODE_KP_DIVIDE, ScanCodeKeypadDivide},
    {SDL_SCANCODE_PRINTSCREEN, ScanCodePrintScreen},
    {SDL_SCANCODE_RALT, ScanCodeRightAlt},
    {SDL_SCANCODE_PAUSE, ScanCodePause},
    {SDL_SCANCODE_HOME, ScanCodeHome},
    {SDL_SCANCODE_UP, ScanCodeUp},
    {SDL_SCANCODE_PAGEUP, ScanCodePageUp},
    {SDL_SCANCODE_LEFT, ScanCodeLeft},
    {SDL_SCANCODE_RIGHT, ScanCodeRight},
    {SDL_SCANCODE_END, ScanCodeEnd},
    {SDL_SCANCODE_DOWN, ScanCodeDown},
    {SDL_SCANCODE_PAGEDOWN, ScanCodePageDown},
    {SDL_SCANCODE_INSERT, ScanCodeInsert},
    {SDL_SCANCODE_DELETE, ScanCodeDelete},
    {SDL_SCANCODE_LGUI, ScanCodeLeftWindows},
    {SDL_SCANCODE_RGUI, ScanCodeRightWindows},
    {SDL_SCANCODE_APPLICATION, ScanCodeApplication},
    {SDL_SCANCODE_POWER, ScanCodePower},
    {SDL_SCANCODE_SLEEP, ScanCodeSleep},
    {SDL_SCANCODE_AC_SEARCH, ScanCodeWebSearch},
    {SDL_SCANCODE_AC_BOOKMARKS, ScanCodeWebFavorites},
    {SDL_SCANCODE_AC_REFRESH, ScanCodeWebRefresh},
    {SDL_SCANCODE_AC_STOP, ScanCodeWebStop},
    {SDL_SCANCODE_AC_FORWARD, ScanCodeWebForward},
    {SDL_SCANCODE_AC_BACK, ScanCodeWebBack},
    {SDL_SCANCODE_COMPUTER, ScanCodeMyComputer},
    {SDL_SCANCODE_MAIL, ScanCodeMail},
    {SDL_SCANCODE_MEDIASELECT, ScanCodeMediaSelect},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> BuildFromSdl() {
    std::array<uint8_t, SDL_NUM_SCANCODES> table{};
    for (const ScanCodePair& pair : scanCodePairs) {
        table[pair.sdl] = pair.scanCode;
    }
    return table;
}

constexpr std::array<int16_t, 256> BuildToSdl() {
    std::array<int16_t, 256> table{};
    for (const ScanCodePair& pair : scanCodePairs) {
        if (table[pair.scanCode] == 0) {
            table[pair.scanCode] = static_cast<int16_t>(pair.sdl);
        }
    }
    return table;
}

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> fromSdl = BuildFromSdl();
constexpr std::array<int16_t, 256> toSdl = BuildToSdl();

}  // namespace

uint8_t ScanCodeFromSdl(int32_t sdlScancode) {
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) {
        return 0;
    }
    return fromSdl[static_cast<size_t>(sdlScancode)];
}

int32_t SdlScancodeFromScanCode(int32_t scanCode) {
    if (scanCode < 0 || scanCode > 255) {
        return SDL_SCANCODE_UNKNOWN;
    }
    return toSdl[static_cast<size_t>(scanCode)];
}

// SDL's scancode names are a fixed table: they need no running subsystem.
const char* ScanCodeName(int32_t scanCode) {
    const int32_t sdl = SdlScancodeFromScanCode(scanCode);
    if (sdl == SDL_SCANCODE_UNKNOWN) {
        return "";
    }
    const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(sdl));
    return name != nullptr ? name : "";
}

uint8_t ScanCodeFromName(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    return ScanCodeFromSdl(SDL_GetScancodeFromName(name));
}

void TranslateKeyboardState(const uint8_t* sdlState, int32_t sdlCount, uint8_t* keys) {
    std::memset(keys, 0, 256);
    if (sdlState == nullptr) {
        return;
    }
    for (const ScanCodePair& pair : scanCodePairs) {
        if (pair.sdl < sdlCount && sdlState[pair.sdl] != 0) {
            keys[pair.scanCode] = 0x80;
        }
    }
}
