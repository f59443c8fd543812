// The audio output shared by the sound and the MCI devices. On Linux it is the one SDL
// audio device and mixer of the process; on Windows the system's own, which this contract
// only asks about.
//
// On Linux: opened on first use and kept open until CloseAudioDevice or the end of the process. A
// program that must not wait for the drivers' probe at its first sound (it can take a tenth
// of a second) opens the device at start-up. A failed open (no audio device: CI, a
// locked-down session) is logged once and remembered, so later calls fail at once instead
// of probing the drivers again; the drivers' own reports stay off stderr.
#pragma once

namespace platform {

// True when the device and the mixer are open (opening them now if this is the first
// call since start or since CloseAudioDevice).
bool AudioDeviceOpen();

// True when MIDI files can be played (Linux: FluidSynth with the sound font; Windows: a
// MIDI output device). Opens like AudioDeviceOpen.
bool MidiAvailable();

// Something holding mixer objects (sounds, music) that must be freed before the mixer
// closes. Registered once by each module that holds any.
using AudioReleaseHook = void (*)();
void RegisterAudioReleaseHook(AudioReleaseHook hook);

// Closes the device (as CloseAudioDevice) once nothing has played on it for `quietMs`,
// counted from the first call that finds it silent; call it regularly. An open device's
// mixing thread wakes some twenty times a second even in silence. The next use opens it
// again. On Windows the system's mixer rests by itself and this does nothing.
void CloseAudioDeviceWhenSilent(unsigned quietMs);

// Frees everything through the hooks (the sound stops, every MCI device closes), then closes
// the mixer and the device. The next use opens them again from the environment of that
// moment, so tests can change SDL's audio driver in between. Also runs by itself at process
// exit.
void CloseAudioDevice();

}  // namespace platform
