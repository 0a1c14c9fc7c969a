// Loading a sound effect into play buffers and serving play, stop and status
// requests on them. The samples are converted once, when the sound is loaded;
// a play request only flips voice state, so it allocates and copies nothing.
#include "engine/sound/sound_buffer.h"

#include <sys/stat.h>

#include <SDL.h>

#include <cstring>
#include <memory>
#include <new>

#include "engine/sound/mixer.h"
#include "engine/sound/sample_set.h"
#include "engine/sound/sound_device.h"
#include "engine/sound/voice.h"
#include "engine/sound/wave_image.h"

SoundBuffer::~SoundBuffer() {
    Unload();
}

bool SoundBuffer::HasDevice() const {
    return device != nullptr && device->directSound != nullptr;
}

bool SoundBuffer::InRange(int32_t index) const {
    return playBuffers != nullptr && index >= 0 && index < playBufferCount;
}

Voice* SoundBuffer::ReservedVoice(int32_t index) const {
    if (!HasDevice() || !InRange(index) || !playBuffers[index].reserved) {
        return nullptr;
    }
    return playBuffers[index].buffer;
}

void SoundBuffer::Unload() {
    if (playBuffers != nullptr) {
        if (HasDevice()) {
            StopAll();
        }
        for (int32_t i = 0; i < playBufferCount; ++i) {
            if (playBuffers[i].buffer != nullptr) {
                if (HasDevice()) {
                    device->directSound->RemoveVoice(playBuffers[i].buffer);
                }
                delete playBuffers[i].buffer;
            }
        }
    }
    delete[] waveImage;
    waveImage = nullptr;
    waveImageSize = 0;
    delete[] playBuffers;
    playBuffers = nullptr;
    playBufferCount = 0;
    format = nullptr;
    formatSize = 0;
    sampleData = nullptr;
    dataSize = 0;
    device = nullptr;
}

int SoundBuffer::LoadFromFile(SoundDevice* soundDevice, const char* fileName, int32_t count) {
    Unload();
    device = soundDevice;
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    if (fileName == nullptr) {
        return SoundFileNotOpened;
    }
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return SoundFileNotOpened;
    }
    // A folder opens like a file and measures as an enormous length; only a
    // regular file can hold a wave image.
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(file);
        return SoundFileNotOpened;
    }
    // The byte count is the file's length, measured without moving the position.
    const long start = std::ftell(file);
    long length = -1;
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
        std::fseek(file, start, SEEK_SET);
    }
    const int result =
        length < 0 ? SoundFileNotOpened
                   : LoadFromStream(soundDevice, file, count, static_cast<size_t>(length - start));
    std::fclose(file);
    return result;
}

int SoundBuffer::LoadFromStream(SoundDevice* soundDevice, FILE* file, int32_t count,
                                size_t byteCount) {
    Unload();
    device = soundDevice;
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    uint8_t* block = new (std::nothrow) uint8_t[byteCount > 0 ? byteCount : 1];
    if (block == nullptr) {
        return SoundOutOfMemory;
    }
    // Only the bytes actually read are loaded: a short read must not hand
    // uninitialised memory to the parser.
    const size_t read = file != nullptr ? std::fread(block, 1, byteCount, file) : 0;
    const int result = LoadFromMemory(soundDevice, block, count, read);
    delete[] block;
    return result;
}

int SoundBuffer::LoadFromBlock(SoundDevice* soundDevice, uint8_t* block, size_t byteCount,
                               int32_t count) {
    if (soundDevice == nullptr || soundDevice->directSound == nullptr) {
        Unload();
        device = soundDevice;
        return SoundDeviceMissing;
    }
    if (block == nullptr) {
        Unload();
        device = soundDevice;
        return SoundOutOfMemory;
    }
    const int result = LoadFromMemory(soundDevice, block, count, byteCount);
    delete[] block;
    return result;
}

int SoundBuffer::LoadFromMemory(SoundDevice* soundDevice, const uint8_t* image, int32_t count,
                                size_t byteCount) {
    Unload();
    device = soundDevice;
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    if (image == nullptr && byteCount > 0) {
        return SoundOutOfMemory;
    }
    waveImage = new (std::nothrow) uint8_t[byteCount > 0 ? byteCount : 1];
    if (waveImage == nullptr) {
        return SoundOutOfMemory;
    }
    if (byteCount > 0) {
        std::memcpy(waveImage, image, byteCount);
    }
    waveImageSize = byteCount;

    playBufferCount = count < 1 ? 1 : count;
    playBuffers = new (std::nothrow) PlayBufferSlot[playBufferCount];
    if (playBuffers == nullptr) {
        playBufferCount = 0;
        return SoundOutOfMemory;
    }
    if (!ParseWave()) {
        return SoundBadWave;
    }

    // The first buffer needs a playable format and at least one whole frame.
    WaveFormat wave;
    if (!DecodeWaveFormat(format, formatSize, &wave)) {
        return SoundNoBuffer;
    }
    dataSize -= dataSize % wave.blockAlign;
    if (sampleData == nullptr || dataSize == 0) {
        return SoundNoBuffer;
    }
    Voice* first = new (std::nothrow) Voice(nullptr);
    if (first == nullptr) {
        return SoundNoBuffer;
    }
    if (!FillBuffer(first)) {
        delete first;
        return SoundFillFailed;
    }
    Mixer* mixer = device->directSound;
    playBuffers[0].buffer = first;
    mixer->AddVoice(first);

    // Duplicates share the first buffer's converted samples.
    for (int32_t i = 1; i < playBufferCount; ++i) {
        Voice* duplicate = new (std::nothrow) Voice(first->sampleSet);
        if (duplicate == nullptr) {
            return SoundNoBuffer;
        }
        playBuffers[i].buffer = duplicate;
        mixer->AddVoice(duplicate);
    }
    return SoundOk;
}

bool SoundBuffer::ParseWave() {
    return ::ParseWave(waveImage, waveImageSize, &format, &formatSize, &sampleData, &dataSize);
}

bool SoundBuffer::FillBuffer(Voice* buffer) {
    WaveFormat wave;
    if (buffer == nullptr || sampleData == nullptr || dataSize == 0 ||
        !DecodeWaveFormat(format, formatSize, &wave)) {
        return false;
    }
    std::shared_ptr<SampleSet> samples = ConvertToSampleSet(wave, sampleData, dataSize);
    if (samples == nullptr) {
        return false;
    }
    buffer->sampleSet = std::move(samples);
    return true;
}

int32_t SoundBuffer::FindFreeBuffer() {
    if (!HasDevice()) {
        return -1;
    }
    // Mixer voices cannot be lost the way platform buffers could, so there is
    // nothing to restore before a slot is taken.
    for (int32_t i = 0; i < playBufferCount; ++i) {
        const PlayBufferSlot& slot = playBuffers[i];
        if (!slot.reserved && slot.buffer != nullptr &&
            !device->directSound->IsPlaying(slot.buffer)) {
            return i;
        }
    }
    return -1;
}

int SoundBuffer::StartFree(int32_t volume, bool looping, int32_t* outIndex) {
    if (outIndex != nullptr) {
        *outIndex = -1;
    }
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    if (device->muted) {
        return SoundOk;
    }
    const int32_t index = FindFreeBuffer();
    if (index < 0) {
        return SoundAllBuffersBusy;
    }
    Mixer* mixer = device->directSound;
    Voice* voice = playBuffers[index].buffer;
    if (!mixer->SetVolume(voice, volume)) {
        return SoundVolumeFailed;
    }
    mixer->Start(voice, looping);
    if (outIndex != nullptr) {
        playBuffers[index].reserved = true;
        *outIndex = index;
    }
    return SoundOk;
}

int SoundBuffer::PlayAtVolume(int32_t volume, int32_t* outIndex) {
    return StartFree(volume, false, outIndex);
}

int SoundBuffer::Play(int32_t* outIndex) {
    return PlayAtVolume(0, outIndex);
}

int SoundBuffer::PlayLooping(int32_t volume, int32_t* outIndex) {
    return StartFree(volume, true, outIndex);
}

int SoundBuffer::PlayAndWait(int32_t volume) {
    int32_t index = -1;
    const int result = PlayAtVolume(volume, &index);
    if (result != SoundOk) {
        return result;
    }
    while (IsPlaying(index)) {
        SDL_Delay(1);
    }
    return SoundOk;
}

bool SoundBuffer::IsPlaying(int32_t index) const {
    if (!HasDevice() || !InRange(index) || playBuffers[index].buffer == nullptr) {
        return false;
    }
    return device->directSound->IsPlaying(playBuffers[index].buffer);
}

int SoundBuffer::StopBuffer(int32_t index) {
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    if (!InRange(index)) {
        return SoundIndexOutOfRange;
    }
    PlayBufferSlot& slot = playBuffers[index];
    if (!slot.reserved) {
        return SoundOk;
    }
    if (slot.buffer != nullptr) {
        device->directSound->Stop(slot.buffer);
    }
    slot.reserved = false;
    return SoundOk;
}

int SoundBuffer::StopAll() {
    if (!HasDevice()) {
        return SoundDeviceMissing;
    }
    for (int32_t i = 0; i < playBufferCount && playBuffers != nullptr; ++i) {
        if (playBuffers[i].buffer != nullptr) {
            device->directSound->Stop(playBuffers[i].buffer);
        }
        playBuffers[i].reserved = false;
    }
    return SoundOk;
}

void SoundBuffer::ReleaseBuffer(int32_t index) {
    if (HasDevice() && InRange(index)) {
        playBuffers[index].reserved = false;
    }
}

bool SoundBuffer::SetBufferVolume(int32_t index, int32_t volume) {
    Voice* voice = ReservedVoice(index);
    if (voice == nullptr) {
        return false;
    }
    device->directSound->SetVolume(voice, volume);
    return true;
}

bool SoundBuffer::SetBufferFrequency(int32_t index, int32_t frequency) {
    Voice* voice = ReservedVoice(index);
    if (voice == nullptr) {
        return false;
    }
    device->directSound->SetFrequency(voice, frequency);
    return true;
}

bool SoundBuffer::SetBufferPan(int32_t index, int32_t pan) {
    Voice* voice = ReservedVoice(index);
    if (voice == nullptr) {
        return false;
    }
    device->directSound->SetPan(voice, pan);
    return true;
}
