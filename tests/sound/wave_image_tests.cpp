// The RIFF/WAVE chunk walk and format decoding, on intact and damaged images.
#include "engine/sound/wave_image.h"

#include <gtest/gtest.h>

#include "tests/sound/wave_builder.h"

using namespace wavetest;

namespace {

struct Parsed {
    bool ok = false;
    const uint8_t* format = nullptr;
    uint32_t formatSize = 0;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

Parsed Parse(const std::vector<uint8_t>& image) {
    Parsed p;
    p.ok = ParseWave(image.data(), image.size(), &p.format, &p.formatSize, &p.data, &p.size);
    return p;
}

}  // namespace

TEST(WaveImage, FindsChunksInEitherOrderSkippingOthersAndPadding) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "LIST", {1, 2, 3});  // odd length: one pad byte follows
    PutChunk(chunks, "data", {9, 8, 7, 6});
    PutChunk(chunks, "fmt ", FormatBody(1, 2, 44100, 16));
    PutChunk(chunks, "fmt ", FormatBody(3, 1, 8000, 32));  // a second format is ignored
    const auto image = Riff(chunks);
    const Parsed p = Parse(image);
    ASSERT_TRUE(p.ok);
    ASSERT_NE(p.data, nullptr);
    EXPECT_EQ(p.data - image.data(), 12 + 12 + 8);
    EXPECT_EQ(p.size, 4u);
    ASSERT_NE(p.format, nullptr);
    EXPECT_EQ(p.formatSize, 16u);
    EXPECT_EQ(p.format[0], 1);  // the first format chunk's tag
}

TEST(WaveImage, EmptyDataChunkDoesNotHideALaterOne) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "fmt ", FormatBody(1, 1, 8000, 8));
    PutChunk(chunks, "data", {});
    PutChunk(chunks, "data", {5, 6});
    const auto image = Riff(chunks);
    const Parsed p = Parse(image);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.size, 2u);
    EXPECT_EQ(p.data[0], 5);
}

TEST(WaveImage, RefusesWhatIsNotRiffWaveOrHasAShortOrCutFormat) {
    auto image = ConstantWave(4, 1, 1);
    auto notRiff = image;
    notRiff[0] = 'X';
    EXPECT_FALSE(Parse(notRiff).ok);
    auto notWave = image;
    notWave[11] = 'X';
    EXPECT_FALSE(Parse(notWave).ok);
    EXPECT_FALSE(Parse({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A'}).ok);

    std::vector<uint8_t> shortFormat;
    PutChunk(shortFormat, "fmt ", std::vector<uint8_t>(12, 0));
    EXPECT_FALSE(Parse(Riff(shortFormat)).ok);

    // A format chunk whose length runs past the image's end.
    std::vector<uint8_t> cutFormat;
    PutChunk(cutFormat, "fmt ", FormatBody(1, 2, 44100, 16), 40);
    EXPECT_FALSE(Parse(Riff(cutFormat)).ok);
}

TEST(WaveImage, DataRunningPastTheEndIsCutAtTheEnd) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "fmt ", FormatBody(1, 2, 44100, 16));
    PutChunk(chunks, "data", StereoFrames(3, 1, 2), 0xFFFFFFF0u);
    const auto image = Riff(chunks, 0xFFFFFFFFu);
    const Parsed p = Parse(image);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.size, 12u);
    EXPECT_EQ(p.data + p.size, image.data() + image.size());
}

TEST(WaveImage, LengthsNearTwoToThe32DoNotWrapTheWalk) {
    // A skipped chunk claiming 0xFFFFFFFF bytes would wrap a 32-bit position back
    // to the start of the image; the walk must end instead.
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "junk", {}, 0xFFFFFFFFu);
    PutChunk(chunks, "fmt ", FormatBody(1, 2, 44100, 16));
    PutChunk(chunks, "data", StereoFrames(2, 1, 1));
    const Parsed p = Parse(Riff(chunks, 0xFFFFFFFFu));
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.format, nullptr);
    EXPECT_EQ(p.data, nullptr);

    // The RIFF length ends the walk before the image does.
    std::vector<uint8_t> late;
    PutChunk(late, "fmt ", FormatBody(1, 2, 44100, 16));
    PutChunk(late, "data", StereoFrames(2, 1, 1));
    const Parsed cut = Parse(Riff(late, 4 + 24));
    EXPECT_TRUE(cut.ok);
    EXPECT_NE(cut.format, nullptr);
    EXPECT_EQ(cut.data, nullptr);
}

TEST(WaveImage, OutsAreOptional) {
    const auto image = ConstantWave(2, 1, 1);
    uint32_t size = 99;
    EXPECT_TRUE(ParseWave(image.data(), image.size(), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(size, 8u);
    EXPECT_TRUE(ParseWave(image.data(), image.size(), nullptr, nullptr, nullptr, nullptr));
}

TEST(WaveFormatDecoding, AcceptsPlayableFormsAndRefusesTheRest) {
    WaveFormat f;
    auto body = FormatBody(1, 2, 44100, 16);
    ASSERT_TRUE(DecodeWaveFormat(body.data(), 16, &f));
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_FALSE(DecodeWaveFormat(body.data(), 14, &f));  // no bits-per-sample field

    body = FormatBody(3, 1, 48000, 32);
    ASSERT_TRUE(DecodeWaveFormat(body.data(), 16, &f));
    EXPECT_TRUE(f.isFloat);

    // Extensible form whose sub-format is integer PCM.
    body = FormatBody(WaveFormatExtensible, 2, 48000, 24);
    PutU16(body, 22);
    PutU16(body, 24);
    PutU32(body, 3);
    PutU16(body, 1);
    body.resize(40, 0);
    ASSERT_TRUE(DecodeWaveFormat(body.data(), 40, &f));
    EXPECT_EQ(f.bitsPerSample, 24);

    const std::vector<std::vector<uint8_t>> unplayable = {
        FormatBody(2, 2, 44100, 4),      // compressed
        FormatBody(1, 0, 44100, 16, 4),  // no channels
        FormatBody(1, 9, 44100, 16),     // too many channels
        FormatBody(1, 2, 0, 16),         // no rate
        FormatBody(1, 2, 400000, 16),    // absurd rate
        FormatBody(1, 2, 44100, 16, 0),  // block alignment 0
        FormatBody(1, 2, 44100, 16, 3),  // not a whole frame
        FormatBody(1, 2, 44100, 12),     // odd sample width
        FormatBody(3, 2, 44100, 16),     // float must be 32-bit
    };
    for (const auto& bad : unplayable) {
        EXPECT_FALSE(DecodeWaveFormat(bad.data(), 16, &f));
    }
}
