// Painting a posed fighter with cairo: shaded capsules for limbs and torso,
// outlines for readability at 48 x 48, and each character's own headgear,
// armour and streaming cloth.
#pragma once

#include <cairo.h>

#include "raster_image.h"
#include "skeleton.h"

// Helmet: a rounded helm with a short fin crest and a visor slit, the jaw bare
// below it. Hood: a deep cowl, its tip trailing in the wind, over a shadowed face
// in which only the eyes glow.
enum class HeadStyle : uint8_t { Helmet, Hood };

struct FighterLook {
    HeadStyle headStyle = HeadStyle::Helmet;
    Rgb skin;      // what shows of the face and neck
    Rgb headGear;  // helmet shell or hood
    Rgb crest;     // the helmet's fin
    Rgb torso;     // undersuit or coat body
    Rgb sleeves;   // upper arms
    Rgb legs;
    Rgb boots;
    Rgb foreArms;  // bracers or bandages
    Rgb hands;     // gauntlets or wrapped hands
    Rgb armour;    // chest plate, shoulder and knee guards
    Rgb trim;      // coat edges and sleeve cuffs
    Rgb cloth;     // scarf or coat tails
    Rgb eye;       // visor light or glowing eyes
    Rgb outline;
    Rgb glowInner;
    Rgb glowOuter;
    bool hasChestPlate = false;
    bool hasShoulderGuards = false;
    bool hasKneeGuards = false;
    bool hasGauntlets = false;  // a flared cuff at the wrist and a heavier fist
    bool hasScarf = false;
    bool hasCoat = false;      // trimmed front edge, cuffed sleeves and coat tails
    bool hasBandages = false;  // wraps across the forearms
};

// Draws the fighter onto cr (an ARGB32 surface, transparent where nothing is).
void PaintFighter(cairo_t* cr, const FighterLook& look, const Proportions& body,
                  const FighterPose& pose);
