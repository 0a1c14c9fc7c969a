// DisplayDriver's window-surface path: the picture converted and scaled
// straight into the window's own pixels, letterboxed, and only the changed
// part handed to the window system.
#include <SDL.h>

#include "engine/display/display_driver.h"
#include "engine/display/frame_converter.h"

// The largest rectangle of the picture's aspect inside the target, centred.
Placement DisplayDriver::Letterbox(int32_t pictureWidth, int32_t pictureHeight, int32_t targetWidth,
                                   int32_t targetHeight) {
    Placement place;
    place.targetWidth = targetWidth;
    place.targetHeight = targetHeight;
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return place;
    }
    if (static_cast<int64_t>(targetWidth) * pictureHeight <=
        static_cast<int64_t>(targetHeight) * pictureWidth) {
        place.width = targetWidth;
        place.height =
            static_cast<int32_t>(static_cast<int64_t>(pictureHeight) * targetWidth / pictureWidth);
    } else {
        place.height = targetHeight;
        place.width =
            static_cast<int32_t>(static_cast<int64_t>(pictureWidth) * targetHeight / pictureHeight);
    }
    place.x = (targetWidth - place.width) / 2;
    place.y = (targetHeight - place.height) / 2;
    return place;
}

DisplayDriver::ShowResult DisplayDriver::ShowOnWindowSurface(SDL_Surface* source,
                                                             const SDL_Rect* rects,
                                                             int32_t rectCount,
                                                             const SDL_Rect* destination) {
    SDL_Window* live = LiveWindow();
    // SDL answers the surface it already has until the window is resized.
    SDL_Surface* target = live != nullptr ? SDL_GetWindowSurface(live) : nullptr;
    if (target == nullptr || target->pixels == nullptr) {
        return ShowFailed;
    }
    if (target != windowSurface) {
        windowSurface = target;
        redrawAll = true;
    }
    Placement place = Letterbox(source->w, source->h, target->w, target->h);
    if (!letterbox && destination != nullptr) {
        place = Placement{destination->x, destination->y, destination->w,
                          destination->h, target->w,      target->h};
    }
    if (place.width <= 0 || place.height <= 0) {
        return ShowFailed;
    }
    const bool whole = redrawAll;
    redrawAll = false;
    if (whole) {
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) {
        return ShowFailed;
    }
    int32_t shownCount = 0;
    if (frames->Prepare(source->format->format, target->format->format, source->w, source->h)) {
        if (whole) {
            frames->Forget();
        }
        frames->SetPlacement(place);
        const auto* bytes = static_cast<const uint8_t*>(source->pixels);
        RowRun runs[maxShownRects];
        const int32_t count = rectCount > 0
                                  ? rectCount
                                  : frames->ChangedRows(bytes, source->pitch, runs, maxShownRects);
        for (int32_t i = 0; i < count; ++i) {
            const SDL_Rect area =
                rectCount > 0 ? rects[i] : SDL_Rect{0, runs[i].first, source->w, runs[i].count};
            if (rectCount > 0) {
                frames->Remember(bytes, source->pitch, area.x, area.y, area.w, area.h);
            }
            int32_t written[4];
            frames->Draw(bytes, source->pitch, area.x, area.y, area.w, area.h,
                         static_cast<uint8_t*>(target->pixels), target->pitch, written);
            if (written[2] > 0 && written[3] > 0) {
                // Past the list's end, the last rectangle grows to cover the rest.
                SDL_Rect r{written[0], written[1], written[2], written[3]};
                if (shownCount < maxShownRects) {
                    shown[shownCount++] = r;
                } else {
                    SDL_UnionRect(&shown[maxShownRects - 1], &r, &shown[maxShownRects - 1]);
                }
            }
        }
    } else {
        // Other depths (32 bits, or 8 bits already widened) go through SDL's blit.
        SDL_Rect placed{place.x, place.y, place.width, place.height};
        if (SDL_MUSTLOCK(target)) {
            SDL_UnlockSurface(target);
        }
        if (SDL_BlitScaled(source, nullptr, target, &placed) != 0) {
            return ShowFailed;
        }
        shown[shownCount++] = SDL_Rect{0, 0, target->w, target->h};
    }
    if (SDL_MUSTLOCK(target) && target->locked) {
        SDL_UnlockSurface(target);
    }
    if (whole) {
        shown[0] = SDL_Rect{0, 0, target->w, target->h};
        shownCount = 1;
    }
    // An unchanged picture is not sent again: the window still shows it.
    if (shownCount > 0 && SDL_UpdateWindowSurfaceRects(live, shown, shownCount) != 0) {
        return ShowFailed;
    }
    return lost ? ShowLost : ShowDone;
}
