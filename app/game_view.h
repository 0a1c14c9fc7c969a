// Drawing a frame: the two split-screen views into the locked back surface
// with the run-length sprites, then the status panel's texts on top.
#pragma once

#include <cstdint>

// Draws view v (0 left, first fighter's camera; 1 right, second fighter's):
// terrain tiles, both fighters, every blast and the view's own reticle, clipped
// to the view. The back surface must be locked. Overwrites the Screen's clip.
void DrawView(int32_t v);

// Each player's health, ki and kills, then the frame rate, on the unlocked
// back surface.
void DrawStatusPanel();

// The whole picture of one frame: black fill, both views, the status panel.
void DrawFrame();

// The picture without the status panel: black fill and both views.
void DrawViews();
