// The engine's software mixer: opens the SDL audio output and, in SDL's audio
// callback, adds up every playing voice into the device buffer. When the
// output device goes away, play goes on unheard; once a device comes back,
// the next play request opens the output again with every voice kept. The
// player's master volume and mute scale the finished mix.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

class Voice;

class Mixer {
public:
    Mixer() = default;
    virtual ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Starts the audio subsystem and opens the default output: signed 16-bit
    // stereo, 1024-frame buffers. False when no output device can be opened.
    bool Open();
    void Close();

    // Voices join the mix when their sound is loaded and leave it before they are
    // freed; a play request only flips state under the lock, so it never allocates.
    void AddVoice(Voice* voice);
    void RemoveVoice(Voice* voice);

    // Starts a voice; first reopens the output if it was removed and a device
    // has been added since.
    void Start(Voice* voice, bool looping);
    void Stop(Voice* voice);
    bool IsPlaying(const Voice* voice) const;
    bool SetVolume(Voice* voice, int32_t volume);
    bool SetPan(Voice* voice, int32_t pan);
    bool SetFrequency(Voice* voice, int32_t frequency);

    // The player's master volume, 0..100 % (clamped), and muting, applied to
    // the whole mix after the voices' own volumes; 100 % unmuted leaves the
    // mix exactly as the voices make it.
    void SetMasterVolume(int32_t percent, bool muted);
    // Stops or resumes the output where it stands: every voice keeps its
    // place and its playing bit, and goes on from there when resumed.
    void SetPaused(bool paused);

    // Fills `frames` stereo frames of device output; called on the audio thread.
    void Mix(int16_t* out, int32_t frames);

    uint32_t device = 0;  // SDL audio device id; 0 while closed
    int32_t sampleRate = 0;
    // Set from SDL's device events, on whichever thread reports them: the
    // open output was removed; an output device was added after that.
    std::atomic<uint32_t> watchedDevice{0};  // `device`, for the event watch
    std::atomic<bool> deviceRemoved{false};
    std::atomic<bool> deviceAdded{false};

private:
    bool OpenDevice();
    void ReopenIfDeviceReturned();

    void Lock() const;
    void Unlock() const;

    bool subsystemHeld = false;
    bool outputPaused = false;
    float masterGain = 1.0f;  // read by Mix under the lock
    std::vector<Voice*> voices;
    std::vector<float> accumulator;
};
