// The scan-code table: the codes the game's key table relies on, the keys sent with
// and without an E0 prefix kept apart, the translation of SDL's key state, and key
// names.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "engine/input/input_device.h"
#include "engine/input/scan_codes.h"

namespace {

TEST(ScanCodes, GameKeysHaveTheirKeyboardCodes) {
    const std::pair<SDL_Scancode, int> expected[] = {
        {SDL_SCANCODE_W, 0x11},      {SDL_SCANCODE_S, 0x1F},        {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_D, 0x20},      {SDL_SCANCODE_V, 0x2F},        {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_DOWN, 0xD0},     {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_RSHIFT, 0x36},   {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_LCTRL, 0x1D},  {SDL_SCANCODE_KP_8, 0x48},     {SDL_SCANCODE_F12, 0x58},
    };
    for (const auto& [sdl, code] : expected) {
        EXPECT_EQ(ScanCodeFromSdl(sdl), code) << SDL_GetScancodeName(sdl);
        EXPECT_EQ(SdlScancodeFromScanCode(code), sdl) << SDL_GetScancodeName(sdl);
    }
}

// A slip in the table would let two different keys read as one. The only shared codes
// are the two SDL names of one physical key.
TEST(ScanCodes, DistinctKeysGetDistinctCodes) {
    std::map<int, std::vector<int>> keysByCode;
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
        if (const int code = ScanCodeFromSdl(sdl); code != 0) {
            keysByCode[code].push_back(sdl);
        }
    }
    EXPECT_GT(keysByCode.size(), 120u);
    const std::set<int> sharedCodes = {ScanCodeBackslash, ScanCodeMute};
    for (const auto& [code, keys] : keysByCode) {
        if (sharedCodes.count(code) != 0) {
            EXPECT_EQ(keys.size(), 2u) << code;
        } else {
            EXPECT_EQ(keys.size(), 1u) << code;
        }
        EXPECT_EQ(ScanCodeFromSdl(SdlScancodeFromScanCode(code)), code);
    }
}

TEST(ScanCodes, ValuesOutsideEitherRangeMapToNothing) {
    EXPECT_EQ(ScanCodeFromSdl(-1), 0);
    EXPECT_EQ(ScanCodeFromSdl(SDL_NUM_SCANCODES), 0);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(SdlScancodeFromScanCode(-1), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(SdlScancodeFromScanCode(256), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(SdlScancodeFromScanCode(0), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(SdlScancodeFromScanCode(0x54), SDL_SCANCODE_UNKNOWN);
}

TEST(ScanCodes, TranslationSetsExactlyTheHeldKeys) {
    uint8_t sdlState[SDL_NUM_SCANCODES] = {};
    sdlState[SDL_SCANCODE_W] = 1;
    sdlState[SDL_SCANCODE_UP] = 1;
    sdlState[SDL_SCANCODE_NONUSHASH] = 1;
    sdlState[SDL_SCANCODE_F24] = 1;  // no scan code: ignored
    uint8_t keys[256];
    std::memset(keys, 0x55, sizeof keys);  // stale state must not survive

    TranslateKeyboardState(sdlState, SDL_NUM_SCANCODES, keys);
    for (int code = 0; code < 256; ++code) {
        const bool held = code == ScanCodeW || code == ScanCodeUp || code == ScanCodeBackslash;
        EXPECT_EQ(keys[code], held ? 0x80 : 0) << code;
    }
}

TEST(ScanCodes, TranslationReadsNoFurtherThanTheStateGiven) {
    // Only the first SDL_SCANCODE_UP entries exist: UP itself lies beyond.
    std::vector<uint8_t> sdlState(SDL_SCANCODE_UP, 1);
    uint8_t keys[256];
    TranslateKeyboardState(sdlState.data(), static_cast<int32_t>(sdlState.size()), keys);
    EXPECT_EQ(keys[ScanCodeRight], 0x80);
    EXPECT_EQ(keys[ScanCodeUp], 0);
    EXPECT_EQ(keys[ScanCodeRightShift], 0);

    TranslateKeyboardState(nullptr, 0, keys);
    EXPECT_EQ(std::count(keys, keys + 256, 0), 256);
}

TEST(ScanCodes, KeyNamesComeFromSdlAndFitTheBuffer) {
    InputDevice input;
    char name[260];

    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(input.GetKeyName(ScanCodeSpace, name), 0);
    EXPECT_STREQ(name, "Space");
    input.GetKeyName(ScanCodeRightShift, name);
    EXPECT_STREQ(name, "Right Shift");
    input.GetKeyName(ScanCodeKeypadEnter, name);
    EXPECT_STREQ(name, "Keypad Enter");

    for (const int unknown : {0, 0x54, 0xFF, 256, -7}) {
        std::memset(name, 'x', sizeof name);
        EXPECT_EQ(input.GetKeyName(unknown, name), 0);
        EXPECT_STREQ(name, "") << unknown;
    }
    EXPECT_EQ(input.GetKeyName(ScanCodeSpace, nullptr), 0);
}

}  // namespace
