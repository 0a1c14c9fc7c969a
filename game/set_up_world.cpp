// World set-up: colour key, clip, sounds, sprite sheets, then the world itself.
#include "game/set_up_world.h"

#include <cstdio>
#include <string>

#include "engine/display/screen.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "game/asset_path.h"
#include "game/game_objects.h"
#include "game/starting_field.h"
#include "sprites/bitmap_image.h"

namespace {

void ReportUnreadable(const char* name) {
    std::fprintf(stderr, "kivoro: cannot read %s (looked in %s); playing on without it\n", name,
                 AssetSearchFolders().c_str());
}

uint16_t LoadColourKey() {
    BitmapImage image;
    const std::string path = AssetPath("TORVIK.BMP");
    uint16_t key = FallbackColourKey();
    if (image.Load(path.c_str()) == 1 && image.infoHeader.biBitCount == 16) {
        // The top-left pixel of the first fighter's sheet marks every transparent pixel.
        key = reinterpret_cast<const uint16_t*>(image.pixels)[0];
    }
    image.ReleasePixels();
    return key;
}

void LoadSound(SoundBuffer& sound, const char* name) {
    const std::string path = AssetPath(name);
    if (sound.LoadFromFile(&soundDevice, path.c_str(), 1) != 0 && !soundDevice.muted &&
        soundDevice.directSound != nullptr) {
        ReportUnreadable(name);
    }
}

// Binds count sprites of w x h and cuts sprite j from cell (j mod perRow,
// j div perRow) of the sheet. The sheet is read once for all its cells.
void CutSheet(RleSprite* sprites, int32_t count, int32_t w, int32_t h, int32_t perRow,
              const char* name, uint16_t key) {
    for (int32_t j = 0; j < count; ++j) {
        sprites[j].Bind(&screen, w, h);
    }
    BitmapImage sheet;
    const std::string path = AssetPath(name);
    if (sheet.Load(path.c_str()) != 1) {
        ReportUnreadable(name);
        return;
    }
    int32_t cut = 0;
    for (int32_t j = 0; j < count; ++j) {
        cut += sprites[j].LoadCellFromImage(sheet, j % perRow, j / perRow, EncodingKeyed, key);
    }
    sheet.ReleasePixels();
    if (cut != count) {
        std::fprintf(stderr, "kivoro: %s holds only %d of its %d pictures\n", name, cut, count);
    }
}

}  // namespace

uint16_t FallbackColourKey() {
#if KIVORO_PIXEL_565
    return 0xF81F;
#else
    return 0x7C1F;
#endif
}

void SetUpWorld() {
    const uint16_t key = LoadColourKey();
    screen.clip = Rect{0, 0, 799, 599};

    LoadSound(blastSoundFirst, "ZEMBA2.WAV");
    LoadSound(blastSoundSecond, "SOUND_2.WAV");
    LoadSound(chargeSoundA, "EDIT.WAV");
    LoadSound(chargeSoundB, "EDIT.WAV");

    CutSheet(blastSprites, blastSpriteCount, blastSpriteSide, blastSpriteSide, blastSpriteCount,
             "BLAST.BMP", key);
    CutSheet(dirtTiles, dirtTileCount, dirtTileSide, dirtTileSide, dirtSheetColumns, "DIRT.BMP",
             key);
    CutSheet(secondFighterFrames, secondFighterFrameCount, fighterSize, fighterSize,
             fighterSheetColumns, "MELSAR.BMP", key);
    CutSheet(firstFighterFrames, firstFighterFrameCount, fighterSize, fighterSize,
             fighterSheetColumns, "TORVIK.BMP", key);
    CutSheet(&reticleSprite, 1, reticleSide, reticleSide, 1, "TARGET.BMP", key);

    BuildStartingField();
}
