// Contact sheet layout: one band per sheet, cells scaled up with nearest-pixel
// sampling so the real pixels show, launch points marked with a red cross, and a
// small scene that tiles the dirt, digs tunnels and places the sprites on it.
#include "contact_sheet.h"

#include <cairo.h>

#include <string>

#include "blast_art.h"
#include "dirt_art.h"
#include "fighter_sheets.h"
#include "reticle_art.h"

namespace {

constexpr int zoom = 4;
constexpr int gap = 10;
constexpr int margin = 16;
constexpr int label = 22;
constexpr int sheetWidth = 1640;

// A region of a sheet as an ARGB32 surface, key pixels transparent, optionally
// mirrored left to right as the game draws a fighter facing left.
cairo_surface_t* Cut(const RasterImage& image, int x, int y, int w, int h, bool mirrored = false) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int row = 0; row < h; ++row) {
        uint32_t* out = reinterpret_cast<uint32_t*>(data + size_t(row) * stride);
        for (int col = 0; col < w; ++col) {
            int sx = x + (mirrored ? w - 1 - col : col);
            Rgb c = image.At(sx, y + row);
            out[col] = c == colourKey ? 0u : 0xFF000000u | uint32_t(c.r) << 16 | c.g << 8 | c.b;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void Blit(cairo_t* cr, cairo_surface_t* s, double x, double y, double scale) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Label(cairo_t* cr, double x, double y, const std::string& text) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 15);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.12);
    cairo_move_to(cr, x, y + 15);
    cairo_show_text(cr, text.c_str());
}

void Panel(cairo_t* cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_fill(cr);
}

void Cross(cairo_t* cr, double x, double y) {
    cairo_set_source_rgb(cr, 1, 0.1, 0.1);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, x - 6, y);
    cairo_line_to(cr, x + 6, y);
    cairo_move_to(cr, x, y - 6);
    cairo_line_to(cr, x, y + 6);
    cairo_stroke(cr);
}

// Draws a fighter sheet band; answers the y below it.
double FighterBand(cairo_t* cr, const RasterImage& sheet, int frames, LaunchPoint launch,
                   const std::string& title, double y, const int* launchFrames, int launchCount) {
    Label(cr, margin, y, title);
    y += label;
    const int cell = fighterSize * zoom;
    const int perRow = 8;
    for (int i = 0; i < frames; ++i) {
        double x = margin + (i % perRow) * (cell + gap);
        double top = y + (i / perRow) * (cell + gap + 16);
        Panel(cr, x, top, cell, cell);
        cairo_surface_t* s = Cut(sheet, (i % fighterSheetColumns) * fighterSize,
                                 (i / fighterSheetColumns) * fighterSize, fighterSize, fighterSize);
        Blit(cr, s, x, top, zoom);
        cairo_surface_destroy(s);
        for (int k = 0; k < launchCount; ++k) {
            if (launchFrames[k] == i) {
                Cross(cr, x + (launch.x + 0.5) * zoom, top + (launch.y + 0.5) * zoom);
            }
        }
        Label(cr, x, top + cell, std::to_string(i));
    }
    int rows = (frames + perRow - 1) / perRow;
    return y + rows * (cell + gap + 16) + gap;
}

// A field of dirt with tunnels, both fighters, blasts and the reticle, drawn as
// the game composes a view: tiles, then fighters, then blasts, then the reticle.
void Scene(cairo_t* cr, const AssetSheets& sheets, double x, double y, double scale) {
    const int w = 320;
    const int h = 160;
    cairo_surface_t* scene = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* sc = cairo_create(scene);
    cairo_set_source_rgb(sc, 0, 0, 0);
    cairo_paint(sc);
    cairo_surface_t* dirt = Cut(sheets.dirt, 0, 0, dirtSheetSide, dirtSheetSide);
    // Dirt cells: everything except a tunnel band, a shaft and two craters.
    for (int cy = 0; cy < h / 8; ++cy) {
        for (int cx = 0; cx < w / 8; ++cx) {
            auto inDisc = [&](int ox, int oy, int r) {
                return (cx - ox) * (cx - ox) + (cy - oy) * (cy - oy) <= r * r;
            };
            bool open = (cy >= 7 && cy <= 12 && cx >= 4 && cx <= 34) || inDisc(8, 10, 5) ||
                        inDisc(30, 9, 6) || (cx >= 18 && cx <= 21 && cy <= 8);
            if (open) {
                continue;
            }
            cairo_save(sc);
            cairo_rectangle(sc, cx * 8, cy * 8, 8, 8);
            cairo_clip(sc);
            cairo_set_source_surface(sc, dirt, (cx / 8) * 64, (cy / 8) * 64);
            cairo_paint(sc);
            cairo_restore(sc);
        }
    }
    cairo_surface_destroy(dirt);
    cairo_surface_t* a = Cut(sheets.torvik, 0, 0, fighterSize, fighterSize);
    cairo_surface_t* b =
        Cut(sheets.melsar, 2 * fighterSize, fighterSize, fighterSize, fighterSize, true);
    cairo_surface_t* c =
        Cut(sheets.torvik, 1 * fighterSize, 2 * fighterSize, fighterSize, fighterSize);
    cairo_set_source_surface(sc, a, 40, 56);
    cairo_paint(sc);
    cairo_set_source_surface(sc, b, 220, 52);
    cairo_paint(sc);
    cairo_set_source_surface(sc, c, 120, 10);
    cairo_paint(sc);
    cairo_surface_t* blast =
        Cut(sheets.blast, 4 * blastSpriteSide, 0, blastSpriteSide, blastSpriteSide);
    cairo_surface_t* small =
        Cut(sheets.blast, 3 * blastSpriteSide, 0, blastSpriteSide, blastSpriteSide);
    cairo_set_source_surface(sc, blast, 150 - blastCentre, 80 - blastCentre);
    cairo_paint(sc);
    cairo_set_source_surface(sc, small, 200 - blastCentre, 120 - blastCentre);
    cairo_paint(sc);
    cairo_surface_t* reticle = Cut(sheets.reticle, 0, 0, reticleSide, reticleSide);
    cairo_set_source_surface(sc, reticle, 100, 60);
    cairo_paint(sc);
    cairo_set_source_surface(sc, reticle, 270, 20);
    cairo_paint(sc);
    for (cairo_surface_t* s : {a, b, c, blast, small, reticle}) {
        cairo_surface_destroy(s);
    }
    cairo_destroy(sc);
    Blit(cr, scene, x, y, scale);
    cairo_surface_destroy(scene);
}

}  // namespace

bool WriteContactSheet(const AssetSheets& sheets, const std::string& path) {
    const int height = 2600;  // room for every band; trimmed at the end
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetWidth, height);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0.78, 0.78, 0.76);
    cairo_paint(cr);

    double y = margin;
    static constexpr int torvikLaunch[] = {10, 11};
    static constexpr int melsarLaunch[] = {6, 7};
    y = FighterBand(cr, sheets.torvik, firstFighterFrameCount, firstLaunchPoint,
                    "TORVIK.BMP  first fighter (launch point marked)", y, torvikLaunch, 2);
    y = FighterBand(cr, sheets.melsar, secondFighterFrameCount, secondLaunchPoint,
                    "MELSAR.BMP  second fighter (launch point marked)", y, melsarLaunch, 2);

    Label(cr, margin, y, "BLAST.BMP  entries 0-6");
    y += label;
    const int blastCell = blastSpriteSide * zoom;
    for (int i = 0; i < blastSpriteCount; ++i) {
        double x = margin + i * (blastCell + gap / 2);
        Panel(cr, x, y, blastCell, blastCell);
        cairo_surface_t* s =
            Cut(sheets.blast, i * blastSpriteSide, 0, blastSpriteSide, blastSpriteSide);
        Blit(cr, s, x, y, zoom);
        cairo_surface_destroy(s);
        Label(cr, x, y + blastCell, std::to_string(i));
    }
    y += blastCell + gap + 16;

    Label(cr, margin, y, "DIRT.BMP at 4x, tiled 3 x 3 at 2x;  TARGET.BMP over grey, dirt, black");
    y += label;
    cairo_surface_t* dirt = Cut(sheets.dirt, 0, 0, dirtSheetSide, dirtSheetSide);
    Blit(cr, dirt, margin, y, zoom);
    for (int ty = 0; ty < 3; ++ty) {
        for (int tx = 0; tx < 3; ++tx) {
            Blit(cr, dirt, margin + 280 + tx * dirtSheetSide * 2, y + ty * dirtSheetSide * 2, 2);
        }
    }
    double rx = margin + 280 + 3 * dirtSheetSide * 2 + 30;
    cairo_surface_t* reticle = Cut(sheets.reticle, 0, 0, reticleSide, reticleSide);
    const int reticleBox = reticleSide * zoom;
    for (int k = 0; k < 3; ++k) {
        double bx = rx + k * (reticleBox + gap);
        if (k == 0) {
            Panel(cr, bx, y, reticleBox, reticleBox);
        } else if (k == 1) {
            Blit(cr, dirt, bx, y, zoom);
        } else {
            cairo_rectangle(cr, bx, y, reticleBox, reticleBox);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_fill(cr);
        }
        Blit(cr, reticle, bx, y, zoom);
    }
    cairo_surface_destroy(reticle);
    cairo_surface_destroy(dirt);
    y += 3 * dirtSheetSide * 2 + gap;

    Label(cr, margin, y, "In play, at 3x");
    y += label;
    Scene(cr, sheets, margin, y, 3);

    y += 160 * 3 + margin;
    cairo_destroy(cr);

    // Trim the canvas to what was drawn.
    cairo_surface_t* trimmed = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetWidth, int(y));
    cairo_t* trim = cairo_create(trimmed);
    cairo_set_source_surface(trim, target, 0, 0);
    cairo_paint(trim);
    cairo_destroy(trim);
    bool ok = cairo_surface_write_to_png(trimmed, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(trimmed);
    cairo_surface_destroy(target);
    return ok;
}
