// Forward kinematics for the fighters' poses, with a two-bone reach for limbs
// that must end on a fixed point (the hands at the launch point).
#include "skeleton.h"

#include <algorithm>

namespace {

double Degrees(Vec2 v) {
    return std::atan2(v.y, v.x) * 180.0 / 3.14159265358979323846;
}

LimbJoints SolveLimb(Vec2 root, const LimbPose& limb, double upperLength, double lowerLength,
                     double endLength) {
    LimbJoints j;
    j.root = root;
    if (limb.reach) {
        Vec2 toTarget = limb.target - root;
        double d = std::clamp(toTarget.Length(), std::abs(upperLength - lowerLength) + 0.01,
                              upperLength + lowerLength - 0.01);
        // Law of cosines: the angle between the reach line and the upper bone.
        double cosA =
            (upperLength * upperLength + d * d - lowerLength * lowerLength) / (2 * upperLength * d);
        double a = std::acos(std::clamp(cosA, -1.0, 1.0)) * 180.0 / 3.14159265358979323846;
        j.upper = Degrees(toTarget) + a * limb.bend;
        j.middle = root + Dir(j.upper) * upperLength;
        j.lower = Degrees(limb.target - j.middle);
        j.end = j.middle + Dir(j.lower) * lowerLength;
    } else {
        j.upper = limb.upper;
        j.lower = limb.lower;
        j.middle = root + Dir(j.upper) * upperLength;
        j.end = j.middle + Dir(j.lower) * lowerLength;
    }
    j.tip = j.end + Dir(j.lower + limb.end) * endLength;
    return j;
}

}  // namespace

Skeleton SolveSkeleton(const FighterPose& pose, const Proportions& body) {
    Skeleton s;
    s.spine = pose.spine;
    s.headAngle = pose.head;
    s.pelvis = pose.pelvis;
    s.shoulder = pose.pelvis + Dir(pose.spine) * (body.spine * body.shoulderAt);
    s.neck = pose.pelvis + Dir(pose.spine) * body.spine;
    s.head = s.neck + Dir(pose.head) * (body.neck + body.headRadius);
    s.nearArm = SolveLimb(s.shoulder, pose.nearArm, body.upperArm, body.foreArm, 0);
    s.farArm = SolveLimb(s.shoulder, pose.farArm, body.upperArm, body.foreArm, 0);
    s.nearLeg = SolveLimb(s.pelvis, pose.nearLeg, body.thigh, body.shin, body.foot);
    s.farLeg = SolveLimb(s.pelvis, pose.farLeg, body.thigh, body.shin, body.foot);
    return s;
}
