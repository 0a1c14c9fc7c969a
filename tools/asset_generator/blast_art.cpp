// Blast pictures, computed per pixel with 4 x 4 supersampling: a white-hot core
// fading through cyan to a deep blue rim. The larger balls get a rippling,
// flame-like edge and swirling streaks; the carving discs stay perfectly round so
// every size digs a clean, wider tunnel than the one before.
#include "blast_art.h"

#include <algorithm>
#include <cmath>

#include "seeded_random.h"

namespace {

constexpr double pi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Colour at normalised distance t from the centre (0 centre, 1 rim).
Colour Ramp(double t) {
    const Colour white{255, 255, 255};
    const Colour pale{180, 244, 255};
    const Colour cyan{70, 200, 255};
    const Colour blue{34, 96, 236};
    const Colour rim{22, 44, 170};
    if (t < 0.28) {
        return white;
    }
    if (t < 0.55) {
        return Mix(white, pale, (t - 0.28) / 0.27);
    }
    if (t < 0.8) {
        return Mix(pale, cyan, (t - 0.55) / 0.25);
    }
    if (t < 0.93) {
        return Mix(cyan, blue, (t - 0.8) / 0.13);
    }
    return Mix(blue, rim, (t - 0.93) / 0.07);
}

struct Ball {
    double radius;
    double ripple;  // relative depth of the flame edge
    int lobes;      // flames around the rim
    double phase;
    double swirl;  // strength of the streaks inside
};

// Edge radius in direction theta.
double EdgeRadius(const Ball& b, double theta) {
    double wave = std::sin(b.lobes * theta + b.phase) * 0.6 +
                  std::sin((b.lobes + 3) * theta * 1.0 + b.phase * 2.3) * 0.4;
    return b.radius * (1.0 + b.ripple * wave);
}

void PaintBall(RasterImage& sheet, int32_t entry, const Ball& b, SeededRandom& random) {
    const int32_t left = entry * blastSpriteSide;
    const double cx = blastCentre + 0.5;
    const double cy = blastCentre + 0.5;
    for (int32_t y = 0; y < blastSpriteSide; ++y) {
        for (int32_t x = 0; x < blastSpriteSide; ++x) {
            int covered = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    double px = x + (sx + 0.5) / 4 - cx;
                    double py = y + (sy + 0.5) / 4 - cy;
                    double d = std::hypot(px, py);
                    if (d <= EdgeRadius(b, std::atan2(py, px))) {
                        ++covered;
                    }
                }
            }
            if (covered < 8) {
                continue;
            }
            double px = x + 0.5 - cx;
            double py = y + 0.5 - cy;
            double theta = std::atan2(py, px);
            double t = std::hypot(px, py) / std::max(EdgeRadius(b, theta), 0.5);
            Colour c = Ramp(t);
            if (b.swirl > 0) {
                double streak = std::sin(5 * theta + t * 9.0 + b.phase);
                double lift = b.swirl * streak * std::clamp((t - 0.3) * 2.0, 0.0, 1.0);
                c = Mix(c, lift > 0 ? Colour{255, 255, 255} : Colour{20, 60, 200}, std::abs(lift));
            }
            sheet.Set(left + x, y,
                      Rgb{uint8_t(std::lround(c.r)), uint8_t(std::lround(c.g)),
                          uint8_t(std::lround(c.b))});
        }
    }
    // Sparks: a few white points scattered inside the bigger balls.
    int sparks = b.radius >= 12 ? int(b.radius) : 0;
    for (int i = 0; i < sparks; ++i) {
        double theta = random.Unit() * 2 * pi;
        double r = b.radius * random.Range(0.45, 0.85);
        int32_t x = int32_t(std::floor(cx + std::cos(theta) * r));
        int32_t y = int32_t(std::floor(cy + std::sin(theta) * r));
        if (x >= 0 && x < blastSpriteSide && y >= 0 && y < blastSpriteSide &&
            !sheet.IsKey(left + x, y)) {
            sheet.Set(left + x, y, Rgb{255, 255, 255});
        }
    }
}

}  // namespace

RasterImage BuildBlastSheet() {
    RasterImage sheet(blastSpriteSide * blastSpriteCount, blastSpriteSide);
    SeededRandom random(0xB1A57u);
    for (int32_t entry = 0; entry < blastSpriteCount; ++entry) {
        Ball b;
        b.radius = blastShapeRadius[entry];
        // The carving discs (0 to 3) stay round; from the spawn crater on, flames.
        b.ripple = entry >= 4 ? 0.07 : 0.0;
        b.lobes = 7 + entry;
        b.phase = entry * 1.7;
        b.swirl = entry >= 4 ? 0.22 : (entry == 3 ? 0.12 : 0.0);
        PaintBall(sheet, entry, b, random);
    }
    return sheet;
}
