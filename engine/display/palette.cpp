// Palette: entries, SDL palette hand-over, loaders, fades and lookup tables.
#include "engine/display/palette.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/display/engine_support.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

constexpr size_t entryBytes = paletteEntryCount * 4;
constexpr size_t rawBytes = paletteEntryCount * 3;
constexpr long bmpHeaderBytes = 54;  // 14-byte file header + 40-byte information header

// Hands 256 colours (red, green, blue, flags per entry) to an SDL palette. SDL
// reads the fourth byte as alpha, so the colours go over opaque.
int HandOver(SDL_Palette* platform, const uint8_t* colours) {
    SDL_Color converted[paletteEntryCount];
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        converted[i] =
            SDL_Color{colours[4 * i], colours[4 * i + 1], colours[4 * i + 2], SDL_ALPHA_OPAQUE};
    }
    return SDL_SetPaletteColors(platform, converted, 0, paletteEntryCount) == 0 ? 0
                                                                                : PaletteRefused;
}

// Loads as many whole raw triples as `length` bytes hold.
void LoadTriples(uint8_t* entries, const uint8_t* bytes, size_t length) {
    const size_t count = std::min<size_t>(length / 3, paletteEntryCount);
    for (size_t i = 0; i < count; ++i) {
        entries[4 * i] = bytes[3 * i];
        entries[4 * i + 1] = bytes[3 * i + 1];
        entries[4 * i + 2] = bytes[3 * i + 2];
    }
}

// Loads the entries of a bitmap colour table (blue, green, red, reserved) whose
// three colour bytes lie within `length`.
void LoadQuads(uint8_t* entries, const uint8_t* table, size_t length) {
    for (size_t i = 0; i < paletteEntryCount && 4 * i + 3 <= length; ++i) {
        entries[4 * i] = table[4 * i + 2];
        entries[4 * i + 1] = table[4 * i + 1];
        entries[4 * i + 2] = table[4 * i];
    }
}

// Opens a file for reading, hands it to `read` and closes it; a file that
// cannot be opened changes nothing.
template <typename Read>
void ReadFile(const char* fileName, Read read) {
    FILE* file = fileName != nullptr ? std::fopen(fileName, "rb") : nullptr;
    if (file == nullptr) {
        return;
    }
    read(file);
    std::fclose(file);
}

}  // namespace

Palette::~Palette() {
    if (platformPalette != nullptr) {
        SDL_FreePalette(platformPalette);
        platformPalette = nullptr;
    }
    delete[] entries;
    entries = nullptr;
    delete[] shadeTable;
    shadeTable = nullptr;
    delete[] inverseMap;
    inverseMap = nullptr;
    delete[] pixelTable;
    pixelTable = nullptr;
}

int Palette::CreateForScreen(Screen* newScreen, bool allow256) {
    screen = newScreen;
    if (platformPalette != nullptr) {
        SDL_FreePalette(platformPalette);
        platformPalette = nullptr;
    }
    delete[] entries;
    entries = new uint8_t[entryBytes]();
    // SDL reserves no entries for the system, so the flag is only recorded.
    createFlags = allow256 ? PaletteAllow256 : 0;
    platformPalette = SDL_AllocPalette(paletteEntryCount);
    if (platformPalette == nullptr) {
        return PaletteCreateFailed;
    }
    // A new SDL palette is white; the platform palette starts with the entries.
    if (HandOver(platformPalette, entries) != 0) {
        SDL_FreePalette(platformPalette);
        platformPalette = nullptr;
        return PaletteCreateFailed;
    }
    return 0;
}

int Palette::AttachToScreen() {
    if (screen == nullptr) {
        return 0;
    }
    for (Surface* surface : {screen->frontSurface, screen->backSurface}) {
        if (surface != nullptr && surface->platformSurface != nullptr) {
            const int result = surface->SetPalette(this);
            if (result != 0) {
                return result;
            }
        }
    }
    return 0;
}

void Palette::SetEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue) {
    if (entries == nullptr) {
        return;
    }
    entries[4 * index] = red;
    entries[4 * index + 1] = green;
    entries[4 * index + 2] = blue;
}

uint32_t Palette::EntryToPixel(int32_t index) const {
    if (entries == nullptr || index < 0 || index >= paletteEntryCount || screen == nullptr ||
        screen->pixelFormat == nullptr) {
        return 0;
    }
    const uint8_t* entry = entries + 4 * index;
    return screen->pixelFormat->Pack(entry[0], entry[1], entry[2]);
}

uint32_t Palette::EntryToRgb(int32_t index) const {
    if (entries == nullptr || index < 0 || index >= paletteEntryCount) {
        return 0;
    }
    const uint8_t* entry = entries + 4 * index;
    return entry[0] | (uint32_t{entry[1]} << 8) | (uint32_t{entry[2]} << 16);
}

int32_t Palette::NearestToPixel(uint32_t pixel) const {
    if (entries == nullptr || screen == nullptr || screen->pixelFormat == nullptr) {
        return 0;
    }
    const PixelFormat& format = *screen->pixelFormat;
    return NearestToRgb(static_cast<int32_t>(format.RedOf(pixel)),
                        static_cast<int32_t>(format.GreenOf(pixel)),
                        static_cast<int32_t>(format.BlueOf(pixel)));
}

int32_t Palette::NearestToRgb(int32_t red, int32_t green, int32_t blue) const {
    if (entries == nullptr) {
        return 0;
    }
    int32_t best = 768;
    int32_t answer = 0;
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        const uint8_t* entry = entries + 4 * i;
        const int32_t distance =
            std::abs(red - entry[0]) + std::abs(green - entry[1]) + std::abs(blue - entry[2]);
        if (distance == 0) {
            return i;
        }
        if (distance < best) {
            best = distance;
            answer = i;
        }
    }
    return answer;
}

void Palette::LoadRawFromMemory(const uint8_t* bytes, size_t length) {
    if (entries == nullptr || bytes == nullptr) {
        return;
    }
    LoadTriples(entries, bytes, length);
}

void Palette::LoadRawFromStream(FILE* file) {
    if (entries == nullptr || file == nullptr) {
        return;
    }
    uint8_t raw[rawBytes];
    const size_t got = std::fread(raw, 1, sizeof raw, file);
    LoadTriples(entries, raw, got);
}

void Palette::LoadRawFromFile(const char* fileName) {
    if (entries != nullptr) {
        ReadFile(fileName, [this](FILE* file) { LoadRawFromStream(file); });
    }
}

void Palette::LoadBmpFromMemory(const uint8_t* bytes, size_t length) {
    if (entries == nullptr || bytes == nullptr || length <= bmpHeaderBytes) {
        return;
    }
    LoadQuads(entries, bytes + bmpHeaderBytes, length - bmpHeaderBytes);
}

void Palette::LoadBmpFromStream(FILE* file) {
    if (entries == nullptr || file == nullptr) {
        return;
    }
    if (std::fseek(file, bmpHeaderBytes, SEEK_CUR) != 0) {
        return;
    }
    uint8_t table[entryBytes];
    const size_t got = std::fread(table, 1, sizeof table, file);
    LoadQuads(entries, table, got);
}

void Palette::LoadBmpFromFile(const char* fileName) {
    if (entries != nullptr) {
        ReadFile(fileName, [this](FILE* file) { LoadBmpFromStream(file); });
    }
}

void Palette::LoadPcxFromMemory(const uint8_t* bytes, size_t length) {
    if (entries == nullptr || bytes == nullptr || length < rawBytes) {
        return;
    }
    LoadTriples(entries, bytes + (length - rawBytes), rawBytes);
}

void Palette::LoadPcxFromStream(FILE* file, int32_t length) {
    if (entries == nullptr || file == nullptr || length < static_cast<int32_t>(rawBytes)) {
        return;
    }
    if (std::fseek(file, length - static_cast<long>(rawBytes), SEEK_CUR) != 0) {
        return;
    }
    uint8_t raw[rawBytes];
    const size_t got = std::fread(raw, 1, sizeof raw, file);
    LoadTriples(entries, raw, got);
}

void Palette::LoadPcxFromFile(const char* fileName) {
    if (entries != nullptr) {
        ReadFile(fileName, [this](FILE* file) { LoadPcxFromStream(file, FileLength(file)); });
    }
}

int Palette::Apply() {
    if (platformPalette == nullptr || entries == nullptr) {
        return PaletteMissing;
    }
    return HandOver(platformPalette, entries);
}

int Palette::SetBrightness(int32_t level) {
    if (platformPalette == nullptr || entries == nullptr) {
        return PaletteMissing;
    }
    const int32_t scale = std::clamp(level, 0, 255);
    uint8_t scaled[entryBytes];
    for (size_t i = 0; i < entryBytes; i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            scaled[i + c] = static_cast<uint8_t>(std::min(entries[i + c] * scale / 255, 255));
        }
        scaled[i + 3] = 0;
    }
    return HandOver(platformPalette, scaled);
}

int Palette::FadeOut(int32_t pauseMs) {
    if (platformPalette == nullptr || entries == nullptr) {
        return PaletteMissing;
    }
    for (int32_t level = 255; level >= 0; --level) {
        SetBrightness(level);
        if (pauseMs > 0) {
            SDL_Delay(static_cast<Uint32>(pauseMs));
        }
    }
    return 0;
}

int Palette::FadeIn(int32_t pauseMs) {
    if (platformPalette == nullptr || entries == nullptr) {
        return PaletteMissing;
    }
    for (int32_t level = 0; level <= 255; ++level) {
        SetBrightness(level);
        if (pauseMs > 0) {
            SDL_Delay(static_cast<Uint32>(pauseMs));
        }
    }
    return 0;
}

int Palette::BuildLookupTables() {
    if (platformPalette == nullptr || entries == nullptr) {
        return PaletteMissing;
    }
    delete[] shadeTable;
    delete[] inverseMap;
    shadeTable = new uint16_t[paletteEntryCount * paletteShadeLevels];
    inverseMap = new uint8_t[paletteInverseMapSize];

    for (int32_t k = 0; k < paletteShadeLevels; ++k) {
        for (int32_t i = 0; i < paletteEntryCount; ++i) {
            const uint8_t* entry = entries + 4 * i;
            const int32_t red = k * entry[0] / 31;
            const int32_t green = k * entry[1] / 31;
            const int32_t blue = k * entry[2] / 31;
            shadeTable[i + paletteEntryCount * k] =
                static_cast<uint16_t>(((red & 0xF8) << 7) | ((green & 0xF8) << 2) | (blue >> 3));
        }
    }
    for (int32_t r = 0; r < 32; ++r) {
        for (int32_t g = 0; g < 32; ++g) {
            for (int32_t b = 0; b < 32; ++b) {
                inverseMap[(r << 10) | (g << 5) | b] =
                    static_cast<uint8_t>(NearestToRgb(8 * r, 8 * g, 8 * b));
            }
        }
    }
    return 0;
}

int Palette::BuildPixelTable() {
    if (entries == nullptr || screen == nullptr || screen->pixelFormat == nullptr ||
        screen->pixelFormat->bitsPerPixel <= 8) {
        return 0;
    }
    if (pixelTable == nullptr) {
        pixelTable = new uint32_t[paletteEntryCount];
    }
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        pixelTable[i] = EntryToPixel(i);
    }
    return 0;
}
