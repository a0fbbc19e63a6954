// The sound module's output on Windows: waveOut on the default device (the wave mapper), fed by
// a mixing thread of our own. waveOut rather than WASAPI: it is on every Windows with no COM
// set-up, the system mixes it into the shared-mode stream anyway, 16-bit stereo PCM at 44100 Hz
// is accepted everywhere, and a machine without a device says so at once from waveOutOpen.
#include "platform/sound_device.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

namespace {
// Four buffers of 1024 frames: about 93 ms queued at 44100 Hz, enough to ride out a slow frame
// of the main thread, while music starts within one buffer of the call that starts it.
const int32_t bufferCount = 4;
const int32_t bufferFrames = 1024;

struct WaveOutput {
    HWAVEOUT device = nullptr;
    HANDLE bufferDone = nullptr; // signalled by waveOut whenever a buffer comes back
    HANDLE thread = nullptr;
    CRITICAL_SECTION lock;
    bool lockReady = false;
    volatile LONG stopping = 0;
    WAVEHDR headers[bufferCount];
    int16_t samples[bufferCount][2 * bufferFrames];
    float mix[2 * bufferFrames];
};

WaveOutput output;

void reportWaveError(const char* call, MMRESULT result) {
    char text[MAXERRORLENGTH] = "";
    waveOutGetErrorTextA(result, text, sizeof text);
    fprintf(stderr, "sound: %s: %s\n", call, text[0] ? text : "failed");
}

// Mixes one buffer's worth and converts it to 16 bits (mixSound has clipped it to [-1, 1]).
void fill(WAVEHDR& header) {
    EnterCriticalSection(&output.lock);
    mixSound(output.mix, bufferFrames);
    LeaveCriticalSection(&output.lock);
    int16_t* dest = reinterpret_cast<int16_t*>(header.lpData);
    for (int32_t i = 0; i < 2 * bufferFrames; ++i)
        dest[i] = (int16_t)(output.mix[i] * 32767.0f);
}

// Keeps every buffer queued: each one that has come back is mixed again and sent.
DWORD WINAPI mixingThread(void*) {
    while (!InterlockedCompareExchange(&output.stopping, 0, 0)) {
        for (WAVEHDR& header : output.headers) {
            if (header.dwFlags & WHDR_INQUEUE) continue;
            fill(header);
            MMRESULT result = waveOutWrite(output.device, &header, sizeof header);
            if (result != MMSYSERR_NOERROR) {
                reportWaveError("waveOutWrite", result);
                return 1;
            }
        }
        WaitForSingleObject(output.bufferDone, INFINITE);
    }
    return 0;
}

void release() {
    for (WAVEHDR& header : output.headers)
        if (header.dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(output.device, &header, sizeof header);
    if (output.device) waveOutClose(output.device);
    output.device = nullptr;
    if (output.bufferDone) CloseHandle(output.bufferDone);
    output.bufferDone = nullptr;
    if (output.lockReady) DeleteCriticalSection(&output.lock);
    output.lockReady = false;
}
} // namespace

bool openSoundDevice(int32_t mixRate, int32_t& deviceRate) {
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = (DWORD)mixRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = (WORD)(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;

    output.bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!output.bufferDone) {
        fprintf(stderr, "sound: CreateEvent failed (error %lu)\n", GetLastError());
        return false;
    }
    InitializeCriticalSection(&output.lock);
    output.lockReady = true;
    MMRESULT result = waveOutOpen(&output.device, WAVE_MAPPER, &format,
                                  (DWORD_PTR)output.bufferDone, 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        reportWaveError("waveOutOpen", result);
        output.device = nullptr;
        release();
        return false;
    }
    for (int32_t i = 0; i < bufferCount; ++i) {
        WAVEHDR& header = output.headers[i];
        std::memset(&header, 0, sizeof header);
        header.lpData = reinterpret_cast<LPSTR>(output.samples[i]);
        header.dwBufferLength = sizeof output.samples[i];
        result = waveOutPrepareHeader(output.device, &header, sizeof header);
        if (result != MMSYSERR_NOERROR) {
            reportWaveError("waveOutPrepareHeader", result);
            release();
            return false;
        }
    }
    // The wave mapper converts to whatever the hardware runs at: the stream stays at mixRate.
    deviceRate = mixRate;
    output.stopping = 0;
    return true;
}

void lockSoundDevice() {
    if (output.lockReady) EnterCriticalSection(&output.lock);
}

void unlockSoundDevice() {
    if (output.lockReady) LeaveCriticalSection(&output.lock);
}

void startSoundDevice() {
    if (!output.device || output.thread) return;
    output.thread = CreateThread(nullptr, 0, mixingThread, nullptr, 0, nullptr);
    if (!output.thread) fprintf(stderr, "sound: CreateThread failed (error %lu)\n", GetLastError());
}

void closeSoundDevice() {
    if (output.thread) {
        InterlockedExchange(&output.stopping, 1);
        SetEvent(output.bufferDone);
        WaitForSingleObject(output.thread, INFINITE);
        CloseHandle(output.thread);
        output.thread = nullptr;
    }
    // Returns every queued buffer, so they can be unprepared.
    if (output.device) waveOutReset(output.device);
    release();
}
