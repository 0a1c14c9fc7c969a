// Converting a wave's data chunk into the device's sample format with an SDL
// audio stream, a chunk of frames at a time, at the sound's own rate.
#include "engine/sound/sample_set.h"

#include <SDL.h>

#include <new>

#include "engine/sound/wave_image.h"

namespace {

// Bytes handed to the converter at a time; a whole number of frames of any
// playable format (block alignments of 1 to 32 bytes) and of 24-bit samples.
constexpr size_t convertChunkFrames = 4096;

SDL_AudioFormat SourceFormat(const WaveFormat& wave) {
    if (wave.isFloat) {
        return AUDIO_F32LSB;
    }
    switch (wave.bitsPerSample) {
        case 8:
            return AUDIO_U8;
        case 16:
            return AUDIO_S16LSB;
        default:
            return AUDIO_S32LSB;  // 24-bit samples are widened to 32 first
    }
}

// Widens packed little-endian 24-bit samples to 32-bit ones.
void Widen24(const uint8_t* in, size_t samples, int32_t* out) {
    for (size_t i = 0; i < samples; ++i, in += 3) {
        out[i] = static_cast<int32_t>((static_cast<uint32_t>(in[0]) << 8) |
                                      (static_cast<uint32_t>(in[1]) << 16) |
                                      (static_cast<uint32_t>(in[2]) << 24));
    }
}

}  // namespace

std::shared_ptr<SampleSet> ConvertToSampleSet(const WaveFormat& wave, const uint8_t* data,
                                              uint32_t size) {
    if (data == nullptr || size == 0 || wave.blockAlign == 0) {
        return nullptr;
    }
    const int rate = static_cast<int>(wave.samplesPerSecond);
    SDL_AudioStream* stream =
        SDL_NewAudioStream(SourceFormat(wave), wave.channels, rate, AUDIO_S16SYS, 2, rate);
    if (stream == nullptr) {
        return nullptr;
    }
    const size_t frameBytes = wave.blockAlign;
    const size_t frames = size / frameBytes;
    auto samples = std::make_shared<SampleSet>();
    bool ok = true;
    std::unique_ptr<int32_t[]> widened;
    if (wave.bitsPerSample == 24 && !wave.isFloat) {
        widened.reset(new (std::nothrow) int32_t[convertChunkFrames * wave.channels]);
        ok = widened != nullptr;
    }
    for (size_t done = 0; ok && done < frames; done += convertChunkFrames) {
        const size_t n = frames - done < convertChunkFrames ? frames - done : convertChunkFrames;
        const uint8_t* in = data + done * frameBytes;
        if (widened) {
            Widen24(in, n * wave.channels, widened.get());
            ok = SDL_AudioStreamPut(stream, widened.get(),
                                    static_cast<int>(n * wave.channels * sizeof(int32_t))) == 0;
        } else {
            ok = SDL_AudioStreamPut(stream, in, static_cast<int>(n * frameBytes)) == 0;
        }
    }
    ok = ok && SDL_AudioStreamFlush(stream) == 0;
    if (ok) {
        const int available = SDL_AudioStreamAvailable(stream);
        const size_t outFrames = static_cast<size_t>(available) / (2 * sizeof(int16_t));
        ok = outFrames > 0 && outFrames <= UINT32_MAX;
        if (ok) {
            try {
                samples->samples.resize(outFrames * 2);
            } catch (const std::bad_alloc&) {
                ok = false;
            }
        }
        if (ok) {
            const int got = SDL_AudioStreamGet(stream, samples->samples.data(),
                                               static_cast<int>(outFrames * 2 * sizeof(int16_t)));
            ok = got > 0;
            samples->frameCount = ok ? static_cast<uint32_t>(got / (2 * sizeof(int16_t))) : 0;
            samples->sampleRate = wave.samplesPerSecond;
        }
    }
    SDL_FreeAudioStream(stream);
    if (!ok || samples->frameCount == 0) {
        return nullptr;
    }
    return samples;
}
