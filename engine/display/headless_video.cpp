// IsUnrequestedHeadlessDriver and VideoShowsNothing.
#include "engine/display/headless_video.h"

#include <SDL.h>

#include <strings.h>
#include <cstring>

bool IsUnrequestedHeadlessDriver(const char* driver, const char* requested) {
    if (driver == nullptr ||
        (strcasecmp(driver, "offscreen") != 0 && strcasecmp(driver, "dummy") != 0)) {
        return false;
    }
    const size_t length = std::strlen(driver);
    for (const char* name = requested; name != nullptr && *name != '\0';) {
        const char* comma = std::strchr(name, ',');
        const size_t nameLength =
            comma != nullptr ? static_cast<size_t>(comma - name) : std::strlen(name);
        if (nameLength == length && strncasecmp(name, driver, length) == 0) {
            return false;
        }
        name = comma != nullptr ? comma + 1 : nullptr;
    }
    return true;
}

bool VideoShowsNothing() {
    return IsUnrequestedHeadlessDriver(SDL_GetCurrentVideoDriver(),
                                       SDL_GetHint(SDL_HINT_VIDEODRIVER));
}
