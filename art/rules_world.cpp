// The rules world: the game's set-up reduced to the colour key, the blast
// shapes and the starting field.
#include "art/rules_world.h"

#include "art/art_digest.h"
#include "art/art_loading.h"
#include "art/asset_path.h"
#include "rules/headless_world.h"
#include "rules/starting_field.h"
#include "rules/world_state.h"

RulesArt SetUpRulesWorld() {
    RulesArt art;
    ClearWorld();
    const uint16_t key = LoadColourKey(&art.colourKeyRead);
    // Shapes from an earlier set-up go first, so a sheet that cannot be read
    // now leaves them empty, as in a game just started.
    for (RleSprite& shape : blastSprites) {
        delete[] shape.rleData;
        shape.rleData = nullptr;
    }
    // Bound to no screen: these shapes are carved, never drawn.
    art.blastSheetRead = CutSheet(blastSprites, blastSpriteCount, blastSpriteSide, blastSpriteSide,
                                  blastSpriteCount, "BLAST.BMP", key, nullptr) >= 0;
    art.artDigest = ArtDigest();
    BuildStartingField();
    return art;
}

std::string MissingBlastSheetNote() {
    return "BLAST.BMP was not found (looked in " + AssetSearchFolders() +
           "), so the blast shapes carve nothing";
}
