// World set-up: colour key, clip, sounds, sprite sheets, then the world itself.
#include "platform/set_up_world.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "art/art_loading.h"
#include "art/asset_path.h"
#include "engine/display/screen.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "rules/headless_world.h"
#include "rules/starting_field.h"

namespace {

// The art and sound files LoadArt could not use, for the screen that says so.
char artProblem[256] = {};

void NoteProblem(const char* name) {
    // Once each (the charge sound is loaded twice).
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(artProblem, name); at != nullptr;
         at = std::strstr(at + 1, name)) {
        if ((at == artProblem || at[-1] == ' ') && (at[length] == ',' || at[length] == '\0')) {
            return;
        }
    }
    const size_t used = std::strlen(artProblem);
    std::snprintf(artProblem + used, sizeof artProblem - used, "%s%s", used > 0 ? ", " : "", name);
}

void ReportUnreadable(const char* name) {
    std::fprintf(stderr, "kivoro: cannot read %s (looked in %s); playing on without it\n", name,
                 AssetSearchFolders().c_str());
    NoteProblem(name);
}

void LoadSound(SoundBuffer& sound, const char* name) {
    const std::string path = AssetPath(name);
    if (sound.LoadFromFile(&soundDevice, path.c_str(), 1) != 0 && !soundDevice.muted &&
        soundDevice.directSound != nullptr) {
        ReportUnreadable(name);
    }
}

// Cuts a sheet's sprites, bound to the screen, and names a file that cannot be
// read or holds fewer pictures than the game cuts from it.
void LoadSheet(RleSprite* sprites, int32_t count, int32_t w, int32_t h, int32_t perRow,
               const char* name, uint16_t key) {
    const int32_t cut = CutSheet(sprites, count, w, h, perRow, name, key, &screen);
    if (cut < 0) {
        ReportUnreadable(name);
    } else if (cut != count) {
        std::fprintf(stderr, "kivoro: %s holds only %d of its %d pictures\n", name, cut, count);
        NoteProblem(name);
    }
}

}  // namespace

namespace {

bool artLoaded = false;

}  // namespace

bool ArtLoaded() {
    // The blast shapes bound to the screen tell that the art loaded for
    // drawing is in place; shapes cut again for the rules alone are bound to
    // no screen.
    return artLoaded && blastSprites[0].screen == &screen;
}

const char* ArtProblem() {
    return artProblem;
}

void LoadArt() {
    if (ArtLoaded()) {
        return;
    }
    artLoaded = true;
    artProblem[0] = '\0';
    const uint16_t key = LoadColourKey();
    screen.clip = pictureClip;

    LoadSound(blastSoundFirst, "ZEMBA2.WAV");
    LoadSound(blastSoundSecond, "SOUND_2.WAV");
    LoadSound(chargeSoundA, "EDIT.WAV");
    LoadSound(chargeSoundB, "EDIT.WAV");

    LoadSheet(blastSprites, blastSpriteCount, blastSpriteSide, blastSpriteSide, blastSpriteCount,
              "BLAST.BMP", key);
    LoadSheet(dirtTiles, dirtTileCount, dirtTileSide, dirtTileSide, dirtSheetColumns, "DIRT.BMP",
              key);
    LoadSheet(secondFighterFrames, secondFighterFrameCount, fighterSize, fighterSize,
              fighterSheetColumns, "MELSAR.BMP", key);
    LoadSheet(firstFighterFrames, firstFighterFrameCount, fighterSize, fighterSize,
              fighterSheetColumns, "TORVIK.BMP", key);
    LoadSheet(&reticleSprite, 1, reticleSide, reticleSide, 1, "TARGET.BMP", key);
}

void SetUpWorld() {
    LoadArt();
    ClearWorld();
    BuildStartingField();
}
