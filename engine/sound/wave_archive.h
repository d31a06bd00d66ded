// The sound archive: the shared archive container with a TWaveCollectionComponent whose one
// property, List, holds the sounds (Name, Looped, MaxPlayingCount and the RIFF WAVE file as
// Wave.WAVE). Reading adds the sounds to a collection in archive order; writing is its inverse.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/sound/wave_collection.h"

// The root class of a sound archive.
constexpr const char* WaveArchiveClassName = "TWaveCollectionComponent";

// Adds the archive's sounds to `items`. Fails with the container's errors (EInvalidImage or
// EReadError "Invalid stream format", EReadError for malformed values), EReadError "Property %s
// does not exist" for a property a sound list does not have, and EWaveStreamError "Wave is
// invalid" for a recording that is not RIFF WAVE; the sounds read before the fault stay added.
void ReadWaveArchive(std::span<const uint8_t> bytes, TWaveCollection& items);

// The archive of the collection's sounds. Looped and MaxPlayingCount are stored only when they
// are not their defaults, the recording only when there is one.
std::vector<uint8_t> WriteWaveArchive(const TWaveCollection& items);
