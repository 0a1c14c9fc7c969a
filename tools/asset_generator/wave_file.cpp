// Wave encoding and the finishing touches every sound gets.
#include "wave_file.h"

#include <algorithm>
#include <cmath>

void Finish(std::vector<float>& samples, double fadeIn, double fadeOut) {
    size_t in = std::min(samples.size(), size_t(fadeIn * sampleRate));
    size_t out = std::min(samples.size(), size_t(fadeOut * sampleRate));
    for (size_t i = 0; i < in; ++i) {
        samples[i] *= float(double(i) / double(in));
    }
    for (size_t i = 0; i < out; ++i) {
        samples[samples.size() - 1 - i] *= float(double(i) / double(out));
    }
    float peak = 0;
    for (float s : samples) {
        peak = std::max(peak, std::abs(s));
    }
    if (peak > 0) {
        float scale = float(peakLevel) / peak;
        for (float& s : samples) {
            s *= scale;
        }
    }
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(tag[i]));
    }
}

}  // namespace

std::vector<uint8_t> EncodeWave(const std::vector<float>& samples) {
    const uint32_t dataBytes = uint32_t(samples.size()) * 2;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes + 1);
    PutTag(out, "RIFF");
    Put32(out, 4 + (8 + 16) + (8 + dataBytes));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, sampleRate);
    Put32(out, sampleRate * 2);  // bytes per second
    Put16(out, 2);               // block alignment
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        long v = std::lround(double(std::clamp(s, -1.0f, 1.0f)) * 32767.0);
        Put16(out, uint32_t(int16_t(v)) & 0xFFFF);
    }
    return out;
}
