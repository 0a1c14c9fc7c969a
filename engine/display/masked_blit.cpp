// MaskedBlit: the run walk, clipping and per-channel blending.
#include "engine/display/masked_blit.h"

#include <algorithm>
#include <cstring>

#include "engine/display/opacity_mask.h"
#include "engine/display/pixel_format.h"
#include "engine/display/surface.h"

namespace {

// Each channel is blended as its own small integer, so the rounding is that of
// the channel and not of its bits' place in the pixel.
uint16_t Blend(uint16_t over, uint16_t under, uint32_t opacity, const PixelFormat& format) {
    const uint32_t masks[] = {format.redMask, format.greenMask, format.blueMask};
    const int32_t shifts[] = {format.redShift, format.greenShift, format.blueShift};
    uint32_t blended = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t top = (over & masks[i]) >> shifts[i];
        const uint32_t bottom = (under & masks[i]) >> shifts[i];
        const uint32_t channel = (top * opacity + bottom * (255 - opacity) + 127) / 255;
        blended |= (channel << shifts[i]) & masks[i];
    }
    return static_cast<uint16_t>(blended);
}

uint16_t* PixelAt(const Surface& surface, int64_t x, int64_t y) {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface.pixels) + y * surface.pitch) +
           x;
}

}  // namespace

bool MaskedBlit(Surface* source, Surface* destination, int32_t x, int32_t y) {
    if (source == nullptr || destination == nullptr || source->opacityMask == nullptr ||
        source->pixels == destination->pixels) {
        return false;
    }
    const PixelFormat* from = AccessiblePixelFormat16(*source);
    const PixelFormat* format = AccessiblePixelFormat16(*destination);
    if (from == nullptr || format == nullptr || from->redMask != format->redMask ||
        from->greenMask != format->greenMask || from->blueMask != format->blueMask) {
        return false;
    }
    const OpacityMask& mask = *source->opacityMask;
    if (!mask.RunsCurrent() || (source->flags & Surface::MaskEncoded) == 0) {
        source->EncodeOpacityMask();
    }

    // The drawn part in source coordinates: inside the source and its mask,
    // and landing inside the destination and its clip. 64 bits, so that no
    // offset can overflow.
    int64_t clipLeft = 0, clipTop = 0;
    int64_t clipRight = destination->width, clipBottom = destination->height;
    if (destination->clip != nullptr) {
        clipLeft = std::max<int64_t>(clipLeft, destination->clip->left);
        clipTop = std::max<int64_t>(clipTop, destination->clip->top);
        clipRight = std::min<int64_t>(clipRight, destination->clip->right);
        clipBottom = std::min<int64_t>(clipBottom, destination->clip->bottom);
    }
    const int64_t left = std::max<int64_t>(0, clipLeft - x);
    const int64_t top = std::max<int64_t>(0, clipTop - y);
    const int64_t right = std::min<int64_t>({source->width, mask.width, clipRight - x});
    const int64_t bottom = std::min<int64_t>({source->height, mask.height, clipBottom - y});

    const int64_t runCount = static_cast<int64_t>(mask.runs.size());
    for (int64_t row = top; row < bottom; ++row) {
        // The runs are public fields: indices and spans are cut to the storage
        // and the drawn part rather than trusted.
        const int64_t first = std::clamp<int64_t>(mask.runStarts[row], 0, runCount);
        const int64_t end = std::clamp<int64_t>(mask.runStarts[row + 1], first, runCount);
        for (int64_t i = first; i < end; ++i) {
            const OpacityMask::Run& run = mask.runs[i];
            const int64_t start = std::max<int64_t>(run.column, left);
            const int64_t stop = std::min<int64_t>(int64_t{run.column} + run.length, right);
            if (start >= stop) {
                continue;
            }
            const uint16_t* over = PixelAt(*source, start, row);
            uint16_t* under = PixelAt(*destination, x + start, y + row);
            if (run.opaque) {
                std::memcpy(under, over, static_cast<size_t>(stop - start) * 2);
                continue;
            }
            const uint8_t* opacity = mask.values.data() + row * mask.width + start;
            for (int64_t k = 0; k < stop - start; ++k) {
                under[k] = Blend(over[k], under[k], opacity[k], *format);
            }
        }
    }
    return true;
}
