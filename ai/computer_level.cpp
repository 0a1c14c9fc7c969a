// The levels' names and traits, one row per level.
#include "ai/computer_level.h"

namespace {

// Reaction least and most, recovery, aim error, dodge chance, finisher.
constexpr LevelTraits easyTraits{18, 26, 14, 12, 30, 30};
constexpr LevelTraits normalTraits{9, 14, 6, 6, 65, 40};
constexpr LevelTraits hardTraits{2, 4, 1, 0, 100, 60};

}  // namespace

bool ParseComputerLevel(std::string_view text, ComputerLevel* level) {
    if (text == "easy") {
        *level = ComputerLevel::Easy;
    } else if (text == "normal") {
        *level = ComputerLevel::Normal;
    } else if (text == "hard") {
        *level = ComputerLevel::Hard;
    } else {
        return false;
    }
    return true;
}

const char* ComputerLevelName(ComputerLevel level) {
    switch (level) {
        case ComputerLevel::Easy:
            return "easy";
        case ComputerLevel::Normal:
            return "normal";
        case ComputerLevel::Hard:
            return "hard";
    }
    return "normal";
}

const LevelTraits& TraitsOf(ComputerLevel level) {
    switch (level) {
        case ComputerLevel::Easy:
            return easyTraits;
        case ComputerLevel::Hard:
            return hardTraits;
        case ComputerLevel::Normal:
            break;
    }
    return normalTraits;
}
