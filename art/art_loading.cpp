// The colour key and sheet cutting, each file found through AssetPath.
#include "art/art_loading.h"

#include <string>

#include "art/asset_path.h"
#include "sprites/bitmap_image.h"
#include "sprites/rle_sprite.h"

uint16_t FallbackColourKey() {
#if KIVORO_PIXEL_565
    return 0xF81F;
#else
    return 0x7C1F;
#endif
}

uint16_t LoadColourKey(bool* found) {
    BitmapImage image;
    const std::string path = AssetPath("TORVIK.BMP");
    uint16_t key = FallbackColourKey();
    bool read = false;
    if (image.Load(path.c_str()) == 1 && image.infoHeader.biBitCount == 16) {
        key = reinterpret_cast<const uint16_t*>(image.pixels)[0];
        read = true;
    }
    image.ReleasePixels();
    if (found != nullptr) {
        *found = read;
    }
    return key;
}

int32_t CutSheet(RleSprite* sprites, int32_t count, int32_t w, int32_t h, int32_t perRow,
                 const char* name, uint16_t key, Screen* screen) {
    for (int32_t j = 0; j < count; ++j) {
        sprites[j].Bind(screen, w, h);
    }
    BitmapImage sheet;
    const std::string path = AssetPath(name);
    if (sheet.Load(path.c_str()) != 1) {
        return -1;
    }
    int32_t cut = 0;
    for (int32_t j = 0; j < count; ++j) {
        cut += sprites[j].LoadCellFromImage(sheet, j % perRow, j / perRow, EncodingKeyed, key);
    }
    sheet.ReleasePixels();
    return cut;
}
