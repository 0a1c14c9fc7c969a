// One sound effect: a copy of its wave image and one or more play buffers (mixer
// voices) that share the converted samples, so the effect can sound several
// times at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class SoundDevice;
class Voice;

struct PlayBufferSlot {
    Voice* buffer = nullptr;  // owned; empty until created
    bool reserved = false;    // handed to a caller by index
};

// Result codes (0 is success), from the engine's shared numbering.
enum SoundResult : int {
    SoundOk = 0,
    SoundFileNotOpened = 12,
    SoundOutOfMemory = 13,
    SoundOutputUnavailable = 16,
    SoundNoCooperativeLevel = 17,
    SoundBadWave = 18,
    SoundNoBuffer = 19,
    SoundAllBuffersBusy = 20,
    SoundVolumeFailed = 21,
    SoundPlayFailed = 22,
    SoundFillFailed = 23,
    SoundDeviceMissing = 51,
    SoundIndexOutOfRange = 55,
};

class SoundBuffer {
public:
    SoundBuffer() = default;
    virtual ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Stops and frees the play buffers, the image copy and the slots; forgets the
    // device. Must run before the device is destroyed.
    void Unload();

    int LoadFromFile(SoundDevice* device, const char* fileName, int32_t playBufferCount);
    // Reads up to `byteCount` bytes from the file's current position.
    int LoadFromStream(SoundDevice* device, FILE* file, int32_t playBufferCount, size_t byteCount);
    // Copies the image; the caller keeps its block.
    int LoadFromMemory(SoundDevice* device, const uint8_t* image, int32_t playBufferCount,
                       size_t byteCount);
    // Loads from a block allocated with new[] and deletes it afterwards, whatever
    // the result, except on 51, when the block stays the caller's.
    int LoadFromBlock(SoundDevice* device, uint8_t* block, size_t byteCount,
                      int32_t playBufferCount);

    // Finds the format and data chunks in `waveImage`.
    bool ParseWave();
    // Converts the data chunk into the device's sample format and gives the
    // samples to `buffer` (and so to every duplicate made from it later).
    bool FillBuffer(Voice* buffer);
    // The first unreserved slot with a buffer that is not playing; -1 when there
    // is none or no device.
    int32_t FindFreeBuffer();

    // Plays once on a free play buffer. With an out index the slot becomes
    // reserved and its index is written; the out index is -1 on every other path.
    int PlayAtVolume(int32_t volume, int32_t* outIndex = nullptr);
    int Play(int32_t* outIndex = nullptr);
    int PlayLooping(int32_t volume, int32_t* outIndex = nullptr);
    // Plays and waits for the end; the slot stays reserved afterwards.
    int PlayAndWait(int32_t volume);

    bool IsPlaying(int32_t index) const;
    int StopBuffer(int32_t index);
    int StopAll();
    void ReleaseBuffer(int32_t index);
    bool SetBufferVolume(int32_t index, int32_t volume);
    bool SetBufferFrequency(int32_t index, int32_t frequency);
    bool SetBufferPan(int32_t index, int32_t pan);

    PlayBufferSlot* playBuffers = nullptr;  // owned, playBufferCount slots
    int32_t playBufferCount = 0;
    uint32_t dataSize = 0;                // bytes of whole sample frames in the data chunk
    const uint8_t* sampleData = nullptr;  // into waveImage
    uint8_t* waveImage = nullptr;         // owned copy of the whole image
    const uint8_t* format = nullptr;      // into waveImage: the format chunk's body
    SoundDevice* device = nullptr;        // not owned
    size_t waveImageSize = 0;
    uint32_t formatSize = 0;

private:
    bool HasDevice() const;
    bool InRange(int32_t index) const;
    // The buffer of a reserved slot, when there is a device; null otherwise.
    Voice* ReservedVoice(int32_t index) const;
    int StartFree(int32_t volume, bool looping, int32_t* outIndex);
};
