// The picture scaled to the screen, measured on what each present path (the
// window's surface and a renderer) really shows at 1.6x, 1.8x and 2.4x: every
// source pixel keeps its scaled area of light (within 5 %), and no edge is
// spread over more than one in-between pixel. The same measures, put to the
// plain nearest and linear scalers, show what they catch.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "engine/display/display_driver.h"

namespace {

#if KIVORO_PIXEL_565
constexpr uint32_t pictureFormat = SDL_PIXELFORMAT_RGB565;
#else
constexpr uint32_t pictureFormat = SDL_PIXELFORMAT_RGB555;
#endif

constexpr int32_t pictureWidth = 100;
constexpr int32_t pictureHeight = 75;

// Three glyphs of five by seven with the strokes that came out uneven.
constexpr const char* glyphRows[] = {
    "X...X.X...X.X...X", "XX.XX.X...X.X..X.", "X.X.X.X...X.X.X..", "X.X.X.XXXXX.XX...",
    "X...X.X...X.X.X..", "X...X.X...X.X..X.", "X...X.X...X.X...X",
};

// A region of the test picture and the source pixels toggled in it.
struct Region {
    const char* name;
    int32_t x, y, width, height;
};

// Vertical 1-pixel lines, horizontal 1-pixel lines, a 1-pixel checkerboard
// and the glyphs; each region holds 10 x 10 pixels or more, so every phase of
// a source pixel against the target grid (which repeats every 5 source
// pixels at these factors) is measured.
constexpr Region regions[] = {
    {"vertical lines", 4, 4, 12, 12},
    {"horizontal lines", 24, 4, 12, 12},
    {"checkerboard", 44, 4, 12, 12},
    {"glyphs", 10, 40, 17, 7},
};

// The light of a picture pixel: 0 or 1.
using Picture = std::vector<uint8_t>;

Picture TestPicture() {
    Picture picture(pictureWidth * pictureHeight, 0);
    auto set = [&picture](int32_t x, int32_t y) { picture[y * pictureWidth + x] = 1; };
    for (int32_t y = 0; y < pictureHeight; ++y) {
        for (int32_t x = 0; x < 20; x += 3) {
            set(x + 1, y);
        }
    }
    for (int32_t y = 1; y < 30; y += 3) {
        for (int32_t x = 20; x < 40; ++x) {
            set(x, y);
        }
    }
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 40; x < 60; ++x) {
            if ((x + y) % 2 == 0) {
                set(x, y);
            }
        }
    }
    for (int32_t row = 0; row < 7; ++row) {
        for (int32_t column = 0; glyphRows[row][column] != '\0'; ++column) {
            if (glyphRows[row][column] == 'X') {
                set(10 + column, 40 + row);
            }
        }
    }
    return picture;
}

// Stripes 3 pixels wide, dark and light, across (vertical) or down.
Picture Stripes(bool vertical) {
    Picture picture(pictureWidth * pictureHeight, 0);
    for (int32_t y = 0; y < pictureHeight; ++y) {
        for (int32_t x = 0; x < pictureWidth; ++x) {
            picture[y * pictureWidth + x] = ((vertical ? x : y) / 3) % 2;
        }
    }
    return picture;
}

// What the screen shows: the light of each pixel, 0..255 (its red channel).
struct Shown {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int32_t> light;
    int32_t At(int32_t x, int32_t y) const { return light[y * width + x]; }
};

Shown ReadLight(const uint32_t* pixels, int32_t pitchPixels, int32_t width, int32_t height,
                const SDL_PixelFormat* format) {
    Shown shown;
    shown.width = width;
    shown.height = height;
    shown.light.resize(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t r = 0;
            uint8_t g = 0;
            uint8_t b = 0;
            SDL_GetRGB(pixels[y * pitchPixels + x], format, &r, &g, &b);
            shown.light[y * width + x] = r;
        }
    }
    return shown;
}

// One way of putting a picture on a screen of a given size.
using Scaler = std::function<Shown(const Picture&)>;

// The game's picture surface in the build's 16-bit layout.
struct PictureSurface {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, pictureWidth, pictureHeight, 16, pictureFormat);
    ~PictureSurface() { SDL_FreeSurface(surface); }
    void Fill(const Picture& picture) {
        const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
        for (int32_t y = 0; y < pictureHeight; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                    y * surface->pitch);
            for (int32_t x = 0; x < pictureWidth; ++x) {
                row[x] = picture[y * pictureWidth + x] != 0 ? static_cast<uint16_t>(white) : 0;
            }
        }
    }
};

// The game's present paths: a DisplayDriver on a hidden window of the
// screen's size, on the window's surface or (with a software renderer made
// first, which AttachWindow then keeps) on a renderer.
class PresentPath {
public:
    PresentPath(int32_t width, int32_t height, bool onRenderer, bool fullScreen = true,
                SDL_Rect destination = {})
        : destination(destination), fullScreen(fullScreen) {
        window = SDL_CreateWindow("scaling", 0, 0, width, height, SDL_WINDOW_HIDDEN);
        if (window != nullptr && onRenderer) {
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
        if (window != nullptr && driver.Start()) {
            attached = driver.AttachWindow(window, fullScreen);
        }
    }
    ~PresentPath() {
        driver.DropRenderer();
        if (renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
    }

    Shown Show(const Picture& picture) {
        source.Fill(picture);
        if (driver.Show(source.surface, nullptr, 0, fullScreen ? nullptr : &destination) !=
            DisplayDriver::ShowDone) {
            ADD_FAILURE() << "the show failed";
            return Shown{};
        }
        if (renderer != nullptr) {
            int width = 0;
            int height = 0;
            SDL_GetRendererOutputSize(renderer, &width, &height);
            std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
            SDL_PixelFormat* format = SDL_AllocFormat(SDL_PIXELFORMAT_RGB888);
            SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                                 width * 4);
            Shown shown = ReadLight(pixels.data(), width, width, height, format);
            SDL_FreeFormat(format);
            return shown;
        }
        SDL_Surface* shown = SDL_GetWindowSurface(window);
        return ReadLight(static_cast<const uint32_t*>(shown->pixels), shown->pitch / 4, shown->w,
                         shown->h, shown->format);
    }

    bool Ready() const { return attached && (renderer != nullptr) == !driver.framebuffer; }

    DisplayDriver driver{0};
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    PictureSurface source;
    SDL_Rect destination;
    bool fullScreen = true;
    bool attached = false;
};

// What the measures found: the largest error of a source pixel's light
// against its scaled area, and the most in-between pixels on one edge.
struct Findings {
    double worstAreaError = 0.0;
    int32_t worstEdgeSpread = 0;
};

// In-between pixels at each end of one line of a single pixel's footprint:
// the line is scaled to its brightest pixel, so a line across the footprint's
// blended edge reads like any other; a pixel within 3 levels of the brightest
// (or of nothing) is not in between. Lines too faint to tell are skipped.
int32_t EdgeSpread(const std::vector<int32_t>& line) {
    const int32_t brightest = *std::max_element(line.begin(), line.end());
    if (brightest < 96) {
        return 0;
    }
    constexpr int32_t slack = 3;
    const auto lit = [&](int32_t v) { return v > slack; };
    const auto between = [&](int32_t v) { return v > slack && v < brightest - slack; };
    const int32_t first =
        static_cast<int32_t>(std::find_if(line.begin(), line.end(), lit) - line.begin());
    const int32_t last =
        static_cast<int32_t>(line.rend() - std::find_if(line.rbegin(), line.rend(), lit)) - 1;
    int32_t worst = 0;
    int32_t run = 0;
    for (int32_t i = first; i <= last; ++i) {
        run = between(line[i]) || !lit(line[i]) ? run + 1 : 0;
        // A gap inside the footprint counts as spread too.
        worst = std::max(worst, run);
    }
    // A footprint of only in-between pixels has two edges: [a, b] is one each.
    if (worst == last - first + 1 && worst == 2) {
        worst = 1;
    }
    return worst;
}

// Toggles every source pixel of a region in turn, and measures the light
// that pixel adds to the screen: its total against the scaled area, and the
// in-between pixels of its footprint's edges, row by row and column by column.
Findings MeasurePixels(const Scaler& scale, Picture picture, const Region& region, double scaleX,
                       double scaleY) {
    Findings findings;
    const Shown base = scale(picture);
    for (int32_t y = region.y; y < region.y + region.height; ++y) {
        for (int32_t x = region.x; x < region.x + region.width; ++x) {
            uint8_t& pixel = picture[y * pictureWidth + x];
            pixel ^= 1;
            const Shown changed = scale(picture);
            pixel ^= 1;
            Shown difference = base;
            double total = 0.0;
            for (size_t i = 0; i < difference.light.size(); ++i) {
                difference.light[i] = std::abs(changed.light[i] - base.light[i]);
                total += difference.light[i];
            }
            const double area = total / 255.0;
            findings.worstAreaError =
                std::max(findings.worstAreaError, std::fabs(area / (scaleX * scaleY) - 1.0));
            std::vector<int32_t> line;
            for (int32_t row = 0; row < difference.height; ++row) {
                line.assign(difference.light.begin() + row * difference.width,
                            difference.light.begin() + (row + 1) * difference.width);
                findings.worstEdgeSpread = std::max(findings.worstEdgeSpread, EdgeSpread(line));
            }
            for (int32_t column = 0; column < difference.width; ++column) {
                line.clear();
                for (int32_t row = 0; row < difference.height; ++row) {
                    line.push_back(difference.At(column, row));
                }
                findings.worstEdgeSpread = std::max(findings.worstEdgeSpread, EdgeSpread(line));
            }
        }
    }
    // The picture is shown as it was, for the next region.
    scale(picture);
    return findings;
}

// The longest run of in-between pixels anywhere on a picture of stripes, along
// the rows (vertical stripes) or down the columns.
int32_t StripeEdgeSpread(const Scaler& scale, bool vertical) {
    const Shown shown = scale(Stripes(vertical));
    int32_t worst = 0;
    const int32_t lines = vertical ? shown.height : shown.width;
    const int32_t length = vertical ? shown.width : shown.height;
    for (int32_t l = 0; l < lines; ++l) {
        int32_t run = 0;
        for (int32_t i = 0; i < length; ++i) {
            const int32_t v = vertical ? shown.At(i, l) : shown.At(l, i);
            run = v > 3 && v < 252 ? run + 1 : 0;
            worst = std::max(worst, run);
        }
    }
    return worst;
}

struct Factor {
    int32_t width;
    int32_t height;
};

// 1.6x, 1.8x and 2.4x: the full screens of 1280 x 1024, 1920 x 1080 and
// 2560 x 1440 for an 800 x 600 picture.
constexpr Factor factors[] = {{160, 120}, {180, 135}, {240, 180}};

class SharpScaling : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    // Measures one scaler on every region and the stripes, printing the figures.
    static Findings MeasureAll(const char* name, const Factor& factor, const Scaler& scale) {
        const double scaleX = factor.width / static_cast<double>(pictureWidth);
        const double scaleY = factor.height / static_cast<double>(pictureHeight);
        Findings all;
        for (const Region& region : regions) {
            const Findings found = MeasurePixels(scale, TestPicture(), region, scaleX, scaleY);
            std::printf("%-22s %.1fx %-16s area error %5.1f %%, edge spread %d\n", name, scaleX,
                        region.name, found.worstAreaError * 100.0, found.worstEdgeSpread);
            all.worstAreaError = std::max(all.worstAreaError, found.worstAreaError);
            all.worstEdgeSpread = std::max(all.worstEdgeSpread, found.worstEdgeSpread);
        }
        for (bool vertical : {true, false}) {
            const int32_t spread = StripeEdgeSpread(scale, vertical);
            std::printf("%-22s %.1fx %-16s edge spread %d\n", name, scaleX,
                        vertical ? "vertical stripes" : "flat stripes", spread);
            all.worstEdgeSpread = std::max(all.worstEdgeSpread, spread);
        }
        return all;
    }
};

TEST_F(SharpScaling, BothPresentPathsKeepEveryPixelsAreaAndBlendEdgesOverOnePixelAtMost) {
    for (bool onRenderer : {false, true}) {
        for (const Factor& factor : factors) {
            PresentPath path(factor.width, factor.height, onRenderer);
            ASSERT_TRUE(path.Ready()) << SDL_GetError();
            const Findings found =
                MeasureAll(onRenderer ? "renderer" : "window surface", factor,
                           [&path](const Picture& picture) { return path.Show(picture); });
            EXPECT_LE(found.worstAreaError, 0.05) << factor.width << " x " << factor.height;
            EXPECT_LE(found.worstEdgeSpread, 1) << factor.width << " x " << factor.height;
        }
    }
}

// The plain scalers the measures are meant to catch: nearest pixel (source
// pixels one or two screen pixels wide at random) loses the area, a linear
// filter spreads every edge.
TEST_F(SharpScaling, TheMeasuresCatchNearestAndLinearScaling) {
    for (const Factor& factor : factors) {
        const Scaler nearest = [&factor](const Picture& picture) {
            PictureSurface source;
            source.Fill(picture);
            SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, factor.width, factor.height, 32,
                                                                 SDL_PIXELFORMAT_RGB888);
            SDL_Surface* wide = SDL_ConvertSurfaceFormat(source.surface, SDL_PIXELFORMAT_RGB888, 0);
            SDL_BlitScaled(wide, nullptr, target, nullptr);
            Shown shown = ReadLight(static_cast<const uint32_t*>(target->pixels), target->pitch / 4,
                                    target->w, target->h, target->format);
            SDL_FreeSurface(wide);
            SDL_FreeSurface(target);
            return shown;
        };
        const Findings nearestFound = MeasureAll("nearest (SDL blit)", factor, nearest);
        EXPECT_GT(nearestFound.worstAreaError, 0.05);

        SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, factor.width, factor.height, 32,
                                                             SDL_PIXELFORMAT_RGB888);
        SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        const Scaler linear = [&](const Picture& picture) {
            PictureSurface source;
            source.Fill(picture);
            SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, source.surface);
            SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_DestroyTexture(texture);
            return ReadLight(static_cast<const uint32_t*>(target->pixels), target->pitch / 4,
                             target->w, target->h, target->format);
        };
        const Findings linearFound = MeasureAll("linear (SDL renderer)", factor, linear);
        EXPECT_GT(linearFound.worstEdgeSpread, 1);
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(target);
    }
}

// Whole factors stay pixel for pixel: at 1x and 2x, full screen and in a
// rectangle of a larger window, on both paths, every screen pixel is exactly
// its source pixel.
TEST_F(SharpScaling, WholeFactorsArePixelForPixel) {
    const Picture picture = TestPicture();
    struct Case {
        int32_t windowWidth, windowHeight;
        bool fullScreen;
        SDL_Rect destination;
    };
    const Case cases[] = {
        {100, 75, true, {}},
        {200, 150, true, {}},
        {300, 200, false, {10, 20, 100, 75}},
        {300, 200, false, {50, 30, 200, 150}},
    };
    for (bool onRenderer : {false, true}) {
        for (const Case& c : cases) {
            PresentPath path(c.windowWidth, c.windowHeight, onRenderer, c.fullScreen,
                             c.destination);
            ASSERT_TRUE(path.Ready()) << SDL_GetError();
            const Shown shown = path.Show(picture);
            const SDL_Rect place =
                c.fullScreen ? SDL_Rect{0, 0, c.windowWidth, c.windowHeight} : c.destination;
            const int32_t factor = place.w / pictureWidth;
            int32_t wrong = 0;
            for (int32_t y = 0; y < place.h; ++y) {
                for (int32_t x = 0; x < place.w; ++x) {
                    const int32_t wanted = picture[(y / factor) * pictureWidth + x / factor] * 255;
                    wrong += shown.At(place.x + x, place.y + y) != wanted;
                }
            }
            EXPECT_EQ(wrong, 0) << (onRenderer ? "renderer " : "window surface ") << factor
                                << "x at " << place.x << ", " << place.y;
        }
    }
}

}  // namespace
