// Sound synthesis from oscillators, filtered noise and envelopes. Phases are
// accumulated sample by sample so pitch sweeps stay smooth; the noise comes from
// fixed seeds so each run writes the same samples.
#include "sound_synth.h"

#include <cmath>

#include "seeded_random.h"
#include "wave_file.h"

namespace {

constexpr double tau = 2 * 3.14159265358979323846;

// Exponential glide from a to b over duration seconds, then holding b.
double Glide(double a, double b, double t, double duration) {
    double k = std::min(t / duration, 1.0);
    return a * std::pow(b / a, k);
}

// One-pole low-pass filter with a cutoff that may change every sample.
class LowPass {
public:
    double Step(double input, double cutoff) {
        double a = 1.0 - std::exp(-tau * cutoff / sampleRate);
        value += a * (input - value);
        return value;
    }

private:
    double value = 0;
};

// A band-limited sawtooth: the first harmonics only, so nothing aliases.
double Saw(double phase, int harmonics) {
    double s = 0;
    for (int k = 1; k <= harmonics; ++k) {
        s += std::sin(phase * k) / k;
    }
    return s * 0.6;
}

}  // namespace

std::vector<float> SynthesiseHeavyRelease() {
    const double length = 0.8;
    std::vector<float> out(size_t(length * sampleRate));
    SeededRandom random(0x2E3BA2u);
    LowPass roar;
    LowPass rumble;
    double thumpPhase = 0;
    double tonePhase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sampleRate;
        double attack = std::min(t / 0.006, 1.0);
        thumpPhase += tau * Glide(190, 42, t, 0.45) / sampleRate;
        double thump = std::sin(thumpPhase) * std::exp(-t / 0.22) * attack;
        double noise = random.Signed();
        double whoosh = roar.Step(noise, Glide(1800, 150, t, 0.45)) * std::exp(-t / 0.2) * attack;
        double body = rumble.Step(noise, 180) * std::exp(-t / 0.35);
        tonePhase +=
            tau * Glide(330, 96, t, 0.4) * (1 + 0.02 * std::sin(tau * 23 * t)) / sampleRate;
        double tone = Saw(tonePhase, 8) * std::exp(-t / 0.16) * attack;
        double mix = thump * 1.0 + whoosh * 2.0 + body * 2.4 + tone * 0.3;
        out[i] = float(std::tanh(mix * 1.6));
    }
    Finish(out, 0.003, 0.06);
    return out;
}

std::vector<float> SynthesiseSharpRelease() {
    const double length = 0.6;
    std::vector<float> out(size_t(length * sampleRate));
    SeededRandom random(0x5D2u);
    LowPass hiss;
    double carrier = 0;
    double modulator = 0;
    double shimmer = 0;
    double crackle = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sampleRate;
        double attack = std::min(t / 0.003, 1.0);
        double pitch = Glide(1650, 240, t, 0.42);
        modulator += tau * pitch * 1.5 / sampleRate;
        double index = 1.0 + 5.0 * std::exp(-t / 0.09);
        carrier += tau * pitch / sampleRate;
        double zap = std::sin(carrier + index * std::sin(modulator)) *
                     (std::exp(-t / 0.13) * 0.85 + std::exp(-t / 0.4) * 0.15) * attack;
        shimmer += tau * 2300 / sampleRate;
        double ring = std::sin(shimmer) * std::sin(tau * 37 * t) * std::exp(-t / 0.2);
        // Crackle: noise held for short steps, gated on and off.
        if (i % size_t(sampleRate * 0.004) == 0) {
            crackle = random.Signed() * (random.Unit() < 0.55 ? 1.0 : 0.0);
        }
        double sizzle =
            (hiss.Step(random.Signed(), 6000) * 2.0 + crackle * 0.5) * std::exp(-t / 0.1);
        out[i] = float(zap * 0.8 + ring * 0.18 + sizzle * 0.3);
    }
    Finish(out, 0.002, 0.05);
    return out;
}

std::vector<float> SynthesiseChargeHum() {
    const double length = 2.05;
    std::vector<float> out(size_t(length * sampleRate));
    SeededRandom random(0xED17u);
    LowPass crackleFilter;
    double phase = 0;
    double whinePhase = 0;
    double tremoloPhase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sampleRate;
        double progress = std::min(t / 2.0, 1.0);
        double pitch = 70 + 160 * std::pow(progress, 1.3);
        phase += tau * pitch / sampleRate;
        whinePhase += tau * pitch * 4.02 / sampleRate;
        tremoloPhase += tau * (6 + 14 * progress) / sampleRate;
        double hum = Saw(phase, 7);
        double whine = std::sin(whinePhase) * (0.05 + 0.3 * progress * progress);
        double tremolo = 1.0 - (0.15 + 0.2 * progress) * (0.5 + 0.5 * std::sin(tremoloPhase));
        double crackle = crackleFilter.Step(random.Signed(), 2500) * (0.2 + 1.2 * progress);
        double level = 0.45 + 0.55 * progress;
        out[i] = float((hum * 0.7 + whine + crackle * 0.6) * tremolo * level);
    }
    Finish(out, 0.06, 0.04);
    return out;
}
