// A sound's samples in the device's sample format, shared by its play buffers,
// and their making from the data chunk of a wave image.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct WaveFormat;

// Samples of one sound in the device's sample format (signed 16-bit, stereo,
// interleaved), still at the sound's own rate; the mixer resamples as it plays.
struct SampleSet {
    std::vector<int16_t> samples;
    uint32_t frameCount = 0;
    uint32_t sampleRate = 0;
};

// Converts the whole frames among `size` bytes of `data`, laid out as `wave`
// says, into a sample set at the wave's own rate. Null when SDL cannot convert
// them, memory is short or no frame results.
std::shared_ptr<SampleSet> ConvertToSampleSet(const WaveFormat& wave, const uint8_t* data,
                                              uint32_t size);
