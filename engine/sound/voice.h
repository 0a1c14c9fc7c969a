// One play buffer of the mixer: a playback position over a set of converted
// samples shared with the other play buffers of the same sound, with its own
// playing bit, looping, volume, pan and frequency.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/sound/sample_set.h"

// Volume and pan are in hundredths of a decibel of attenuation, frequency in
// samples per second (0 = the sound's own rate). The state below the sample set
// is shared with the audio thread: the mixer changes it only while it holds the
// audio device's lock.
class Voice {
public:
    static constexpr int32_t volumeMin = -10000;
    static constexpr int32_t volumeMax = 0;
    static constexpr int32_t panLeft = -10000;
    static constexpr int32_t panRight = 10000;
    static constexpr int32_t frequencyMin = 100;
    static constexpr int32_t frequencyMax = 200000;

    explicit Voice(std::shared_ptr<const SampleSet> samples);
    virtual ~Voice() = default;

    // Adds `frames` stereo output frames to `accumulator`, advancing by `step`.
    // Clears `playing` and rewinds when a one-shot runs past its last frame.
    void MixInto(float* accumulator, int32_t frames);

    // Recomputes the channel gains and the position step from the settings.
    void UpdateGains();
    void UpdateStep(int32_t outputRate);

    std::shared_ptr<const SampleSet> sampleSet;
    uint64_t position = 0;  // frames into the sample set, 32.32 fixed point
    uint64_t step = 0;      // position advance per output frame, 32.32 fixed point
    bool playing = false;
    bool looping = false;
    int32_t volume = 0;
    int32_t pan = 0;
    int32_t frequency = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
};
