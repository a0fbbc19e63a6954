// The audio output under the sound module: each platform opens its default device and pulls
// mixed frames from mixSound on a thread of its own. sound_module.cpp holds everything else
// (modules, reverb, error codes), the same on every platform.
#pragma once
#include <cstdint>

// Opens the default output for interleaved stereo near mixRate, paused; deviceRate gets the
// rate it really runs at. False, with the reason on standard error, when there is none.
bool openSoundDevice(int32_t mixRate, int32_t& deviceRate);
// While locked, mixSound does not run; the shared state may be changed.
void lockSoundDevice();
void unlockSoundDevice();
// Starts pulling frames (music starts within one buffer).
void startSoundDevice();
// Stops the output and waits until mixSound has returned for the last time. Safe when closed.
void closeSoundDevice();

// Fills frames of interleaved float stereo in [-1, 1]: the playing module and the hall.
// Called by the device's thread; allocates nothing and takes no lock of its own.
void mixSound(float* stereo, int32_t frames);
// Moves the playing module on by frames without mixing them, for an output that lost time (a
// page whose sound was suspended or frozen): seeking is cheap where mixing minutes is not.
// Called where mixSound is.
void skipSound(int32_t frames);
