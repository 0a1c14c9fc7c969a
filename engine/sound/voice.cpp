// Mixing one voice: linear interpolation between source frames at a 32.32
// fixed-point position, so any frequency plays at any output rate.
#include "engine/sound/voice.h"

#include <cmath>
#include <utility>

namespace {

// Hundredths of a decibel of attenuation to a linear gain; the bottom of the
// range is silence rather than -100 dB.
float AttenuationGain(int32_t hundredths) {
    if (hundredths <= Voice::volumeMin) {
        return 0.0f;
    }
    if (hundredths >= 0) {
        return 1.0f;
    }
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

}  // namespace

Voice::Voice(std::shared_ptr<const SampleSet> samples) : sampleSet(std::move(samples)) {}

void Voice::UpdateGains() {
    const float gain = AttenuationGain(volume);
    // Panning attenuates the far side only, as the volume scale does.
    gainLeft = gain * AttenuationGain(pan > 0 ? -pan : 0);
    gainRight = gain * AttenuationGain(pan < 0 ? pan : 0);
}

void Voice::UpdateStep(int32_t outputRate) {
    const uint64_t rate =
        frequency != 0 ? static_cast<uint64_t>(frequency) : (sampleSet ? sampleSet->sampleRate : 0);
    step = outputRate > 0 ? (rate << 32) / static_cast<uint64_t>(outputRate) : 0;
}

void Voice::MixInto(float* accumulator, int32_t frames) {
    if (!sampleSet || sampleSet->frameCount == 0 || step == 0) {
        playing = false;
        position = 0;
        return;
    }
    const int16_t* samples = sampleSet->samples.data();
    const uint64_t count = sampleSet->frameCount;
    const uint64_t end = count << 32;
    for (int32_t i = 0; i < frames; ++i) {
        if (position >= end) {
            if (!looping) {
                playing = false;
                position = 0;
                return;
            }
            position %= end;
        }
        const uint64_t index = position >> 32;
        uint64_t next = index + 1;
        if (next >= count) {
            next = looping ? 0 : index;
        }
        const float fraction = static_cast<float>(position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const float left0 = samples[2 * index];
        const float right0 = samples[2 * index + 1];
        const float left = left0 + (samples[2 * next] - left0) * fraction;
        const float right = right0 + (samples[2 * next + 1] - right0) * fraction;
        accumulator[2 * i] += left * gainLeft;
        accumulator[2 * i + 1] += right * gainRight;
        position += step;
    }
    if (!looping && position >= end) {
        playing = false;
        position = 0;
    }
}
