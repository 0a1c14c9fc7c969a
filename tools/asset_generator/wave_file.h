// Wave files: synthesised samples made ready for playback (peak level, fades) and
// encoded as RIFF/WAVE, 16-bit PCM, mono.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int32_t sampleRate = 44100;
// Loudest sample allowed: -1.5 dB below full scale, safely under -1 dBFS after
// rounding to 16 bits.
inline constexpr double peakLevel = 0.8414;

// Scales samples so their largest magnitude is peakLevel, and ramps the first
// fadeIn and last fadeOut seconds so playback neither starts nor ends on a click.
void Finish(std::vector<float>& samples, double fadeIn, double fadeOut);

// RIFF header, a 16-byte "fmt " chunk (PCM, 1 channel, sampleRate, 16 bits) and
// a "data" chunk with the samples as little-endian signed 16-bit values.
std::vector<uint8_t> EncodeWave(const std::vector<float>& samples);
