// Settings: what the player chooses that lasts between runs (window mode,
// volume and mute, each player's keys), as the settings file holds it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/key_bindings.h"

struct Settings {
    bool windowed = false;
    int32_t volume = 100;  // percent, 0..100
    bool muted = false;
    KeyBindings keys = DefaultKeyBindings();
};

// Larger files are refused whole (the defaults stay) and never rewritten.
inline constexpr size_t maxSettingsFileSize = 64 * 1024;
