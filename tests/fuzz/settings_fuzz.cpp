// Feeds arbitrary bytes to the settings reader (inih and the checks around
// it), then writes what it made of them and reads that back: whatever the
// input, the result must be a settings file the reader takes without a word
// and that gives the same settings, every key with one control.
#include <cstdint>
#include <cstring>

#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Settings settings;
    ReadSettingsText(reinterpret_cast<const char*>(data), size, "fuzz", settings, nullptr);
    if (settings.volume < 0 || settings.volume > 100) {
        __builtin_trap();
    }
    for (int32_t a = 0; a < playerCount * controlCount; ++a) {
        for (int32_t b = a + 1; b < playerCount * controlCount; ++b) {
            if (settings.keys.keys[a / controlCount][a % controlCount] ==
                settings.keys.keys[b / controlCount][b % controlCount]) {
                __builtin_trap();
            }
        }
    }
    char text[2048];
    const int32_t length = FormatSettings(settings, text, sizeof text);
    if (length < 0) {
        __builtin_trap();
    }
    Settings again;
    if (ReadSettingsText(text, static_cast<size_t>(length), "again", again, nullptr) != 0 ||
        again.windowed != settings.windowed || again.volume != settings.volume ||
        again.muted != settings.muted ||
        std::memcmp(&again.keys, &settings.keys, sizeof again.keys) != 0) {
        __builtin_trap();
    }
    return 0;
}
