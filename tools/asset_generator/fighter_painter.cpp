// Fighter painting: every body part is drawn twice, first grown by the outline
// width in the outline colour, then in its own shaded colour, back to front.
#include "fighter_painter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kOutline = 0.9;
// Light falls from the upper left.
const Vec2 kLight{-0.6, -0.8};

Rgb Shade(Rgb c, double factor, int add = 0) {
    auto channel = [&](uint8_t v) { return uint8_t(std::clamp(int(v * factor) + add, 0, 255)); };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

void SetColour(cairo_t* cr, Rgb c) {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
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

// Fills the current path with c, lit from kLight across the part: the side
// facing the light is brighter. centre and radius bound the gradient.
// darkest is the factor on the side away from the light.
void FillShaded(cairo_t* cr, Rgb c, Vec2 centre, double radius, double darkest = 0.62) {
    Vec2 lit = centre + kLight * radius;
    Vec2 dark = centre - kLight * radius;
    cairo_pattern_t* p = cairo_pattern_create_linear(lit.x, lit.y, dark.x, dark.y);
    AddStop(p, 0.0, Shade(c, 1.14, 8));
    AddStop(p, 0.45, c);
    AddStop(p, 1.0, Shade(c, darkest));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Capsule(cairo_t* cr, Vec2 a, Vec2 b, double ra, double rb, Rgb c, Rgb outline) {
    CapsulePath(cr, a, b, ra + kOutline, rb + kOutline);
    SetColour(cr, outline);
    cairo_fill(cr);
    CapsulePath(cr, a, b, ra, rb);
    FillShaded(cr, c, (a + b) * 0.5, std::max(ra, rb));
}

void Disc(cairo_t* cr, Vec2 c, double r, Rgb colour, Rgb outline, double darkest = 0.62) {
    cairo_new_path(cr);
    cairo_arc(cr, c.x, c.y, r + kOutline, 0, 2 * 3.14159265358979323846);
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

void PaintArm(cairo_t* cr, const FighterLook& look, const Proportions& body, const LimbJoints& arm,
              double shade) {
    Rgb outline = look.outline;
    Vec2 wrist = arm.middle + (arm.end - arm.middle) * 0.72;
    Capsule(cr, arm.root, arm.middle, body.armWidth * 1.1, body.armWidth * 0.95,
            Shade(look.suit, shade), outline);
    Capsule(cr, arm.middle, arm.end, body.armWidth * 0.95, body.armWidth * 0.85,
            Shade(look.foreArms, shade), outline);
    Capsule(cr, wrist, arm.end, body.armWidth * 1.05, body.armWidth * 1.05, Shade(look.trim, shade),
            outline);
    Disc(cr, arm.end, body.fist, Shade(look.hands, shade), outline);
    if (look.hasShoulderPads) {
        // A shoulder guard: a plate flaring out over the top of the upper arm.
        Vec2 along = arm.middle - arm.root;
        Capsule(cr, arm.root - along * 0.1, arm.root + along * 0.3, body.armWidth * 1.5,
                body.armWidth * 1.2, Shade(look.chestPlate, shade), outline);
    }
}

void PaintLeg(cairo_t* cr, const FighterLook& look, const Proportions& body, const LimbJoints& leg,
              double shade) {
    Rgb outline = look.outline;
    Capsule(cr, leg.root, leg.middle, body.legWidth * 1.1, body.legWidth * 0.95,
            Shade(look.suit, shade), outline);
    Capsule(cr, leg.middle, leg.end, body.legWidth * 0.95, body.legWidth * 0.85,
            Shade(look.suit, shade), outline);
    Vec2 cuff = leg.middle + (leg.end - leg.middle) * 0.7;
    Capsule(cr, cuff, leg.end, body.legWidth * 0.9, body.legWidth * 0.85, Shade(look.boots, shade),
            outline);
    Capsule(cr, leg.end, leg.tip, body.legWidth * 0.85, body.legWidth * 0.65,
            Shade(look.boots, shade), outline);
}

void PaintTorso(cairo_t* cr, const FighterLook& look, const Proportions& body, const Skeleton& s) {
    Vec2 top = s.pelvis + Dir(s.spine) * (body.spine * 0.92);
    Vec2 up = Dir(s.spine);
    Vec2 forward = Dir(s.spine + 90);
    Capsule(cr, s.pelvis, top, body.waist, body.chest, look.suit, look.outline);

    cairo_save(cr);
    CapsulePath(cr, s.pelvis, top, body.waist, body.chest);
    cairo_clip(cr);
    if (look.hasChestPlate) {
        // Armour over the upper chest, its lower edge curving down at the front.
        Vec2 a = s.pelvis + up * (body.spine * 0.55) - forward * (body.chest * 1.5);
        Vec2 b = s.pelvis + up * (body.spine * 0.45) + forward * (body.chest * 1.5);
        Vec2 c = top + forward * (body.chest * 1.5) + up * 3.0;
        Vec2 d = top - forward * (body.chest * 1.5) + up * 3.0;
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_line_to(cr, c.x, c.y);
        cairo_line_to(cr, d.x, d.y);
        cairo_close_path(cr);
        FillShaded(cr, look.chestPlate, (a + c) * 0.5, body.chest);
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_set_line_width(cr, 0.9);
        SetColour(cr, look.outline);
        cairo_stroke(cr);
    }
    if (look.hasBelt) {
        // An undershirt showing in the collar's V, and a belt across the waist.
        Vec2 v0 = top + forward * (body.chest * 0.1) + up * 1.0;
        Vec2 v1 = top + forward * (body.chest * 1.3) + up * 1.0;
        Vec2 v2 = top + forward * (body.chest * 0.75) - up * (body.spine * 0.38);
        cairo_new_path(cr);
        cairo_move_to(cr, v0.x, v0.y);
        cairo_line_to(cr, v1.x, v1.y);
        cairo_line_to(cr, v2.x, v2.y);
        cairo_close_path(cr);
        SetColour(cr, look.trim);
        cairo_fill(cr);
        Vec2 b0 = s.pelvis + up * 1.6 - forward * 8.0;
        Vec2 b1 = s.pelvis + up * 1.6 + forward * 8.0;
        cairo_new_path(cr);
        cairo_move_to(cr, b0.x, b0.y);
        cairo_line_to(cr, b1.x, b1.y);
        cairo_set_line_width(cr, 2.2);
        SetColour(cr, look.trim);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintBeltTail(cairo_t* cr, const FighterLook& look, const Skeleton& s, double wind) {
    Vec2 knot = s.pelvis + Dir(s.spine) * 1.6 - Dir(s.spine + 90) * 2.5;
    Vec2 end = knot + Dir(wind * 0.7 + (s.spine + 180) * 0.3) * 5.0;
    Capsule(cr, knot, end, 1.0, 0.8, look.trim, look.outline);
}

void PaintSpikes(cairo_t* cr, const FighterLook& look, const HeadFrame& h, Vec2 windDir) {
    // Spikes as (angle from forward toward up in degrees, length in radii).
    static constexpr std::array<std::array<double, 2>, 7> kSpikes{
        {{55, 1.55}, {85, 1.65}, {115, 1.7}, {145, 1.7}, {175, 1.75}, {205, 1.5}, {232, 1.25}}};
    auto local = [&](double degrees, double radius) {
        Vec2 d = Dir(-degrees);  // counter-clockwise from forward toward up
        return h.At(d.x * radius, -d.y * radius);
    };
    auto hairPath = [&](double grow) {
        cairo_new_path(cr);
        Vec2 start = local(40, 1.0 + grow);
        cairo_move_to(cr, start.x, start.y);
        for (const auto& spike : kSpikes) {
            Vec2 base0 = local(spike[0] - 16, 0.95 + grow);
            Vec2 tip = local(spike[0], spike[1] + grow * 1.3) + windDir * (spike[1] * 0.6);
            Vec2 base1 = local(spike[0] + 16, 0.95 + grow);
            cairo_line_to(cr, base0.x, base0.y);
            cairo_line_to(cr, tip.x, tip.y);
            cairo_line_to(cr, base1.x, base1.y);
        }
        Vec2 nape = local(250, 0.9 + grow);
        cairo_line_to(cr, nape.x, nape.y);
        cairo_line_to(cr, h.centre.x, h.centre.y);
        cairo_close_path(cr);
    };
    hairPath(kOutline / h.r);
    SetColour(cr, look.outline);
    cairo_fill(cr);
    hairPath(0);
    FillShaded(cr, look.hair, h.centre, h.r * 1.6);
}

void PaintAntennae(cairo_t* cr, const FighterLook& look, const HeadFrame& h, Vec2 windDir) {
    for (int i = 1; i >= 0; --i) {
        Vec2 root = h.At(0.35 - 0.3 * i, 0.8);
        Vec2 bend = h.At(0.1 - 0.35 * i, 1.5) + windDir * 0.5;
        Vec2 tip = h.At(-0.5 - 0.35 * i, 1.85) + windDir * 1.0;
        Rgb c = i == 1 ? Shade(look.skin, 0.72) : look.skin;
        for (int pass = 0; pass < 2; ++pass) {
            cairo_new_path(cr);
            cairo_move_to(cr, root.x, root.y);
            cairo_curve_to(cr, bend.x, bend.y, bend.x, bend.y, tip.x, tip.y);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            // Thinner outline than the body's: at full width the stalks would
            // read as a dark tuft.
            cairo_set_line_width(cr, pass == 0 ? 2.2 : 1.0);
            SetColour(cr, pass == 0 ? look.outline : c);
            cairo_stroke(cr);
        }
        cairo_new_path(cr);
        cairo_arc(cr, tip.x, tip.y, 1.1, 0, 2 * 3.14159265358979323846);
        SetColour(cr, Shade(c, 1.1, 20));
        cairo_fill(cr);
    }
}

void PaintFace(cairo_t* cr, const FighterLook& look, const HeadFrame& h, Face face) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, look.eye);
    Vec2 eye = h.At(0.55, -0.1);
    switch (face) {
        case Face::Calm:
        case Face::Strain: {
            // At this size an eye is two whole pixels; an antialiased stroke would
            // melt into the skin.
            double ex = std::floor(eye.x);
            double ey = std::floor(eye.y);
            cairo_new_path(cr);
            cairo_rectangle(cr, ex, ey - 1, 1, 2);
            cairo_fill(cr);
            // A brow over it, lower at the front: a determined look.
            cairo_rectangle(cr, ex - 1, ey - (face == Face::Strain ? 1.6 : 2), 2, 1);
            SetColour(cr, look.outline);
            cairo_fill(cr);
            break;
        }
        case Face::Hurt: {
            Vec2 a = h.At(0.3, 0.32);
            Vec2 b = h.At(0.62, 0.08);
            Vec2 c = h.At(0.3, -0.16);
            cairo_new_path(cr);
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x, b.y);
            cairo_line_to(cr, c.x, c.y);
            cairo_stroke(cr);
            break;
        }
        case Face::Out: {
            for (int k = 0; k < 2; ++k) {
                Vec2 a = eye + h.up * 0.6 + h.forward * (k == 0 ? -0.6 : 0.6);
                Vec2 b = eye - h.up * 0.6 - h.forward * (k == 0 ? -0.6 : 0.6);
                cairo_new_path(cr);
                cairo_move_to(cr, a.x, a.y);
                cairo_line_to(cr, b.x, b.y);
                cairo_stroke(cr);
            }
            break;
        }
    }
}

void PaintHead(cairo_t* cr, const FighterLook& look, const Proportions& body, const Skeleton& s,
               const FighterPose& pose) {
    HeadFrame h{s.head, Dir(s.headAngle), Dir(s.headAngle + 90), body.headRadius};
    Vec2 windDir = Dir(pose.wind);
    Capsule(cr, s.neck - Dir(s.spine) * 1.0, s.head, 1.7, 1.5, Shade(look.skin, 0.85),
            look.outline);
    if (look.headStyle == HeadStyle::Antennae) {
        PaintAntennae(cr, look, h, windDir);
    }
    // Faces turn toward the shaded side, so heads are shaded more softly.
    Disc(cr, h.centre, h.r, look.skin, look.outline, 0.84);
    if (look.headStyle == HeadStyle::Spikes) {
        PaintSpikes(cr, look, h, windDir);
    } else {
        // A pointed ear at the back of the head.
        Vec2 e0 = h.At(-0.55, 0.35);
        Vec2 e1 = h.At(-1.45, 0.75);
        Vec2 e2 = h.At(-0.45, -0.25);
        for (int pass = 0; pass < 2; ++pass) {
            cairo_new_path(cr);
            cairo_move_to(cr, e0.x, e0.y);
            cairo_line_to(cr, e1.x, e1.y);
            cairo_line_to(cr, e2.x, e2.y);
            cairo_close_path(cr);
            if (pass == 0) {
                cairo_set_line_width(cr, 2 * kOutline);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                SetColour(cr, look.outline);
                cairo_stroke_preserve(cr);
                cairo_new_path(cr);
            } else {
                SetColour(cr, Shade(look.skin, 0.8));
                cairo_fill(cr);
            }
        }
    }
    PaintFace(cr, look, h, pose.face);
}

void PaintCape(cairo_t* cr, const FighterLook& look, const Skeleton& s, double wind) {
    // The cape hangs from the shoulders, first along the back, then into the wind;
    // a ribbon widening toward a fluttering hem.
    Vec2 back = Dir(s.spine - 90);
    Vec2 p0 = s.shoulder + back * 1.5;
    Vec2 p1 = p0 + back * 3.0 + Dir(s.spine + 180) * 4.0;
    Vec2 p2 = p0 + Dir(wind) * 16.5;
    constexpr int kSteps = 12;
    std::array<Vec2, kSteps + 1> left{};
    std::array<Vec2, kSteps + 1> right{};
    for (int i = 0; i <= kSteps; ++i) {
        double t = double(i) / kSteps;
        Vec2 c = p0 * ((1 - t) * (1 - t)) + p1 * (2 * t * (1 - t)) + p2 * (t * t);
        Vec2 tangent = (p1 - p0) * (2 * (1 - t)) + (p2 - p1) * (2 * t);
        double len = std::max(tangent.Length(), 1e-6);
        Vec2 n{-tangent.y / len, tangent.x / len};
        double w = 1.8 + 5.2 * t;
        double flutter = std::sin(t * 7.5 + wind * 0.05) * 0.9 * t;
        left[i] = c + n * (w + flutter);
        right[i] = c - n * (w - flutter);
    }
    auto path = [&](double grow) {
        cairo_new_path(cr);
        cairo_move_to(cr, left[0].x, left[0].y);
        for (int i = 1; i <= kSteps; ++i) {
            cairo_line_to(cr, left[i].x, left[i].y);
        }
        // Hem: three scallops between the two edges.
        Vec2 a = left[kSteps];
        Vec2 b = right[kSteps];
        Vec2 out = Dir(wind) * (1.6 + grow);
        for (int k = 1; k <= 3; ++k) {
            Vec2 mid = a + (b - a) * ((k - 0.5) / 3.0) + out;
            Vec2 next = a + (b - a) * (k / 3.0);
            cairo_line_to(cr, mid.x, mid.y);
            cairo_line_to(cr, next.x, next.y);
        }
        for (int i = kSteps; i >= 0; --i) {
            cairo_line_to(cr, right[i].x, right[i].y);
        }
        cairo_close_path(cr);
    };
    path(kOutline);
    cairo_set_line_width(cr, 2 * kOutline);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, look.outline);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    path(0);
    cairo_pattern_t* p = cairo_pattern_create_linear(p0.x, p0.y, p2.x, p2.y);
    AddStop(p, 0.0, Shade(look.cape, 0.7));
    AddStop(p, 0.5, look.cape);
    AddStop(p, 1.0, Shade(look.cape, 1.15, 10));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void PaintGlow(cairo_t* cr, const FighterLook& look, Vec2 at, double radius) {
    const double tau = 2 * 3.14159265358979323846;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 6; ++k) {
        Vec2 d = Dir(k * 60.0 + 17.0);
        Vec2 a = at + d * (radius * 0.8);
        Vec2 b = at + d * (radius * (k % 2 == 0 ? 1.9 : 1.55));
        cairo_new_path(cr);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_set_line_width(cr, 1.4);
        SetColour(cr, look.glowInner);
        cairo_stroke(cr);
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
    static constexpr double kLines[3][3] = {{-7, 10, 5}, {0, 14, 7}, {7, 11, 5}};
    // Ends on pixel centres keep straight lines one crisp pixel wide after the cut.
    auto snap = [](Vec2 p) { return Vec2{std::floor(p.x) + 0.5, std::floor(p.y) + 0.5}; };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const auto& line : kLines) {
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
    if (look.hasCape) {
        PaintCape(cr, look, s, pose.wind);
    }
    PaintLeg(cr, look, body, s.farLeg, 0.72);
    PaintArm(cr, look, body, s.farArm, 0.72);
    if (look.hasBelt) {
        PaintBeltTail(cr, look, s, pose.wind);
    }
    PaintTorso(cr, look, body, s);
    PaintLeg(cr, look, body, s.nearLeg, 1.0);
    PaintHead(cr, look, body, s, pose);
    PaintArm(cr, look, body, s.nearArm, 1.0);
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
