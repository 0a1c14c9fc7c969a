// Pose tables and looks of the two fighters. The first is a stocky armoured
// brawler: a finned steel-blue helmet with a visor slit, plates over a dark
// undersuit, heavy gauntlets and boots, and a crimson scarf trailing in the wind.
// The second is a slender hooded figure: glowing eyes in a shadowed cowl, a moss
// green coat trimmed in amber whose tails stream behind, bandaged forearms.
// Frame order follows the game's state-to-frame tables.
#include "fighter_sheets.h"

#include <cairo.h>

#include <vector>

#include "fighter_painter.h"

namespace {

LimbPose Limb(double upper, double lower, double end = -80) {
    LimbPose l;
    l.upper = upper;
    l.lower = lower;
    l.end = end;
    return l;
}

// An arm whose hand lands on the fighter's launch point, as in the charging and
// firing frames.
LimbPose Reach(LaunchPoint launch) {
    LimbPose l;
    l.reach = true;
    l.target = {launch.x + 0.5, launch.y + 0.5};  // the centre of that pixel
    l.bend = 1;
    return l;
}

struct Frame {
    FighterPose pose;
    bool holdsLaunchPoint = false;
};

FighterPose Pose(Vec2 pelvis, double spine, double head, LimbPose nearArm, LimbPose farArm,
                 LimbPose nearLeg, LimbPose farLeg, double wind, double glow = 0,
                 Face face = Face::Calm, bool dizzy = false) {
    FighterPose p;
    p.pelvis = pelvis;
    p.spine = spine;
    p.head = head;
    p.nearArm = nearArm;
    p.farArm = farArm;
    p.nearLeg = nearLeg;
    p.farLeg = farLeg;
    p.wind = wind;
    p.glow = glow;
    p.face = face;
    p.dizzy = dizzy;
    return p;
}

// Marks a flight frame: speed lines trail behind it, away from travel. Falling
// frames go without: the lines would sit behind the head, and the streaming scarf
// or coat tails already show the fall.
void Flying(Frame& frame, double travel) {
    frame.pose.streaks = true;
    frame.pose.travel = travel;
}

FighterLook TorvikLook() {
    FighterLook look;
    look.headStyle = HeadStyle::Helmet;
    look.skin = {206, 150, 112};
    look.headGear = {104, 148, 212};
    look.crest = {200, 34, 46};
    look.torso = {38, 46, 90};
    look.sleeves = {38, 46, 90};
    look.legs = {38, 46, 90};
    look.boots = {74, 102, 158};
    look.foreArms = {104, 148, 212};
    look.hands = {74, 102, 158};
    look.armour = {116, 160, 222};
    look.cloth = {200, 34, 46};
    look.eye = {150, 240, 255};
    look.outline = {16, 18, 28};
    look.glowInner = {140, 230, 255};
    look.glowOuter = {40, 120, 255};
    look.hasChestPlate = true;
    look.hasShoulderGuards = true;
    look.hasKneeGuards = true;
    look.hasGauntlets = true;
    look.hasScarf = true;
    return look;
}

Proportions TorvikBody() {
    Proportions b;
    b.spine = 9.5;
    b.neck = 1.5;
    b.headRadius = 4.6;
    b.upperArm = 6.5;
    b.foreArm = 6.5;
    b.thigh = 7;
    b.shin = 7;
    b.foot = 3;
    b.waist = 3.2;
    b.chest = 4.5;
    b.armWidth = 1.9;
    b.legWidth = 2.2;
    b.fist = 2.1;
    return b;
}

std::vector<Frame> TorvikFrames() {
    std::vector<Frame> f(firstFighterFrameCount);
    // 0-2: hovering on guard, fists up, one knee drawn up; the cycle breathes
    // through arms and legs.
    for (int i = 0; i < 3; ++i) {
        double sway = i == 1 ? 8 : (i == 2 ? -7 : 0);
        f[i].pose =
            Pose({22, 25 + (i == 1 ? 0.5 : 0)}, -88, -86 + sway * 0.3, Limb(78 + sway, -48 + sway),
                 Limb(62 - sway, -66 - sway), Limb(96 - sway * 0.5, 100, -60),
                 Limb(58 + sway, 112 + sway, -55), 95 + sway * 2);
    }
    // 3: flying forward, level, head first with the arms swept back.
    f[3].pose = Pose({20, 27}, -14, -8, Limb(166, 178), Limb(158, 172), Limb(166, 196, 0),
                     Limb(172, 204, 0), 180);
    // 4: flying backward, leaning away with legs forward.
    f[4].pose = Pose({25, 26}, -118, -104, Limb(10, -40), Limb(40, -15), Limb(40, 82, -70),
                     Limb(62, 100, -70), 10);
    // 5: moving up, one fist raised, legs trailing straight.
    f[5].pose = Pose({22, 26}, -88, -84, Limb(-72, -82), Limb(104, 96), Limb(93, 97, 0),
                     Limb(86, 100, 0), 92);
    // 6: forward rising, diagonally up.
    f[6].pose = Pose({18, 30}, -45, -38, Limb(128, 150), Limb(-58, -46), Limb(124, 138, 0),
                     Limb(132, 152, 0), 135);
    // 7: never shown; a copy of the first hover frame keeps the sheet tidy.
    f[7] = f[0];
    // 8: moving down, arms raised, the scarf streaming up.
    f[8].pose = Pose({22, 26}, -91, -96, Limb(-142, -118), Limb(-40, -62), Limb(88, 93, 0),
                     Limb(94, 88, 0), -90);
    // 9: forward diving, head first.
    f[9].pose = Pose({19, 18}, 36, 42, Limb(172, 198), Limb(42, 40), Limb(-150, -160, 0),
                     Limb(-140, -170, 0), 215);
    // 10: charging, both hands cupped at the launch point around the gathering ki.
    f[10].pose = Pose({26, 27}, -76, -78, Reach(firstLaunchPoint), Reach(firstLaunchPoint),
                      Limb(58, 104, -70), Limb(118, 98, -75), 100, 4.2, Face::Strain);
    f[10].holdsLaunchPoint = true;
    // 11: firing, arms thrust out, the back leg pushed out behind.
    f[11].pose = Pose({24, 27}, -68, -72, Reach(firstLaunchPoint), Reach(firstLaunchPoint),
                      Limb(122, 150, -40), Limb(70, 104, -75), 170, 2.4, Face::Strain);
    f[11].holdsLaunchPoint = true;
    // 12: knocked back, thrown with limbs flung.
    f[12].pose = Pose({26, 26}, -142, -165, Limb(-60, -18), Limb(30, 62), Limb(24, 62, -60),
                      Limb(-8, 38, -60), 10, 0, Face::Hurt);
    // 13: crashed, slumped on its back, seeing stars.
    f[13].pose = Pose({30, 40}, 195, 205, Limb(128, 172), Limb(215, 195), Limb(-28, 42, -70),
                      Limb(6, 2, -80), 160, 0, Face::Out, true);
    Flying(f[3], 0);
    Flying(f[4], 180);
    Flying(f[5], -90);
    Flying(f[6], -45);
    Flying(f[9], 45);
    return f;
}

FighterLook MelsarLook() {
    FighterLook look;
    look.headStyle = HeadStyle::Hood;
    look.skin = {20, 18, 14};
    look.headGear = {100, 126, 42};
    look.torso = {100, 126, 42};
    look.sleeves = {100, 126, 42};
    look.legs = {96, 74, 36};
    look.boots = {58, 40, 24};
    look.foreArms = {228, 218, 192};
    look.hands = {228, 218, 192};
    look.trim = {232, 178, 56};
    look.eye = {255, 226, 110};
    look.outline = {20, 20, 14};
    look.glowInner = {255, 232, 150};
    look.glowOuter = {250, 150, 30};
    look.hasCoat = true;
    look.hasBandages = true;
    return look;
}

Proportions MelsarBody() {
    Proportions b;
    b.spine = 10.5;
    b.neck = 2;
    b.headRadius = 4.0;
    b.upperArm = 5.8;
    b.foreArm = 5.8;
    b.thigh = 7;
    b.shin = 7;
    b.foot = 2.6;
    b.waist = 2.9;
    b.chest = 4.0;
    b.armWidth = 1.7;
    b.legWidth = 2.05;
    b.fist = 1.7;
    return b;
}

std::vector<Frame> MelsarFrames() {
    std::vector<Frame> f(secondFighterFrameCount);
    // 0: idle, arms folded, coat tails hanging.
    f[0].pose = Pose({22, 26}, -90, -88, Limb(96, -8), Limb(100, -14), Limb(94, 92, -70),
                     Limb(84, 96, -70), 128);
    // 1: forward, level and streamlined.
    f[1].pose = Pose({21, 27}, -10, -6, Limb(170, 178), Limb(164, 176), Limb(176, 184, 0),
                     Limb(172, 190, 0), 182);
    // 2: backward, and diving forward: leaning away, one arm raised against the wind.
    f[2].pose = Pose({26, 26}, -116, -100, Limb(-20, -70), Limb(35, 10), Limb(45, 80, -70),
                     Limb(62, 96, -70), 8);
    // 3: forward rising.
    f[3].pose = Pose({18, 31}, -46, -40, Limb(140, 150), Limb(132, 144), Limb(132, 136, 0),
                     Limb(124, 140, 0), 140);
    // 4: moving up, arms at the sides.
    f[4].pose =
        Pose({22, 26}, -90, -90, Limb(98, 92), Limb(84, 86), Limb(92, 92, 0), Limb(86, 94, 0), 92);
    // 5: moving down, and diving backward: arms spread, coat tails streaming up.
    f[5].pose = Pose({22, 29}, -90, -94, Limb(150, 128), Limb(30, 52), Limb(90, 92, -20),
                     Limb(95, 88, -20), -140);
    // 6: charging with both hands at the launch point.
    f[6].pose = Pose({22, 28}, -84, -84, Reach(secondLaunchPoint), Reach(secondLaunchPoint),
                     Limb(70, 100, -70), Limb(112, 96, -70), 110, 3.8, Face::Strain);
    f[6].holdsLaunchPoint = true;
    // 7: firing, one arm thrust out, the other drawn back.
    f[7].pose = Pose({21, 28}, -86, -86, Reach(secondLaunchPoint), Limb(150, 100),
                     Limb(68, 100, -70), Limb(118, 100, -70), 165, 2.2, Face::Strain);
    f[7].holdsLaunchPoint = true;
    // 8: knocked back.
    f[8].pose = Pose({27, 25}, -146, -170, Limb(-70, -30), Limb(20, 70), Limb(20, 58, -60),
                     Limb(-4, 36, -60), 15, 0, Face::Hurt);
    // 9: crashed, slumped.
    f[9].pose = Pose({30, 38}, 195, 205, Limb(126, 176), Limb(212, 190), Limb(-30, 44, -70),
                     Limb(4, 2, -80), 15, 0, Face::Out, true);
    Flying(f[1], 0);
    Flying(f[2], 180);
    Flying(f[3], -45);
    Flying(f[4], -90);
    return f;
}

bool BuildSheet(RasterImage& sheet, const FighterLook& look, const Proportions& body,
                const std::vector<Frame>& frames, LaunchPoint launch, std::string& error) {
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        if (frame.holdsLaunchPoint) {
            Skeleton s = SolveSkeleton(frame.pose, body);
            Vec2 miss = s.nearArm.end - Vec2{launch.x + 0.5, launch.y + 0.5};
            if (miss.Length() > 0.75) {
                error = "frame " + std::to_string(i) + ": the hand cannot reach the launch point";
                return false;
            }
        }
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fighterSize, fighterSize);
        cairo_t* cr = cairo_create(surface);
        PaintFighter(cr, look, body, frame.pose);
        cairo_destroy(cr);
        int32_t column = int32_t(i) % fighterSheetColumns;
        int32_t row = int32_t(i) / fighterSheetColumns;
        sheet.CutFrom(surface, column * fighterSize, row * fighterSize);
        cairo_surface_destroy(surface);
    }
    if (!sheet.IsKey(0, 0)) {
        error = "the art covers the top-left pixel that carries the colour key";
        return false;
    }
    return true;
}

}  // namespace

bool BuildTorvikSheet(RasterImage& sheet, std::string& error) {
    return BuildSheet(sheet, TorvikLook(), TorvikBody(), TorvikFrames(), firstLaunchPoint, error);
}

bool BuildMelsarSheet(RasterImage& sheet, std::string& error) {
    return BuildSheet(sheet, MelsarLook(), MelsarBody(), MelsarFrames(), secondLaunchPoint, error);
}
