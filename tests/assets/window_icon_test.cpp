// The window's icon as the game reads it: a square bitmap of the icon's
// side that SDL loads with its alpha, so the tile's corners stay clear and
// the fighter in its middle is solid.
#include <SDL.h>
#include <gtest/gtest.h>

#include "rules/art_layout.h"
#include "tests/assets/asset_files.h"

namespace {

TEST(WindowIcon, SdlReadsItWithClearCornersAndASolidMiddle) {
    SDL_Surface* icon = SDL_LoadBMP(assettest::AssetPath(appIconFile).c_str());
    ASSERT_NE(icon, nullptr) << SDL_GetError();
    EXPECT_EQ(icon->w, appIconBitmapSide);
    EXPECT_EQ(icon->h, appIconBitmapSide);
    ASSERT_NE(icon->format->Amask, 0u);
    auto alphaAt = [icon](int x, int y) {
        const auto* row = static_cast<const uint8_t*>(icon->pixels) + y * icon->pitch;
        uint8_t r = 0, g = 0, b = 0, a = 0;
        SDL_GetRGBA(reinterpret_cast<const uint32_t*>(row)[x], icon->format, &r, &g, &b, &a);
        return a;
    };
    const int last = appIconBitmapSide - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
        EXPECT_EQ(alphaAt(x, y), 0) << x << ", " << y;
    }
    EXPECT_EQ(alphaAt(appIconBitmapSide / 2, appIconBitmapSide / 2), 255);
    EXPECT_EQ(alphaAt(appIconBitmapSide / 2, 4), 255);  // the tile's top edge, inside
    SDL_FreeSurface(icon);
}

}  // namespace
