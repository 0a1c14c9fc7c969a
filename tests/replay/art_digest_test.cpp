// The art digest sees which pixels of the blast shapes are opaque and nothing
// else, as documented; and the rules world set up from the real art is the
// world the game sets up.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "art/art_digest.h"
#include "art/rules_world.h"
#include "platform/set_up_world.h"
#include "rules/art_layout.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "sprites/rle_sprite.h"
#include "tests/assets/asset_files.h"

namespace {

// A shape from rows of text: '#' opaque, '.' key; each opaque pixel gets its
// own colour from ink, so no two shapes share their colours.
void Encode(RleSprite& sprite, const std::vector<const char*>& rows, uint16_t key, uint16_t ink,
            int32_t mode = EncodingKeyed) {
    const auto w = static_cast<int32_t>(std::strlen(rows[0]));
    const auto h = static_cast<int32_t>(rows.size());
    std::vector<uint16_t> pixels;
    for (const char* row : rows) {
        for (int32_t x = 0; x < w; ++x) {
            pixels.push_back(row[x] == '#' ? uint16_t(ink + pixels.size()) : key);
        }
    }
    sprite.Bind(nullptr, w, h);
    ASSERT_EQ(sprite.LoadFromPixels(pixels.data(), w, mode, key), 1);
}

uint64_t DigestOf(const std::vector<const char*>& rows, uint16_t key = 0x7C1F,
                  uint16_t ink = 0x0100) {
    RleSprite sprite;
    Encode(sprite, rows, key, ink);
    return DigestCarveShapes(&sprite, 1);
}

// FNV-1a 64 over little-endian 32-bit words, as docs/replay-format.md gives it.
uint64_t DocumentedDigest(const std::vector<uint32_t>& words) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint32_t word : words) {
        for (int k = 0; k < 4; ++k) {
            hash = (hash ^ ((word >> (8 * k)) & 0xFF)) * 0x100000001B3ull;
        }
    }
    return hash;
}

TEST(ArtDigest, IsTheDocumentedDigestOfTheOpaqueRuns) {
    // Width 4, height 2; row 0: runs (0, 1) and (2, 2); row 1: none.
    EXPECT_EQ(DigestOf({"#.##", "...."}), DocumentedDigest({4, 2, 2, 0, 1, 2, 2, 0}));
}

TEST(ArtDigest, SeesWhichPixelsAreOpaqueAndNotTheirColours) {
    const std::vector<const char*> shape = {"..##..", ".####.", "##..##", ".####."};
    const uint64_t digest = DigestOf(shape);
    // Other colours and another key, as the other pixel layout gives them.
    EXPECT_EQ(DigestOf(shape, 0xF81F, 0x0400), digest);
    // A row stored literally (no key pixel in it) is one run like any other.
    EXPECT_EQ(DigestOf({"######"}), DocumentedDigest({6, 1, 1, 0, 6}));

    EXPECT_NE(DigestOf({"..##..", ".####.", "##.###", ".####."}), digest) << "one pixel more";
    EXPECT_NE(DigestOf({"..##..", ".####.", "##...#", ".####."}), digest) << "one pixel less";
    EXPECT_NE(DigestOf({"..##..", ".####.", ".####.", "##..##"}), digest) << "rows swapped";
    EXPECT_NE(DigestOf({"...##.", ".####.", "##..##", ".####."}), digest) << "a run moved";
}

TEST(ArtDigest, AShapeNeverLoadedCarvesAndDigestsAsAnEmptyOne) {
    RleSprite unloaded;
    unloaded.Bind(nullptr, 3, 2);
    RleSprite empty;
    Encode(empty, {"...", "..."}, 0x7C1F, 0x0100);
    EXPECT_EQ(DigestCarveShapes(&unloaded, 1), DigestCarveShapes(&empty, 1));
    EXPECT_EQ(DigestCarveShapes(&unloaded, 1), DocumentedDigest({3, 2, 0, 0}));
}

// The game's art, as each pixel layout's loader would make it: the same
// opaque pixels, so the same digest, and the one SetUpRulesWorld finds.
TEST(ArtDigest, TheGameArtDigestsAlikeInBothPixelLayouts) {
    const assettest::Picture sheet = assettest::Picture::Read("BLAST.BMP");
    ASSERT_TRUE(sheet.valid);
    RleSprite in555[blastSpriteCount];
    RleSprite in565[blastSpriteCount];
    std::vector<uint16_t> cell555(blastSpriteSide * blastSpriteSide);
    std::vector<uint16_t> cell565(cell555.size());
    for (int32_t j = 0; j < blastSpriteCount; ++j) {
        for (int32_t y = 0; y < blastSpriteSide; ++y) {
            for (int32_t x = 0; x < blastSpriteSide; ++x) {
                const assettest::Rgb pixel = sheet.At(j * blastSpriteSide + x, y);
                cell555[y * blastSpriteSide + x] = assettest::To555(pixel);
                cell565[y * blastSpriteSide + x] = assettest::To565(pixel);
            }
        }
        in555[j].Bind(nullptr, blastSpriteSide, blastSpriteSide);
        in565[j].Bind(nullptr, blastSpriteSide, blastSpriteSide);
        ASSERT_EQ(in555[j].LoadFromPixels(cell555.data(), blastSpriteSide, EncodingKeyed,
                                          assettest::To555(assettest::magenta)),
                  1);
        ASSERT_EQ(in565[j].LoadFromPixels(cell565.data(), blastSpriteSide, EncodingKeyed,
                                          assettest::To565(assettest::magenta)),
                  1);
    }
    const uint64_t digest = DigestCarveShapes(in555, blastSpriteCount);
    EXPECT_EQ(DigestCarveShapes(in565, blastSpriteCount), digest);
    EXPECT_EQ(SetUpRulesWorld().artDigest, digest);
    ResetHeadlessWorld();
    EXPECT_NE(ArtDigest(), digest) << "the discs drawn in code are other art";
}

TEST(RulesWorld, IsTheWorldTheGameSetsUpAndSaysNothing) {
    testing::internal::CaptureStderr();
    const RulesArt art = SetUpRulesWorld();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(art.colourKeyRead);
    EXPECT_TRUE(art.blastSheetRead);
    EXPECT_EQ(art.artDigest, ArtDigest());
    const uint64_t rules = DigestRules();
    EXPECT_EQ(fighters[0].x, 328);
    EXPECT_EQ(fighters[1].y, 800);

    // The game's own set-up, from a world as fresh as at program start.
    ResetHeadlessWorld();
    ClearWorld();
    SetUpWorld();
    EXPECT_EQ(DigestRules(), rules);
    EXPECT_EQ(ArtDigest(), art.artDigest);

    // And again after other shapes were loaded in between.
    ResetHeadlessWorld();
    EXPECT_EQ(SetUpRulesWorld().artDigest, art.artDigest);
    EXPECT_EQ(DigestRules(), rules);
}

}  // namespace
