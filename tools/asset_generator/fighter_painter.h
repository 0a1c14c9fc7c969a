// Painting a posed fighter with cairo: shaded capsules for limbs and torso,
// outlines for readability at 48 x 48, and each character's own head, hair,
// armour and cape.
#pragma once

#include <cairo.h>

#include "raster_image.h"
#include "skeleton.h"

enum class HeadStyle : uint8_t { Spikes, Antennae };

struct FighterLook {
    HeadStyle headStyle = HeadStyle::Spikes;
    Rgb skin;
    Rgb hair;
    Rgb suit;  // torso, sleeves and trousers
    Rgb trim;  // belt, wristbands, undershirt
    Rgb boots;
    Rgb hands;     // bare fists or gloves
    Rgb foreArms;  // bare skin or sleeves
    Rgb chestPlate;
    Rgb cape;
    Rgb eye;
    Rgb outline;
    Rgb glowInner;
    Rgb glowOuter;
    bool hasBelt = false;
    bool hasChestPlate = false;
    bool hasShoulderPads = false;
    bool hasCape = false;
};

// Draws the fighter onto cr (an ARGB32 surface, transparent where nothing is).
void PaintFighter(cairo_t* cr, const FighterLook& look, const Proportions& body,
                  const FighterPose& pose);
