// The title drawn with cairo: the name's outline stroked dark, filled with
// the blasts' ramp from white-hot to deep blue, over a dirt-brown shadow; a
// ki ball at each end. Everything is opaque, as the sheets are cut hard.
#include "title_art.h"

#include <cairo.h>

#include <cmath>

#include "rules/art_layout.h"

namespace {

constexpr const char* name = "KIVORO";
constexpr double letterSize = 104.0;
constexpr double pi = 3.14159265358979323846;

void NamePath(cairo_t* cr, double x, double y) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, letterSize);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, name);
}

// A ki ball: a white-hot core through cyan to a blue rim, with a dark edge.
void Ball(cairo_t* cr, double cx, double cy, double radius) {
    cairo_arc(cr, cx, cy, radius + 3, 0, 2 * pi);
    cairo_set_source_rgb(cr, 0.06, 0.08, 0.22);
    cairo_fill(cr);
    cairo_pattern_t* ramp = cairo_pattern_create_radial(cx - radius * 0.25, cy - radius * 0.25,
                                                        radius * 0.1, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(ramp, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(ramp, 0.35, 0.71, 0.96, 1.0);
    cairo_pattern_add_color_stop_rgb(ramp, 0.75, 0.27, 0.78, 1.0);
    cairo_pattern_add_color_stop_rgb(ramp, 1.0, 0.13, 0.38, 0.93);
    cairo_arc(cr, cx, cy, radius, 0, 2 * pi);
    cairo_set_source(cr, ramp);
    cairo_fill(cr);
    cairo_pattern_destroy(ramp);
}

}  // namespace

RasterImage BuildTitle() {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, titleWidth, titleHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);

    // Centre the name by its own extents.
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, letterSize);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, name, &extents);
    const double x = (titleWidth - extents.width) / 2 - extents.x_bearing;
    const double y = (titleHeight - extents.height) / 2 - extents.y_bearing;

    // A shadow of the dirt, down and to the right.
    NamePath(cr, x + 5, y + 6);
    cairo_set_source_rgb(cr, 0.30, 0.18, 0.09);
    cairo_set_line_width(cr, 10);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    // The outline, then the ki inside it, hottest at the top.
    NamePath(cr, x, y);
    cairo_set_source_rgb(cr, 0.05, 0.07, 0.20);
    cairo_set_line_width(cr, 9);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* ki = cairo_pattern_create_linear(0, y + extents.y_bearing, 0, y);
    cairo_pattern_add_color_stop_rgb(ki, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(ki, 0.3, 0.71, 0.96, 1.0);
    cairo_pattern_add_color_stop_rgb(ki, 0.7, 0.27, 0.78, 1.0);
    cairo_pattern_add_color_stop_rgb(ki, 1.0, 0.13, 0.38, 0.93);
    cairo_set_source(cr, ki);
    cairo_fill(cr);
    cairo_pattern_destroy(ki);

    const double ballRadius = 14;
    Ball(cr, ballRadius + 6, titleHeight / 2.0, ballRadius);
    Ball(cr, titleWidth - ballRadius - 6, titleHeight / 2.0, ballRadius);

    cairo_destroy(cr);
    cairo_surface_flush(surface);
    RasterImage title(titleWidth, titleHeight);
    title.CutFrom(surface, 0, 0);
    cairo_surface_destroy(surface);
    return title;
}
