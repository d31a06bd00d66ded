// Sound effects on SDL2_mixer: each sound's samples are one Mix_Chunk, converted once to the
// mixer's format, and every buffer (a sound or a copy of it) plays on a mixer channel of its own,
// so copies share the samples and Mix_Playing on its channel is a copy's playing status.
#pragma once

#include <functional>
#include <memory>

#include "engine/platform/audio_output.h"

namespace platform::sdl {

// `openDevice`: opens the mixer (Mix_OpenAudio) if it is not open yet, called when the device is
// opened; true when the mixer is open. Without it the device does not open and every sound is
// silent, while the game runs on.
std::unique_ptr<AudioOutput> CreateMixerAudioOutput(std::function<bool()> openDevice);
// For a mixer opened (`audioOpen`) or not beforehand.
std::unique_ptr<AudioOutput> CreateMixerAudioOutput(bool audioOpen);

}  // namespace platform::sdl
