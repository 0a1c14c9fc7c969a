// Fighter painting: every body part is drawn twice, first grown by the outline
// width in the outline colour, then in its own shaded colour, back to front.
// Eyes and visor lights are whole pixels so the cut to the colour key keeps them.
#include "fighter_painter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double outlineWidth = 0.9;
// Light falls from the upper left.
const Vec2 lightDirection{-0.6, -0.8};

Rgb Shade(Rgb c, double factor, int add = 0) {
    auto channel = [&](uint8_t v) { return uint8_t(std::clamp(int(v * factor) + add, 0, 255)); };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

void SetColour(cairo_t* cr, Rgb c) {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

// A straight stroke from a to b.
void StrokeLine(cairo_t* cr, Vec2 a, Vec2 b, double width, Rgb colour) {
    cairo_new_path(cr);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_width(cr, width);
    SetColour(cr, colour);
    cairo_stroke(cr);
}

void AddStop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

// A tapered capsule: half circles of radius ra around a and rb around b.
void CapsulePath(cairo_t* cr, Vec2 a, Vec2 b, double ra, double rb) {
    Vec2 d = b - a;
    double angle = std::atan2(d.y, d.x);
    const double half = 3.14159265358979323846 / 2;
    cairo_new_path(cr);
    cairo_arc(cr, b.x, b.y, rb, angle - half, angle + half);
    cairo_arc(cr, a.x, a.y, ra, angle + half, angle + 3 * half);
    cairo_close_path(cr);
}

// Fills the current path with c, lit from lightDirection across the part: the side
// facing the light is brighter. centre and radius bound the gradient.
// darkest is the factor on the side away from the light.
void FillShaded(cairo_t* cr, Rgb c, Vec2 centre, double radius, double darkest = 0.62) {
    Vec2 lit = centre + lightDirection * radius;
    Vec2 dark = centre - lightDirection * radius;
    cairo_pattern_t* p = cairo_pattern_create_linear(lit.x, lit.y, dark.x, dark.y);
    AddStop(p, 0.0, Shade(c, 1.14, 8));
    AddStop(p, 0.45, c);
    AddStop(p, 1.0, Shade(c, darkest));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Capsule(cairo_t* cr, Vec2 a, Vec2 b, double ra, double rb, Rgb c, Rgb outline) {
    CapsulePath(cr, a, b, ra + outlineWidth, rb + outlineWidth);
    SetColour(cr, outline);
    cairo_fill(cr);
    CapsulePath(cr, a, b, ra, rb);
    FillShaded(cr, c, (a + b) * 0.5, std::max(ra, rb));
}

void Disc(cairo_t* cr, Vec2 c, double r, Rgb colour, Rgb outline, double darkest = 0.62) {
    cairo_new_path(cr);
    cairo_arc(cr, c.x, c.y, r + outlineWidth, 0, 2 * 3.14159265358979323846);
    SetColour(cr, outline);
    cairo_fill(cr);
    cairo_arc(cr, c.x, c.y, r, 0, 2 * 3.14159265358979323846);
    FillShaded(cr, colour, c, r, darkest);
}

// Head-local frame: up along the head's angle, forward 90 degrees clockwise of it
// (toward the right for an upright fighter).
struct HeadFrame {
    Vec2 centre;
    Vec2 up;
    Vec2 forward;
    double r;
    Vec2 At(double f, double u) const { return centre + forward * (f * r) + up * (u * r); }
};

constexpr double tau = 2 * 3.14159265358979323846;

// Lays the outline under a shape: builds the path, strokes it twice the outline
// width with round joins and fills it, all in the outline colour. The caller
// then builds the path again and fills it with the shape's own colours.
template <typename PathFn>
void OutlinePath(cairo_t* cr, PathFn path, Rgb outline) {
    path();
    cairo_set_line_width(cr, 2 * outlineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
}

// Fills a closed polygon in c over an outline grown by outlineWidth around it.
template <size_t N>
void Polygon(cairo_t* cr, const std::array<Vec2, N>& points, Rgb c, Rgb outline, Vec2 centre,
             double radius) {
    auto path = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, points[0].x, points[0].y);
        for (size_t i = 1; i < N; ++i) {
            cairo_line_to(cr, points[i].x, points[i].y);
        }
        cairo_close_path(cr);
    };
    OutlinePath(cr, path, outline);
    path();
    FillShaded(cr, c, centre, radius);
}

// One whole pixel, so that a small bright detail survives the cut intact.
void Pixel(cairo_t* cr, Vec2 at, Rgb c) {
    cairo_new_path(cr);
    cairo_rectangle(cr, std::floor(at.x), std::floor(at.y), 1, 1);
    SetColour(cr, c);
    cairo_fill(cr);
}

// The axis-aligned whole-pixel step closest to direction d.
Vec2 PixelStep(Vec2 d) {
    if (std::abs(d.x) >= std::abs(d.y)) {
        return {d.x >= 0 ? 1.0 : -1.0, 0};
    }
    return {0, d.y >= 0 ? 1.0 : -1.0};
}

// A strip of cloth streaming from p0 along a quadratic curve through p1 to p2,
// its half-width growing from w0 to w1, then narrowing to wEnd at the hem, and
// rippling with phase. The last hemShare of its length is painted in hem.
void Ribbon(cairo_t* cr, Vec2 p0, Vec2 p1, Vec2 p2, double w0, double w1, double wEnd, double phase,
            Rgb c, Rgb hem, double hemShare, Rgb outline) {
    constexpr int steps = 12;
    std::array<Vec2, steps + 1> left{};
    std::array<Vec2, steps + 1> right{};
    for (int i = 0; i <= steps; ++i) {
        double t = double(i) / steps;
        Vec2 centre = p0 * ((1 - t) * (1 - t)) + p1 * (2 * t * (1 - t)) + p2 * (t * t);
        Vec2 tangent = (p1 - p0) * (2 * (1 - t)) + (p2 - p1) * (2 * t);
        double len = std::max(tangent.Length(), 1e-6);
        Vec2 n{-tangent.y / len, tangent.x / len};
        // Widest at 60 % of the length; the hem end narrows toward a point.
        double w = t < 0.6 ? w0 + (w1 - w0) * (t / 0.6) : w1 + (wEnd - w1) * ((t - 0.6) / 0.4);
        double flutter = std::sin(t * 7.5 + phase) * 0.7 * t;
        left[i] = centre + n * (w + flutter);
        right[i] = centre - n * (w - flutter);
    }
    auto path = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, left[0].x, left[0].y);
        for (int i = 1; i <= steps; ++i) {
            cairo_line_to(cr, left[i].x, left[i].y);
        }
        // A slanted hem: the leading edge runs a little further than the trailing.
        Vec2 tip = (left[steps] + right[steps]) * 0.5 + (p2 - p1) * (0.12);
        cairo_line_to(cr, tip.x, tip.y);
        for (int i = steps; i >= 0; --i) {
            cairo_line_to(cr, right[i].x, right[i].y);
        }
        cairo_close_path(cr);
    };
    OutlinePath(cr, path, outline);
    path();
    cairo_pattern_t* p = cairo_pattern_create_linear(p0.x, p0.y, p2.x, p2.y);
    AddStop(p, 0.0, Shade(c, 0.72));
    AddStop(p, 0.5, c);
    if (hemShare > 0) {
        AddStop(p, 1.0 - hemShare, Shade(c, 1.1, 6));
        AddStop(p, 1.0 - hemShare + 0.001, hem);
        AddStop(p, 1.0, Shade(hem, 1.1, 10));
    } else {
        AddStop(p, 1.0, Shade(c, 1.15, 10));
    }
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void PaintArm(cairo_t* cr, const FighterLook& look, const Proportions& body, const LimbJoints& arm,
              double shade) {
    Rgb outline = look.outline;
    double w = body.armWidth;
    Capsule(cr, arm.root, arm.middle, w * 1.1, w * 0.95, Shade(look.sleeves, shade), outline);
    Capsule(cr, arm.middle, arm.end, w * 0.95, w * 0.85, Shade(look.foreArms, shade), outline);
    Vec2 fore = arm.end - arm.middle;
    if (look.hasBandages) {
        // Two wraps across the forearm, darker than the bandage.
        double len = std::max(fore.Length(), 1e-6);
        Vec2 across{-fore.y / len, fore.x / len};
        cairo_set_line_width(cr, 0.9);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        SetColour(cr, Shade(look.foreArms, shade * 0.68));
        for (double t : {0.3, 0.62}) {
            Vec2 c = arm.middle + fore * t;
            Vec2 a = c + across * (w * 0.9) - fore * (0.08);
            Vec2 b = c - across * (w * 0.9) + fore * (0.08);
            cairo_new_path(cr);
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x, b.y);
            cairo_stroke(cr);
        }
    }
    if (look.hasCoat) {
        // The coat sleeve ends above the elbow in a trimmed cuff: a band across it.
        Vec2 upper = arm.middle - arm.root;
        double len = std::max(upper.Length(), 1e-6);
        Vec2 across{-upper.y / len, upper.x / len};
        Vec2 c = arm.root + upper * 0.8;
        Vec2 a = c + across * (w * 1.15);
        Vec2 b = c - across * (w * 1.15);
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_set_line_width(cr, 1.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        SetColour(cr, Shade(look.trim, shade));
        cairo_stroke(cr);
    }
    double fist = body.fist;
    if (look.hasGauntlets) {
        // A heavy gauntlet: a flared cuff over the wrist and a bigger fist.
        Capsule(cr, arm.middle + fore * 0.5, arm.end, w * 1.05, w * 1.3, Shade(look.hands, shade),
                outline);
        fist *= 1.15;
    }
    Disc(cr, arm.end, fist, Shade(look.hands, shade), outline);
    if (look.hasShoulderGuards) {
        // A shoulder guard: a plate flaring out over the top of the upper arm.
        Vec2 along = arm.middle - arm.root;
        Capsule(cr, arm.root - along * 0.1, arm.root + along * 0.3, w * 1.55, w * 1.25,
                Shade(look.armour, shade), outline);
    }
}

void PaintLeg(cairo_t* cr, const FighterLook& look, const Proportions& body, const LimbJoints& leg,
              double shade) {
    Rgb outline = look.outline;
    double w = body.legWidth;
    Capsule(cr, leg.root, leg.middle, w * 1.1, w * 0.95, Shade(look.legs, shade), outline);
    Capsule(cr, leg.middle, leg.end, w * 0.95, w * 0.85, Shade(look.legs, shade), outline);
    // Armoured fighters wear tall, wide boots; the others shorter ones.
    double cuffAt = look.hasKneeGuards ? 0.42 : 0.62;
    double bootWidth = look.hasKneeGuards ? 1.05 : 0.9;
    Vec2 cuff = leg.middle + (leg.end - leg.middle) * cuffAt;
    Capsule(cr, cuff, leg.end, w * bootWidth, w * bootWidth, Shade(look.boots, shade), outline);
    Capsule(cr, leg.end, leg.tip, w * bootWidth, w * 0.7, Shade(look.boots, shade), outline);
    if (look.hasKneeGuards) {
        Disc(cr, leg.middle, w * 0.95, Shade(look.armour, shade), outline);
    }
}

void PaintTorso(cairo_t* cr, const FighterLook& look, const Proportions& body, const Skeleton& s) {
    Vec2 top = s.pelvis + Dir(s.spine) * (body.spine * 0.92);
    Vec2 up = Dir(s.spine);
    Vec2 forward = Dir(s.spine + 90);
    Capsule(cr, s.pelvis, top, body.waist, body.chest, look.torso, look.outline);

    cairo_save(cr);
    CapsulePath(cr, s.pelvis, top, body.waist, body.chest);
    cairo_clip(cr);
    if (look.hasChestPlate) {
        // A breastplate over the upper chest, its lower edge curving down at the
        // front, and a plated belt across the waist.
        Vec2 a = s.pelvis + up * (body.spine * 0.5) - forward * (body.chest * 1.5);
        Vec2 b = s.pelvis + up * (body.spine * 0.38) + forward * (body.chest * 1.5);
        Vec2 c = top + forward * (body.chest * 1.5) + up * 3.0;
        Vec2 d = top - forward * (body.chest * 1.5) + up * 3.0;
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_line_to(cr, c.x, c.y);
        cairo_line_to(cr, d.x, d.y);
        cairo_close_path(cr);
        FillShaded(cr, look.armour, (a + c) * 0.5, body.chest);
        StrokeLine(cr, a, b, 0.9, look.outline);
        Vec2 b0 = s.pelvis + up * 1.4 - forward * 8.0;
        Vec2 b1 = s.pelvis + up * 1.4 + forward * 8.0;
        StrokeLine(cr, b0, b1, 2.0, Shade(look.armour, 0.7));
    }
    if (look.hasCoat) {
        // The coat's front edge runs trimmed from the collar to the hem, with a
        // sash at the waist.
        Vec2 e0 = top + forward * (body.chest - 0.9) + up * 2.0;
        Vec2 e1 = s.pelvis + forward * (body.waist - 0.9) - up * 2.0;
        StrokeLine(cr, e0, e1, 1.3, look.trim);
        Vec2 b0 = s.pelvis + up * 1.8 - forward * 8.0;
        Vec2 b1 = s.pelvis + up * 1.8 + forward * 8.0;
        StrokeLine(cr, b0, b1, 1.6, Shade(look.torso, 0.55));
    }
    cairo_restore(cr);
}

// The coat's front skirt: from the waist down over the thighs, following them,
// widening to a trimmed hem.
void PaintCoatSkirt(cairo_t* cr, const FighterLook& look, const Proportions& body,
                    const Skeleton& s) {
    Vec2 d = (s.nearLeg.middle - s.pelvis) + (s.farLeg.middle - s.pelvis);
    double len = std::max(d.Length(), 1e-6);
    d = d * (1.0 / len);
    Vec2 side{-d.y, d.x};
    Vec2 top = s.pelvis - d * 1.0;
    Vec2 hem = s.pelvis + d * (body.thigh * 0.8);
    double topHalf = body.waist * 1.05;
    double hemHalf = body.waist * 1.35;
    std::array<Vec2, 4> panel{top + side * topHalf, hem + side * hemHalf, hem - side * hemHalf,
                              top - side * topHalf};
    Polygon(cr, panel, look.torso, look.outline, (top + hem) * 0.5, body.thigh * 0.5);
    Vec2 a = hem + side * (hemHalf - 0.2) - d * 0.7;
    Vec2 b = hem - side * (hemHalf - 0.2) - d * 0.7;
    cairo_new_path(cr);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    SetColour(cr, look.trim);
    cairo_stroke(cr);
}

// The coat's two tails hang from the back of the waist and stream into the wind,
// the far one a little darker and shorter.
void PaintCoatTails(cairo_t* cr, const FighterLook& look, const Skeleton& s, double wind) {
    Vec2 back = Dir(s.spine - 90);
    Vec2 down = Dir(s.spine + 180);
    for (int i = 0; i < 2; ++i) {
        double spread = i == 0 ? 22 : -6;
        double length = i == 0 ? 15.0 : 18.0;
        Rgb c = i == 0 ? Shade(look.torso, 0.7) : look.torso;
        Vec2 p0 = s.pelvis + Dir(s.spine) * 3.0 + back * 1.2;
        Vec2 p1 = p0 + back * 2.0 + down * 4.0;
        Vec2 p2 = p0 + Dir(wind + spread) * length;
        Ribbon(cr, p0, p1, p2, 1.9, 3.2, 1.2, wind * 0.05 + i * 1.7, c, look.trim, 0.08,
               look.outline);
    }
}

// The scarf's two ends trail from the back of the neck into the wind.
void PaintScarfEnds(cairo_t* cr, const FighterLook& look, const Skeleton& s, double wind) {
    Vec2 back = Dir(s.spine - 90);
    Vec2 down = Dir(s.spine + 180);
    for (int i = 0; i < 2; ++i) {
        double spread = i == 0 ? 18 : -2;
        double length = i == 0 ? 11.0 : 14.5;
        Rgb c = i == 0 ? Shade(look.cloth, 0.72) : look.cloth;
        Vec2 p0 = s.neck + down * 1.2 + back * 1.6;
        Vec2 p1 = p0 + back * 2.5 + down * 1.0;
        Vec2 p2 = p0 + Dir(wind + spread) * length;
        Ribbon(cr, p0, p1, p2, 1.2, 1.7, 1.5, wind * 0.07 + i * 2.1, c, c, 0, look.outline);
    }
}

// The scarf wound round the neck, over the collar of the armour.
void PaintScarfCollar(cairo_t* cr, const FighterLook& look, const Skeleton& s) {
    Vec2 up = Dir(s.spine);
    Vec2 forward = Dir(s.spine + 90);
    Vec2 a = s.neck - up * 0.2 - forward * 1.5;
    Vec2 b = s.neck + up * 0.6 + forward * 1.3;
    Capsule(cr, a, b, 1.5, 1.4, look.cloth, look.outline);
}

void PaintHelmet(cairo_t* cr, const FighterLook& look, const HeadFrame& h, Vec2 windDir,
                 Face face) {
    // The fin crest first, so the shell's outline cuts its base cleanly.
    std::array<Vec2, 4> fin{h.At(0.35, 0.8), h.At(-0.2, 1.55) + windDir * 0.5,
                            h.At(-0.75, 1.45) + windDir * 0.7, h.At(-0.8, 0.5)};
    Polygon(cr, fin, Shade(look.crest, 1.1, 12), look.outline, h.At(-0.3, 1.1), h.r);
    Disc(cr, h.centre, h.r, look.headGear, look.outline, 0.7);

    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, h.centre.x, h.centre.y, h.r, 0, tau);
    cairo_clip(cr);
    // The bare jaw below the visor, behind a cheek guard slanting down and forward.
    std::array<Vec2, 4> jaw{h.At(0.0, -0.32), h.At(1.3, -0.32), h.At(1.3, -1.3), h.At(0.45, -1.3)};
    cairo_new_path(cr);
    cairo_move_to(cr, jaw[0].x, jaw[0].y);
    for (size_t i = 1; i < jaw.size(); ++i) {
        cairo_line_to(cr, jaw[i].x, jaw[i].y);
    }
    cairo_close_path(cr);
    FillShaded(cr, look.skin, h.At(0.6, -0.8), h.r * 0.6, 0.8);
    cairo_restore(cr);

    // The visor slit: whole dark pixels running from the eye to the helmet's front,
    // the eye a single lit pixel that the cut cannot smear.
    Vec2 step = PixelStep(h.forward);
    Vec2 eye = h.At(0.42, -0.05);
    Vec2 cell{std::floor(eye.x) + 0.5, std::floor(eye.y) + 0.5};
    Rgb slit{16, 18, 26};
    for (int k = -1; k <= 2; ++k) {
        Pixel(cr, cell + step * k, slit);
    }
    switch (face) {
        case Face::Calm:
            Pixel(cr, cell, look.eye);
            break;
        case Face::Strain:
            Pixel(cr, cell, Rgb{255, 255, 255});
            Pixel(cr, cell + step, look.eye);
            break;
        case Face::Hurt:
            Pixel(cr, cell + step, Shade(look.eye, 0.6));
            break;
        case Face::Out:
            break;
    }
}

void PaintHood(cairo_t* cr, const FighterLook& look, const HeadFrame& h, Vec2 windDir, Face face) {
    // The cowl: a rounded hood a little larger than the head, its tip pointing
    // back and trailing into the wind.
    Vec2 centre = h.At(-0.15, 0.1);
    double r = h.r * 1.2;
    std::array<Vec2, 3> tip{h.At(-0.1, 1.15), h.At(-1.75, 1.05) + windDir * 1.4, h.At(-1.1, 0.0)};
    Polygon(cr, tip, Shade(look.headGear, 0.85), look.outline, h.At(-1.0, 0.8), h.r);
    Disc(cr, centre, r, look.headGear, look.outline, 0.72);
    // The deep opening: the face lies in shadow, rimmed by the hood's lit edge.
    Vec2 opening = h.At(0.5, -0.2);
    double openR = h.r * 0.72;
    cairo_new_path(cr);
    cairo_arc(cr, opening.x, opening.y, openR + 0.8, 0, tau);
    SetColour(cr, Shade(look.headGear, 1.3, 20));
    cairo_fill(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, centre.x, centre.y, r, 0, tau);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_arc(cr, opening.x, opening.y, openR, 0, tau);
    SetColour(cr, look.skin);
    cairo_fill(cr);
    cairo_restore(cr);

    // Two eyes glowing in the dark, a pixel apart.
    Vec2 step = PixelStep(h.forward);
    Vec2 eye = h.At(0.35, -0.1);
    Vec2 cell{std::floor(eye.x) + 0.5, std::floor(eye.y) + 0.5};
    switch (face) {
        case Face::Calm:
            Pixel(cr, cell, look.eye);
            Pixel(cr, cell + step * 2, look.eye);
            break;
        case Face::Strain:
            Pixel(cr, cell, Rgb{255, 255, 255});
            Pixel(cr, cell + step * 2, Rgb{255, 255, 255});
            break;
        case Face::Hurt: {
            Vec2 down = PixelStep(h.up * -1.0);
            Pixel(cr, cell + down, Shade(look.eye, 0.7));
            Pixel(cr, cell + step * 2, Shade(look.eye, 0.7));
            break;
        }
        case Face::Out:
            break;
    }
}

void PaintHead(cairo_t* cr, const FighterLook& look, const Proportions& body, const Skeleton& s,
               const FighterPose& pose) {
    HeadFrame h{s.head, Dir(s.headAngle), Dir(s.headAngle + 90), body.headRadius};
    Vec2 windDir = Dir(pose.wind);
    Rgb neck =
        look.headStyle == HeadStyle::Hood ? Shade(look.headGear, 0.75) : Shade(look.skin, 0.85);
    Capsule(cr, s.neck - Dir(s.spine) * 1.0, s.head, 1.7, 1.5, neck, look.outline);
    if (look.headStyle == HeadStyle::Helmet) {
        PaintHelmet(cr, look, h, windDir, pose.face);
    } else {
        PaintHood(cr, look, h, windDir, pose.face);
    }
}

void PaintGlow(cairo_t* cr, const FighterLook& look, Vec2 at, double radius) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 6; ++k) {
        Vec2 d = Dir(k * 60.0 + 17.0);
        Vec2 a = at + d * (radius * 0.8);
        Vec2 b = at + d * (radius * (k % 2 == 0 ? 1.9 : 1.55));
        StrokeLine(cr, a, b, 1.4, look.glowInner);
    }
    cairo_pattern_t* p = cairo_pattern_create_radial(at.x, at.y, 0, at.x, at.y, radius * 1.25);
    AddStop(p, 0.0, Rgb{255, 255, 255});
    AddStop(p, 0.35, Rgb{255, 255, 255});
    AddStop(p, 0.6, look.glowInner);
    AddStop(p, 0.85, look.glowOuter);
    AddStop(p, 1.0, look.glowOuter, 0.0);
    cairo_set_source(cr, p);
    cairo_new_path(cr);
    cairo_arc(cr, at.x, at.y, radius * 1.25, 0, tau);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void PaintStar(cairo_t* cr, Vec2 c, double r, Rgb colour, Rgb outline) {
    for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        for (int k = 0; k < 8; ++k) {
            Vec2 p = c + Dir(k * 45.0 - 90.0) * (k % 2 == 0 ? r : r * 0.45);
            if (k == 0) {
                cairo_move_to(cr, p.x, p.y);
            } else {
                cairo_line_to(cr, p.x, p.y);
            }
        }
        cairo_close_path(cr);
        if (pass == 0) {
            cairo_set_line_width(cr, 1.3);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            SetColour(cr, outline);
            cairo_stroke(cr);
        } else {
            SetColour(cr, colour);
            cairo_fill(cr);
        }
    }
}

// Three speed lines trailing behind the body, opposite to the direction of flight.
void PaintStreaks(cairo_t* cr, const Skeleton& s, double travel) {
    Vec2 along = Dir(travel);
    Vec2 side = Dir(travel + 90);
    Vec2 centre = (s.pelvis + s.shoulder) * 0.5;
    // (offset across the flight, distance behind the body, length)
    static constexpr double lines[3][3] = {{-7, 10, 5}, {0, 14, 7}, {7, 11, 5}};
    // Ends on pixel centres keep straight lines one crisp pixel wide after the cut.
    auto snap = [](Vec2 p) { return Vec2{std::floor(p.x) + 0.5, std::floor(p.y) + 0.5}; };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const auto& line : lines) {
        Vec2 a = snap(centre + side * line[0] - along * line[1]);
        Vec2 b = snap(a - along * line[2]);
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_set_line_width(cr, 1.1);
        cairo_set_source_rgb(cr, 0.88, 0.94, 1.0);
        cairo_stroke(cr);
    }
}

}  // namespace

void PaintFighter(cairo_t* cr, const FighterLook& look, const Proportions& body,
                  const FighterPose& pose) {
    Skeleton s = SolveSkeleton(pose, body);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
    if (pose.streaks) {
        PaintStreaks(cr, s, pose.travel);
    }
    if (look.hasScarf) {
        PaintScarfEnds(cr, look, s, pose.wind);
    }
    if (look.hasCoat) {
        PaintCoatTails(cr, look, s, pose.wind);
    }
    PaintLeg(cr, look, body, s.farLeg, 0.72);
    PaintArm(cr, look, body, s.farArm, 0.72);
    PaintTorso(cr, look, body, s);
    PaintLeg(cr, look, body, s.nearLeg, 1.0);
    if (look.hasCoat) {
        PaintCoatSkirt(cr, look, body, s);
    }
    PaintHead(cr, look, body, s, pose);
    PaintArm(cr, look, body, s.nearArm, 1.0);
    if (look.hasScarf) {
        PaintScarfCollar(cr, look, s);
    }
    if (pose.glow > 0) {
        PaintGlow(cr, look, s.nearArm.end, pose.glow);
    }
    if (pose.dizzy) {
        // Stars circling above the head, whichever way the head lies.
        Vec2 top = s.head + Vec2{1.0, -(body.headRadius + 5.0)};
        PaintStar(cr, top + Vec2{-5.5, 1.0}, 3.0, Rgb{255, 232, 60}, look.outline);
        PaintStar(cr, top + Vec2{0.5, -1.8}, 2.6, Rgb{255, 246, 150}, look.outline);
        PaintStar(cr, top + Vec2{6.0, 1.2}, 2.8, Rgb{255, 232, 60}, look.outline);
    }
}
