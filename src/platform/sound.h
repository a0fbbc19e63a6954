// The sound module: shaped like the calls the entry makes, on libopenmpt rendering into the
// platform's audio output. Error codes are numbered as the error-text table of the shell.
#pragma once
#include <cstdint>

enum SoundError : int32_t {
    soundOk = 0,
    soundErrorBusy = 1,          // init while already initialised
    soundErrorUninitialized = 2, // a call that needs init before it
    soundErrorInit = 3,          // no audio device
    soundErrorFileNotFound = 9,
    soundErrorFormat = 10,   // a file libopenmpt does not take
    soundErrorFileLoad = 11, // a read failure
    soundErrorMemory = 12,
    soundErrorInvalidParam = 15,
};

// Output types: the only one is the system's default audio device.
enum SoundOutput : int32_t {
    soundOutputAutomatic = 0,
};

// The hall the show's music plays in: the EAX environment (7, the concert hall), its volume,
// decay time in seconds and damping, as the entry sets it and the offline render hears it.
constexpr int32_t showHallEnvironment = 7;
constexpr float showHallVolume = 0.5f;
constexpr float showHallDecay = 10.0f;
constexpr float showHallDamping = 0.3f;

struct MusicModule;

int32_t soundGetOutput();
bool soundSetOutput(int32_t outputType);
// Opens the audio device: mixing rate in Hz, channels, flags. False on failure.
bool soundInit(int32_t mixRate, int32_t maxChannels, uint32_t flags);
int32_t soundGetError();
// Null on failure (see soundGetError).
MusicModule* musicLoadSong(const char* path);
bool musicPlaySong(MusicModule* module);
// Reverb environment, volume (wet level), decay time in seconds, damping.
bool soundSetReverbEnvironment(int32_t environment, float volume, float decay, float damping);
// Stops playback, releases the module and the device; safe to call at any time.
void soundClose();
