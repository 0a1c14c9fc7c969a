// Dirt: periodic value noise in earthy browns, wavy strata, fine grain, then
// pebbles, roots and small holes drawn with cairo. Everything wraps: the noise
// lattice repeats every 64 pixels and each drawn shape is painted again one tile
// over in every direction, so it continues across the edges.
#include "dirt_art.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "seeded_random.h"

namespace {

constexpr double pi = 3.14159265358979323846;

double Smooth(double t) {
    return t * t * (3 - 2 * t);
}

// Value noise with `cells` lattice cells across the 64-pixel tile, wrapping.
double PeriodicNoise(double x, double y, int cells, uint32_t seed) {
    double scale = double(cells) / dirtSheetSide;
    double fx = x * scale;
    double fy = y * scale;
    int x0 = int(std::floor(fx));
    int y0 = int(std::floor(fy));
    double tx = Smooth(fx - x0);
    double ty = Smooth(fy - y0);
    auto at = [&](int lx, int ly) {
        return LatticeValue(((lx % cells) + cells) % cells, ((ly % cells) + cells) % cells, seed);
    };
    double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

double Fbm(double x, double y, uint32_t seed) {
    return PeriodicNoise(x, y, 4, seed) * 0.5 + PeriodicNoise(x, y, 8, seed + 1) * 0.3 +
           PeriodicNoise(x, y, 16, seed + 2) * 0.2;
}

void PaintGround(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < dirtSheetSide; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < dirtSheetSide; ++x) {
            double n = Fbm(x, y, 11);
            // Strata: two broad bands per tile height and finer ones between,
            // bent by a slow wobble.
            double wobble = PeriodicNoise(x, y, 4, 23) - 0.5;
            double band = std::sin(2 * pi * (y / 32.0 + wobble * 0.35));
            double fine = std::sin(2 * pi * (y / 16.0 + wobble * 0.6));
            // Darker clumps of damp earth.
            double clump = std::clamp((PeriodicNoise(x, y, 8, 41) - 0.62) * 4.0, 0.0, 1.0);
            double grain = LatticeValue(x, y, 97) - 0.5;
            double shade = 1.0 - clump * 0.16;
            double r = (96 + n * 72 + band * 10 + fine * 4 + grain * 18) * shade;
            double g = (62 + n * 50 + band * 6 + fine * 3 + grain * 13) * shade;
            double b = (36 + n * 28 - band * 3 + grain * 10) * shade;
            auto channel = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
            row[x] = 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
        }
    }
    cairo_surface_mark_dirty(surface);
}

// Calls draw once for each of the nine copies that can touch the tile.
template <typename Draw>
void Wrapped(cairo_t* cr, Draw draw) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            cairo_save(cr);
            cairo_translate(cr, dx * dirtSheetSide, dy * dirtSheetSide);
            draw();
            cairo_restore(cr);
        }
    }
}

// A root: a wandering line that thins toward its tip, with a lighter core.
void PaintRoot(cairo_t* cr, SeededRandom& random, double x, double y, double angle, double width,
               int steps) {
    std::array<double, 24> xs{};
    std::array<double, 24> ys{};
    steps = std::min(steps, int(xs.size()));
    for (int i = 0; i < steps; ++i) {
        xs[i] = x;
        ys[i] = y;
        angle += random.Signed() * 0.45;
        x += std::cos(angle) * 2.2;
        y += std::sin(angle) * 2.2;
    }
    Wrapped(cr, [&] {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (int i = 1; i < steps; ++i) {
            double w = width * (1.0 - 0.6 * i / steps);
            cairo_move_to(cr, xs[i - 1], ys[i - 1]);
            cairo_line_to(cr, xs[i], ys[i]);
            cairo_set_line_width(cr, w);
            cairo_set_source_rgb(cr, 58 / 255.0, 36 / 255.0, 20 / 255.0);
            cairo_stroke(cr);
        }
        for (int i = 1; i < steps / 2; ++i) {
            cairo_move_to(cr, xs[i - 1], ys[i - 1]);
            cairo_line_to(cr, xs[i], ys[i]);
            cairo_set_line_width(cr, width * 0.3);
            cairo_set_source_rgb(cr, 138 / 255.0, 96 / 255.0, 58 / 255.0);
            cairo_stroke(cr);
        }
    });
}

void PaintRoots(cairo_t* cr, SeededRandom& random) {
    for (int i = 0; i < 2; ++i) {
        double x = random.Range(0, dirtSheetSide);
        double y = random.Range(0, dirtSheetSide);
        double angle = random.Range(0, 2 * pi);
        PaintRoot(cr, random, x, y, angle, random.Range(1.3, 1.7), 16);
        // A side root branching off near the start.
        PaintRoot(cr, random, x + std::cos(angle) * 6, y + std::sin(angle) * 6,
                  angle + (random.Unit() < 0.5 ? 0.9 : -0.9), 1.0, 8);
    }
}

void PaintPebbles(cairo_t* cr, SeededRandom& random) {
    // Stones in the soil's own hues, so no single one shouts as the tile repeats.
    static constexpr double tints[4][3] = {
        {138, 124, 104}, {112, 98, 84}, {150, 104, 72}, {158, 140, 110}};
    for (int i = 0; i < 10; ++i) {
        double x = random.Range(0, dirtSheetSide);
        double y = random.Range(0, dirtSheetSide);
        double rx = i < 2 ? random.Range(3.6, 4.4) : random.Range(1.2, 3.0);
        double ry = rx * random.Range(0.6, 0.9);
        double tilt = random.Range(0, pi);
        const double* tint = tints[random.Next() % 4];
        Wrapped(cr, [&] {
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_rotate(cr, tilt);
            cairo_scale(cr, rx, ry);
            cairo_arc(cr, 0, 0, 1.0, 0, 2 * pi);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, 48 / 255.0, 30 / 255.0, 18 / 255.0);
            cairo_set_line_width(cr, 0.9);
            cairo_stroke_preserve(cr);
            cairo_pattern_t* p =
                cairo_pattern_create_radial(x - rx * 0.35, y - ry * 0.45, 0, x, y, rx * 1.1);
            cairo_pattern_add_color_stop_rgb(p, 0, std::min(255.0, tint[0] + 34) / 255.0,
                                             std::min(255.0, tint[1] + 32) / 255.0,
                                             std::min(255.0, tint[2] + 26) / 255.0);
            cairo_pattern_add_color_stop_rgb(p, 0.5, tint[0] / 255.0, tint[1] / 255.0,
                                             tint[2] / 255.0);
            cairo_pattern_add_color_stop_rgb(p, 1, tint[0] * 0.55 / 255.0, tint[1] * 0.55 / 255.0,
                                             tint[2] * 0.55 / 255.0);
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
        });
    }
}

void PaintHoles(cairo_t* cr, SeededRandom& random) {
    for (int i = 0; i < 18; ++i) {
        double x = random.Range(0, dirtSheetSide);
        double y = random.Range(0, dirtSheetSide);
        double r = random.Range(0.6, 1.1);
        Wrapped(cr, [&] {
            cairo_arc(cr, x, y, r, 0, 2 * pi);
            cairo_set_source_rgb(cr, 52 / 255.0, 32 / 255.0, 20 / 255.0);
            cairo_fill(cr);
            cairo_arc(cr, x + 0.6, y + 0.7, r * 0.6, 0, 2 * pi);
            cairo_set_source_rgb(cr, 176 / 255.0, 130 / 255.0, 86 / 255.0);
            cairo_fill(cr);
        });
    }
}

}  // namespace

RasterImage BuildDirtSheet() {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, dirtSheetSide, dirtSheetSide);
    PaintGround(surface);
    cairo_t* cr = cairo_create(surface);
    SeededRandom random(0xD127u);
    PaintRoots(cr, random);
    PaintHoles(cr, random);
    PaintPebbles(cr, random);
    cairo_destroy(cr);
    RasterImage sheet(dirtSheetSide, dirtSheetSide);
    sheet.CopyOpaqueFrom(surface, 0, 0);
    cairo_surface_destroy(surface);
    return sheet;
}
