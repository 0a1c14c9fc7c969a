// Fighter skeletons: named joints placed from a pose of bone angles, the editable
// form of every animation frame. Angles are degrees in screen space: 0 points
// right, 90 down, -90 up, like the game's aim.
#pragma once

#include <cmath>
#include <cstdint>

struct Vec2 {
    double x = 0;
    double y = 0;
    Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(double k) const { return {x * k, y * k}; }
    double Length() const { return std::hypot(x, y); }
};

inline Vec2 Dir(double degrees) {
    double r = degrees * 3.14159265358979323846 / 180.0;
    return {std::cos(r), std::sin(r)};
}

// One arm or leg. Normally its two bones take the absolute angles upper and
// lower; with reach set, the joint between them is bent (toward the side given by
// bend, +1 or -1) so that the limb's end lands exactly on target.
struct LimbPose {
    double upper = 90;
    double lower = 90;
    bool reach = false;
    Vec2 target;
    int bend = 1;
    // Hand or foot direction relative to the lower bone: 0 carries on along it,
    // -90 turns toward the front (the fighter faces right).
    double end = -80;
};

enum class Face : uint8_t { Calm, Strain, Hurt, Out };

struct FighterPose {
    Vec2 pelvis;
    double spine = -90;  // from the pelvis to the base of the neck
    double head = -90;   // from the base of the neck to the head's centre
    LimbPose nearArm;
    LimbPose farArm;
    LimbPose nearLeg;
    LimbPose farLeg;
    double wind = 95;  // where hair and cloth stream to
    double glow = 0;   // radius of ki gathered at the hands; 0 for none
    Face face = Face::Calm;
    bool dizzy = false;    // stars circling the head
    bool streaks = false;  // speed lines behind a flying fighter, against travel
    double travel = 0;     // direction of flight, for the speed lines
};

// Bone lengths and thicknesses, in pixels.
struct Proportions {
    double spine = 11;
    double shoulderAt = 0.85;  // shoulders sit this far up the spine
    double neck = 2;
    double headRadius = 5;
    double upperArm = 7;
    double foreArm = 7;
    double thigh = 8;
    double shin = 8;
    double foot = 3.5;
    double waist = 3.5;
    double chest = 5;
    double armWidth = 2.1;
    double legWidth = 2.5;
    double fist = 2.3;
};

struct LimbJoints {
    Vec2 root;
    Vec2 middle;  // elbow or knee
    Vec2 end;     // hand or ankle
    Vec2 tip;     // toe, or the hand's centre for arms
    double upper = 0;
    double lower = 0;
};

struct Skeleton {
    Vec2 pelvis;
    Vec2 shoulder;
    Vec2 neck;
    Vec2 head;
    double spine = -90;
    double headAngle = -90;
    LimbJoints nearArm;
    LimbJoints farArm;
    LimbJoints nearLeg;
    LimbJoints farLeg;
};

Skeleton SolveSkeleton(const FighterPose& pose, const Proportions& body);
