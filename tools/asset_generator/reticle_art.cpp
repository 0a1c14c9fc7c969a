// The reticle: a bright ring with four ticks and a centre dot, each line drawn
// over a dark outline so it reads over dirt and over the black of tunnels.
#include "reticle_art.h"

#include <cairo.h>

namespace {

constexpr double pi = 3.14159265358979323846;

void ReticlePath(cairo_t* cr) {
    const double c = reticleCentre + 0.5;  // the middle of the centre pixel
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 6.0, 0, 2 * pi);
    cairo_new_sub_path(cr);
    for (int k = 0; k < 4; ++k) {
        double dx = k == 0 ? 1 : (k == 1 ? -1 : 0);
        double dy = k == 2 ? 1 : (k == 3 ? -1 : 0);
        cairo_move_to(cr, c + dx * 3.5, c + dy * 3.5);
        cairo_line_to(cr, c + dx * 9.0, c + dy * 9.0);
    }
}

}  // namespace

RasterImage BuildReticleSheet() {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, reticleSide, reticleSide);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    ReticlePath(cr);
    cairo_set_source_rgb(cr, 16 / 255.0, 12 / 255.0, 10 / 255.0);
    cairo_set_line_width(cr, 3.2);
    cairo_stroke(cr);
    cairo_arc(cr, reticleCentre + 0.5, reticleCentre + 0.5, 1.9, 0, 2 * pi);
    cairo_fill(cr);
    ReticlePath(cr);
    cairo_set_source_rgb(cr, 255 / 255.0, 236 / 255.0, 64 / 255.0);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    cairo_rectangle(cr, reticleCentre, reticleCentre, 1, 1);
    cairo_set_source_rgb(cr, 255 / 255.0, 90 / 255.0, 40 / 255.0);
    cairo_fill(cr);
    cairo_destroy(cr);
    RasterImage sheet(reticleSide, reticleSide);
    sheet.CutFrom(surface, 0, 0);
    cairo_surface_destroy(surface);
    return sheet;
}
