// Palette: the engine's 256-entry colour table for 8-bit display modes, its
// loaders (raw triples, a bitmap's colour table, a PCX file's tail), fades,
// nearest-colour searches and the shade and inverse lookup tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class Screen;
struct SDL_Palette;

// Result codes of the engine's shared numbering.
constexpr int PaletteCreateFailed = 34;  // the platform palette cannot be created
constexpr int PaletteRefused = 35;       // the platform palette or a surface refused the colours
constexpr int PaletteMissing = 52;       // no platform palette or no entries

// createFlags value of a palette that may use all 256 entries.
constexpr uint32_t PaletteAllow256 = 0x40;

constexpr int32_t paletteEntryCount = 256;
constexpr int32_t paletteShadeLevels = 32;
constexpr int32_t paletteInverseMapSize = 32768;

// Nothing but the constructor and destructor works without `entries`: the
// operations below do nothing (or answer 0, or 52 where they have a code)
// until CreateForScreen has run.
//
// Short sources: every loader reads only the bytes its source holds. An entry
// whose colour bytes are all present is loaded; the entries after the end of a
// short source keep their colours. A PCX source shorter than 768 bytes has no
// colour table and changes nothing.
class Palette {
public:
    Palette() = default;
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;
    virtual ~Palette();

    uint32_t* pixelTable = nullptr;  // 256 display pixels, built by BuildPixelTable
    uint32_t createFlags = 0;        // 0 or PaletteAllow256
    // 256 x 32 15-bit pixels (blue in bits 0-4, green 5-9, red 10-14): entry i
    // at brightness level k (0..31) is element i + 256 * k.
    uint16_t* shadeTable = nullptr;
    // 32768 entry indexes: element (r << 10) | (g << 5) | b, for 5-bit r, g, b,
    // is the entry nearest to (8r, 8g, 8b), so a 15-bit pixel indexes it directly.
    uint8_t* inverseMap = nullptr;
    Screen* screen = nullptr;                // not owned
    SDL_Palette* platformPalette = nullptr;  // owned; what 8-bit SDL surfaces show
    uint8_t* entries = nullptr;              // 256 x (red, green, blue, flags); flags stay 0

    // Starts over with 256 black entries and a new platform palette. 0 or 34.
    int CreateForScreen(Screen* screen, bool allow256);
    // Hands this palette to the Screen's front and back surfaces (those that
    // hold an SDL surface): the first refusal's code, else 0.
    int AttachToScreen();

    // Writes the colour bytes of one entry; the platform palette is not told.
    void SetEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue);
    // The entry in the Screen's pixel layout (0 without a Screen or pixel format).
    uint32_t EntryToPixel(int32_t index) const;
    // red | green << 8 | blue << 16.
    uint32_t EntryToRgb(int32_t index) const;
    // Index of the entry nearest (sum of channel differences) to a display
    // pixel or a colour; ties go to the lowest index.
    int32_t NearestToPixel(uint32_t pixel) const;
    int32_t NearestToRgb(int32_t red, int32_t green, int32_t blue) const;

    // 768 bytes of red, green, blue triples.
    void LoadRawFromMemory(const uint8_t* bytes, size_t length);
    void LoadRawFromStream(FILE* file);  // from the current position
    void LoadRawFromFile(const char* fileName);
    // A bitmap file: the colour table after the 54 bytes of headers, as blue,
    // green, red, reserved.
    void LoadBmpFromMemory(const uint8_t* bytes, size_t length);
    void LoadBmpFromStream(FILE* file);  // the file's current position is its start
    void LoadBmpFromFile(const char* fileName);
    // A PCX file: its last 768 bytes as raw triples.
    void LoadPcxFromMemory(const uint8_t* bytes, size_t length);
    void LoadPcxFromStream(FILE* file, int32_t length);  // length from the current position
    void LoadPcxFromFile(const char* fileName);

    // Hands all 256 entries to the platform palette. 0, 35 or 52.
    int Apply();
    // Hands the entries scaled by level / 255 (0 black, 255 unchanged) to the
    // platform palette; `entries` keeps its colours. 0, 35 or 52.
    int SetBrightness(int32_t level);
    // SetBrightness 255 down to 0 (or 0 up to 255), pausing pauseMs after each
    // of the 256 steps. 0 or 52.
    int FadeOut(int32_t pauseMs);
    int FadeIn(int32_t pauseMs);

    // Rebuilds shadeTable and inverseMap. 0 or 52.
    int BuildLookupTables();
    // Fills pixelTable with every entry's display pixel; nothing at 8 bits per
    // pixel or fewer. Always 0.
    int BuildPixelTable();
};
