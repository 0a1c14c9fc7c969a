// Surfaces in memory: creation and pitch, locking, the registry, fills and
// the clipped copies, palette, clip ownership, callbacks and the opacity mask.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/display/opacity_mask.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(screen.SetMemoryMode(64, 48), 0); }

    uint16_t& At(Surface& surface, int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface.pixels) +
                                           y * surface.pitch)[x];
    }

    // Gives every pixel a value that tells its position: (y << 8) | x.
    void Number(Surface& surface) {
        for (int32_t y = 0; y < surface.height; ++y) {
            for (int32_t x = 0; x < surface.width; ++x) {
                At(surface, x, y) = static_cast<uint16_t>((y << 8) | x);
            }
        }
    }

    Screen screen;
};

int releaseCalls = 0;

void CountRelease(Surface*) {
    ++releaseCalls;
}

// An uncompressed 8-bit bitmap, bottom-up, whose pixel (x, y) is 10 * y + x.
std::vector<uint8_t> EightBitBitmap(int32_t width, int32_t height) {
    const int32_t rowBytes = (width + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> bytes(offset + rowBytes * height, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 8;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            bytes[offset + (height - 1 - y) * rowBytes + x] = static_cast<uint8_t>(10 * y + x);
        }
    }
    return bytes;
}

}  // namespace

TEST_F(SurfaceTest, ClientMemoryRowsAreRoundedToEightBytesAndNeedNoLock) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 801, 3), 0);
    EXPECT_EQ(surface.pitch, 1608);
    ASSERT_NE(surface.pixels, nullptr);
    At(surface, 800, 2) = 0x7FFF;  // the last pixel is writable without a lock
    EXPECT_EQ(surface.Lock(), 0);
    EXPECT_EQ(surface.flags & Surface::Locked, 0);
    EXPECT_EQ(surface.clip, &screen.clip);
    EXPECT_EQ(surface.palette, screen.palette);
}

TEST_F(SurfaceTest, CreateRefusesWhatCannotBeMade) {
    Surface surface;
    EXPECT_EQ(surface.Create(nullptr, SurfaceKindSystem, 8, 8), SurfaceCreateFailed);
    Screen bare;
    EXPECT_EQ(surface.Create(&bare, SurfaceKindSystem, 8, 8), SurfaceCreateFailed);
    EXPECT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 0, 8), SurfaceCreateFailed);
    EXPECT_EQ(surface.Create(&screen, SurfaceKindSystem, 8, -1), SurfaceCreateFailed);
    EXPECT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 1 << 20, 1 << 20),
              SurfaceCreateFailed);
    // Kinds outside the table make no SDL surface but succeed.
    EXPECT_EQ(surface.Create(&screen, 9, 8, 8), 0);
    EXPECT_EQ(surface.platformSurface, nullptr);
    EXPECT_EQ(surface.Lock(), SurfaceLockFailed);
    EXPECT_EQ(surface.Fill(0), SurfaceFillFailed);
}

TEST_F(SurfaceTest, VideoMemoryWhenPossibleBecomesSystemMemory) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindPreferVideo | SurfaceKind3D, 8, 8), 0);
    EXPECT_EQ(surface.kind, SurfaceKindSystem | SurfaceKind3D);
    EXPECT_EQ(surface.flags & Surface::Locked, 0);  // the creation's Lock/Unlock pair
}

TEST_F(SurfaceTest, LockAndUnlockTwiceChangeNothingTheSecondTime) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindSystem, 16, 16), 0);
    ASSERT_EQ(surface.Lock(), 0);
    void* pixels = surface.pixels;
    EXPECT_EQ(surface.Lock(), 0);
    EXPECT_EQ(surface.pixels, pixels);
    EXPECT_EQ(surface.platformSurface->locked, 1);
    EXPECT_EQ(surface.Unlock(), 0);
    EXPECT_EQ(surface.flags & Surface::Locked, 0);
    EXPECT_EQ(surface.Unlock(), 0);
    EXPECT_EQ(surface.platformSurface->locked, 0);
}

TEST_F(SurfaceTest, RegistryMovesTheLastSurfaceIntoAFreedSlot) {
    const int32_t before = RegisteredSurfaceCount();
    auto* a = new Surface();
    auto* b = new Surface();
    auto* c = new Surface();
    auto* d = new Surface();
    ASSERT_EQ(RegisteredSurfaceCount(), before + 4);
    delete b;
    EXPECT_EQ(RegisteredSurface(before), a);
    EXPECT_EQ(RegisteredSurface(before + 1), d);
    EXPECT_EQ(RegisteredSurface(before + 2), c);
    UnregisterSurface(b);  // no longer there: nothing changes
    EXPECT_EQ(RegisteredSurfaceCount(), before + 3);
    delete d;
    EXPECT_EQ(RegisteredSurface(before + 1), c);
    delete a;
    delete c;
    EXPECT_EQ(RegisteredSurfaceCount(), before);
    EXPECT_EQ(RegisteredSurface(before), nullptr);
}

TEST_F(SurfaceTest, FillRectTreatsRightAndBottomAsExclusiveAndStaysInside) {
    Surface& s = *screen.backSurface;
    ASSERT_EQ(s.Fill(0x1111), 0);
    ASSERT_EQ(s.FillRect(2, 3, 5, 7, 0x2222), 0);
    EXPECT_EQ(At(s, 2, 3), 0x2222);
    EXPECT_EQ(At(s, 4, 6), 0x2222);
    EXPECT_EQ(At(s, 5, 6), 0x1111);
    EXPECT_EQ(At(s, 4, 7), 0x1111);
    EXPECT_EQ(s.FillRect(Rect{-100, -100, 1000000, 2}, 0x3333), 0);
    EXPECT_EQ(At(s, 63, 1), 0x3333);
    EXPECT_EQ(At(s, 0, 2), 0x1111);
    EXPECT_EQ(s.FillRect(Rect{INT32_MIN, 0, INT32_MAX, 1}, 0x4444), 0);
    EXPECT_EQ(s.FillRect(10, 10, 5, 5, 0x5555), 0);  // empty: nothing
    // A colour whose two bytes differ (the memory fill's other path).
    ASSERT_EQ(s.FillRect(1, 1, 4, 2, 0x7C1F), 0);
    EXPECT_EQ(At(s, 0, 1), 0x3333);
    EXPECT_EQ(At(s, 1, 1), 0x7C1F);
    EXPECT_EQ(At(s, 3, 1), 0x7C1F);
    EXPECT_EQ(At(s, 4, 1), 0x3333);
}

TEST_F(SurfaceTest, BlitToClipsAgainstTheClipRectangle) {
    Surface& source = *screen.frontSurface;
    Surface& target = *screen.backSurface;
    Number(source);
    target.Fill(0);
    screen.clip = Rect{10, 5, 30, 20};
    // x three columns left of the clip: x moves to 10, three source columns go.
    ASSERT_EQ(source.BlitTo(&target, 7, 5, Rect{0, 0, 8, 4}), 0);
    EXPECT_EQ(At(target, 9, 5), 0);
    EXPECT_EQ(At(target, 10, 5), 0x0003);
    EXPECT_EQ(At(target, 14, 8), 0x0307);
    EXPECT_EQ(At(target, 15, 5), 0);
    // Cut at the right and bottom edges (exclusive).
    ASSERT_EQ(source.BlitTo(&target, 26, 18, Rect{0, 0, 8, 8}), 0);
    EXPECT_EQ(At(target, 29, 19), 0x0103);
    EXPECT_EQ(At(target, 30, 19), 0);
    EXPECT_EQ(At(target, 29, 20), 0);
    // Rectangles reaching outside a surface are refused, not read.
    screen.clip = Rect{-100, -100, 1000, 1000};
    EXPECT_NE(source.BlitTo(&target, 0, 0, Rect{60, 0, 70, 4}), 0);
    EXPECT_NE(source.BlitTo(&target, -5, 0, Rect{0, 0, 4, 4}), 0);
    EXPECT_NE(source.BlitTo(nullptr, 0, 0, Rect{0, 0, 4, 4}), 0);
}

TEST_F(SurfaceTest, CopiesRefuseALockedSourceOrDestination) {
    Surface source;
    Surface target;
    ASSERT_EQ(source.Create(&screen, SurfaceKindSystem, 8, 8), 0);
    ASSERT_EQ(target.Create(&screen, SurfaceKindSystem, 8, 8), 0);
    const Rect all{0, 0, 8, 8};
    for (Surface* locked : {&source, &target}) {
        ASSERT_EQ(locked->Lock(), 0);
        EXPECT_EQ(source.BlitTo(&target, 0, 0, all), -1);
        EXPECT_EQ(source.StretchTo(&target, all, all), -1);
        ASSERT_EQ(locked->Unlock(), 0);
    }
    EXPECT_EQ(source.BlitTo(&target, 0, 0, all), 0);
    EXPECT_EQ(source.StretchTo(&target, all, all), 0);
}

TEST_F(SurfaceTest, BlitWithinOneSurfaceCopiesOverlappingRowsIntact) {
    Surface& s = *screen.backSurface;
    Number(s);
    ASSERT_EQ(s.BlitTo(&s, 0, 1, Rect{0, 0, 4, 3}), 0);
    EXPECT_EQ(At(s, 2, 1), 0x0002);
    EXPECT_EQ(At(s, 2, 3), 0x0202);
}

TEST_F(SurfaceTest, StretchToScalesAndCutsTheSourceInProportion) {
    Surface& source = *screen.frontSurface;
    Surface& target = *screen.backSurface;
    Number(source);
    target.Fill(0);
    ASSERT_EQ(source.StretchTo(&target, Rect{0, 0, 4, 4}, Rect{0, 0, 8, 8}), 0);
    EXPECT_EQ(At(target, 0, 0), 0x0000);
    EXPECT_EQ(At(target, 3, 5), 0x0201);
    EXPECT_EQ(At(target, 7, 7), 0x0303);
    // Half of the destination lies left of the clip: the left half of the
    // source goes with it.
    target.Fill(0);
    screen.clip = Rect{4, 0, 64, 48};
    ASSERT_EQ(source.StretchTo(&target, Rect{0, 0, 4, 4}, Rect{0, 0, 8, 8}), 0);
    EXPECT_EQ(At(target, 3, 0), 0);
    EXPECT_EQ(At(target, 4, 0), 0x0002);
    EXPECT_EQ(At(target, 7, 0), 0x0003);
    EXPECT_NE(source.StretchTo(&target, Rect{0, 0, 100, 4}, Rect{4, 0, 8, 8}), 0);
    EXPECT_EQ(source.StretchTo(&target, Rect{0, 0, 4, 4}, Rect{8, 8, 8, 8}), 0);
}

TEST_F(SurfaceTest, StretchToCutsExtremeRectanglesWithoutOverflow) {
    Surface& source = *screen.frontSurface;
    Surface& target = *screen.backSurface;
    // Spans of nearly 2^32 on both sides of the cut: what remains is one
    // column at the far right, outside the target.
    source.SetClipCopy(Rect{INT32_MAX - 1, 0, INT32_MAX, 48});
    EXPECT_EQ(source.StretchTo(&target, Rect{INT32_MIN, 0, INT32_MAX, 4},
                               Rect{INT32_MIN, 0, INT32_MAX, 8}),
              -1);
    source.SetClipCopy(Rect{0, INT32_MIN, 64, INT32_MIN + 1});
    EXPECT_EQ(source.StretchTo(&target, Rect{0, INT32_MIN, 4, INT32_MAX},
                               Rect{0, INT32_MAX - 1, 8, INT32_MAX}),
              0);
}

TEST_F(SurfaceTest, CopyBlocksMovesWholeEightByteBlocksInsideBothSurfaces) {
    Surface& source = *screen.frontSurface;
    Surface& target = *screen.backSurface;
    Number(source);
    target.Fill(0);
    // Five pixels are ten bytes: one block of four pixels per row moves.
    source.CopyBlocksTo(&target, 2, 1, Rect{0, 0, 5, 2});
    EXPECT_EQ(At(target, 2, 1), 0x0000);
    EXPECT_EQ(At(target, 5, 2), 0x0103);
    EXPECT_EQ(At(target, 6, 1), 0);
    EXPECT_EQ(At(target, 2, 3), 0);
    target.Fill(0);
    source.CopyBlocksTo(&target, 62, 0, Rect{0, 0, 8, 2});  // would write past the row
    source.CopyBlocksTo(&target, 0, 47, Rect{0, 0, 8, 2});  // past the last row
    source.CopyBlocksTo(&target, 0, 0, Rect{-4, 0, 4, 2});
    Surface unlocked;
    ASSERT_EQ(unlocked.Create(&screen, SurfaceKindSystem, 64, 48), 0);
    source.CopyBlocksTo(&unlocked, 0, 0, Rect{0, 0, 8, 2});
    EXPECT_EQ(At(target, 0, 0), 0);
    EXPECT_EQ(At(target, 62, 0), 0);
    EXPECT_EQ(At(target, 0, 47), 0);
}

TEST_F(SurfaceTest, PaletteAndColourKeys) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindSystem, 8, 8), 0);
    EXPECT_EQ(surface.SetPalette(nullptr), SurfacePaletteRefused);
    EXPECT_EQ(surface.SetPalette(screen.palette), 0);  // 16 bits: recorded only
    surface.SetColorKeyRange(5, 9);
    EXPECT_EQ(surface.colorKey, 5u);
    EXPECT_EQ(surface.colorKeyHigh, 9u);
    Surface bare;
    bare.SetColorKey(7);
    EXPECT_EQ(bare.colorKey, 0u);
}

TEST_F(SurfaceTest, OwnedClipCopyIsIndependentOfTheScreens) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 8, 8), 0);
    surface.SetClipCopy(Rect{1, 2, 3, 4});
    surface.SetClipCopy(Rect{1, 2, 5, 6});
    EXPECT_NE(surface.clip, &screen.clip);
    EXPECT_TRUE(surface.flags & Surface::OwnsClip);
    screen.clip.right = 1;
    EXPECT_EQ(surface.clip->right, 5);
    surface.SetClip(&screen.clip);
    EXPECT_FALSE(surface.flags & Surface::OwnsClip);
    EXPECT_EQ(surface.clip, &screen.clip);
}

TEST_F(SurfaceTest, ReleaseRunsItsCallbackFreesOwnedDataAndKeepsTheSize) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 8, 8), 0);
    releaseCalls = 0;
    surface.SetReleaseCallback(CountRelease);
    surface.SetRestoreCallback(nullptr, std::malloc(32), true);
    surface.SetClipCopy(Rect{0, 0, 4, 4});
    surface.CreateOpacityMask();
    ASSERT_EQ(surface.AcquireDC(), 0);
    surface.Release();
    EXPECT_EQ(releaseCalls, 1);
    EXPECT_EQ(surface.restoreData, nullptr);
    EXPECT_EQ(surface.flags & (Surface::DcHeld | Surface::OwnsClip | Surface::OwnsRestoreData), 0);
    EXPECT_EQ(surface.platformSurface, nullptr);
    EXPECT_EQ(surface.pixels, nullptr);
    EXPECT_EQ(surface.kind, 0);
    EXPECT_EQ(surface.width, 8);
    EXPECT_EQ(surface.releaseCallback, CountRelease);
}

TEST_F(SurfaceTest, DeviceContextHeldByTheCallerStaysHeldAcrossText) {
    Surface& s = *screen.backSurface;
    s.DrawText("a", 0, 0, 0xFFFFFF);
    EXPECT_EQ(s.flags & Surface::DcHeld, 0);
    ASSERT_EQ(s.AcquireDC(), 0);
    s.DrawText("a", 0, 0, 0xFFFFFF);
    EXPECT_TRUE(s.flags & Surface::DcHeld);
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_EQ(s.ReleaseDC(), 0);
    Surface bare;
    EXPECT_EQ(bare.AcquireDC(), SurfaceAcquireDcFailed);
    EXPECT_EQ(bare.DrawText("a", 0, 0, 0xFFFFFF), 0);
}

TEST_F(SurfaceTest, OpacityMaskLoadsEightBitBitmapsAtAPosition) {
    Surface surface;
    ASSERT_EQ(surface.Create(&screen, SurfaceKindClientMemory, 8, 6), 0);
    const std::vector<uint8_t> bitmap = EightBitBitmap(3, 2);
    auto* copy = new uint8_t[bitmap.size()];
    std::memcpy(copy, bitmap.data(), bitmap.size());
    ASSERT_EQ(surface.LoadOpacityMaskMemory(copy, static_cast<int32_t>(bitmap.size()), 6, 4), 0);
    ASSERT_NE(surface.opacityMask, nullptr);
    EXPECT_EQ(surface.opacityMask->At(6, 4), 0);
    EXPECT_EQ(surface.opacityMask->At(7, 4), 1);
    EXPECT_EQ(surface.opacityMask->At(7, 5), 11);
    EXPECT_EQ(surface.opacityMask->At(5, 4), 0);

    surface.EncodeOpacityMask();
    EXPECT_TRUE(surface.flags & Surface::MaskEncoded);
    // Values below 16 count as clear: nothing is opaque enough.
    EXPECT_TRUE(surface.opacityMask->runs.empty());
    surface.CreateOpacityMask();
    EXPECT_FALSE(surface.flags & Surface::MaskEncoded);

    // A short or foreign file is refused without reading past its end.
    for (size_t length : {size_t{20}, size_t{60}, bitmap.size() - 1}) {
        auto* cut = new uint8_t[length];
        std::memcpy(cut, bitmap.data(), length);
        EXPECT_EQ(surface.LoadOpacityMaskMemory(cut, static_cast<int32_t>(length), 0, 0),
                  SurfaceMaskLoadFailed);
    }
    EXPECT_EQ(surface.LoadOpacityMaskFile("/nonexistent/mask.bmp", 0, 0), SurfaceMaskLoadFailed);
}

TEST(OpacityMask, EncodesRowsIntoRunsOfOpaquePixels) {
    OpacityMask mask(6, 2);
    mask.values = {0, 20, 30, 0, 255, 15, 16, 16, 16, 16, 16, 16};
    mask.Encode(16);
    ASSERT_EQ(mask.runStarts.size(), 3u);
    ASSERT_EQ(mask.runStarts[1], 2);
    EXPECT_EQ(mask.runs[0].column, 1);
    EXPECT_EQ(mask.runs[0].length, 2);
    EXPECT_EQ(mask.runs[1].column, 4);
    EXPECT_EQ(mask.runs[1].length, 1);
    EXPECT_EQ(mask.runs[2].column, 0);
    EXPECT_EQ(mask.runs[2].length, 6);
}
