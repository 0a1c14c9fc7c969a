// Feeds arbitrary bytes to the settings reader (inih and the checks around
// it), then writes what it made of them and reads that back: whatever the
// input, the result must be a settings file the reader takes without a word
// and that gives the same settings, every key with one control. Then the
// bytes are rewritten as the game saves a change (a value picked from the
// bytes themselves): the result must read as the changed settings, and a
// rewrite with nothing changed must give the bytes back untouched.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/input/scan_codes.h"
#include "settings/setting_rows.h"
#include "settings/settings_file.h"
#include "settings/settings_rewrite.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool Same(const Settings& a, const Settings& b) {
    return a.windowed == b.windowed && a.volume == b.volume && a.muted == b.muted &&
           std::memcmp(&a.keys, &b.keys, sizeof a.keys) == 0;
}

// One change, as play or key capture makes them: the window mode, the sound,
// or a control given a key no control has.
void Change(Settings& settings, uint32_t pick) {
    switch (pick % 4) {
        case 0:
            settings.windowed = !settings.windowed;
            break;
        case 1:
            settings.volume = static_cast<int32_t>(pick / 4 % 101);
            break;
        case 2:
            settings.muted = !settings.muted;
            break;
        default: {
            const int32_t binding = static_cast<int32_t>(pick / 4 % (playerCount * controlCount));
            for (int32_t k = 0; k < 256; ++k) {
                const uint8_t key = static_cast<uint8_t>(pick / 64 + k);
                bool used = false;
                for (int32_t b = 0; b < playerCount * controlCount; ++b) {
                    used = used || settings.keys.keys[b / controlCount][b % controlCount] == key;
                }
                if (!used && key != 0 && ReservedKeyUse(key) == nullptr &&
                    KeyFromFileName(KeyNameForFile(key)) == key) {
                    settings.keys.keys[binding / controlCount][binding % controlCount] = key;
                    break;
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    Settings settings;
    ReadSettingsText(text, size, "fuzz", settings, nullptr);
    Check(settings.volume >= 0 && settings.volume <= 100);
    for (int32_t a = 0; a < playerCount * controlCount; ++a) {
        for (int32_t b = a + 1; b < playerCount * controlCount; ++b) {
            Check(settings.keys.keys[a / controlCount][a % controlCount] !=
                  settings.keys.keys[b / controlCount][b % controlCount]);
        }
    }
    char whole[2048];
    const int32_t length = FormatSettings(settings, whole, sizeof whole);
    Check(length >= 0);
    Settings again;
    Check(ReadSettingsText(whole, static_cast<size_t>(length), "again", again, nullptr) == 0);
    Check(Same(again, settings));

    std::vector<char> out(size + settingsRewriteRoom);
    int32_t written = RewriteSettingsText(text, size, settings, out.data(), out.size());
    Check(written == static_cast<int32_t>(size) && std::memcmp(out.data(), text, size) == 0);

    uint32_t pick = 2166136261u;
    for (size_t k = 0; k < size; ++k) {
        pick = (pick ^ data[k]) * 16777619u;
    }
    Settings changed = settings;
    Change(changed, pick);
    Change(changed, pick >> 7);
    written = RewriteSettingsText(text, size, changed, out.data(), out.size());
    Check(written >= 0);
    Settings reread;
    ReadSettingsText(out.data(), static_cast<size_t>(written), "rewritten", reread, nullptr);
    Check(Same(reread, changed));
    return 0;
}
