// The sounds of the sound list: named recordings played fire-and-forget, each allowing a number
// of overlapping copies that share its samples, found by name through a 256-bucket index.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/name_index.h"
#include "engine/platform/audio_output.h"
#include "engine/sound/wave.h"

class TWaveCollection;

class TWaveCollectionItem {
 public:
  explicit TWaveCollectionItem(TWaveCollection& collection);
  ~TWaveCollectionItem();
  TWaveCollectionItem(const TWaveCollectionItem&) = delete;
  TWaveCollectionItem& operator=(const TWaveCollectionItem&) = delete;

  const std::string& Name() const { return name_; }
  // Puts the item at the head of its name's chain in the collection's index.
  void SetName(std::string name);

  bool Looped() const { return looped_; }
  // A change stops the sound and all its copies.
  void SetLooped(bool looped);
  // Most copies that may sound at once; 0 means no limit.
  int32_t MaxPlayingCount() const { return maxPlayingCount_; }
  // Negative values become 0; a change frees the copies.
  void SetMaxPlayingCount(int32_t count);
  // Playback rate in frames per second; 0 plays at the recorded rate. A change makes the
  // buffers anew at that rate.
  int32_t Frequency() const { return frequency_; }
  void SetFrequency(int32_t frequency);
  // Stereo position and attenuation in hundredths of a decibel (0: centre, full volume).
  int32_t Pan() const { return pan_; }
  void SetPan(int32_t pan);
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t volume);

  TWave& Wave() { return wave_; }
  const TWave& Wave() const { return wave_; }

  // Plays the sound and returns at once (with `wait`, once it has played). A looped sound
  // restarts its main buffer; any other takes the first copy that has finished, or a new copy
  // while the limit allows, or else cuts off the copy started longest ago. Nothing happens
  // before the sound device is up or when the sound has no playable samples.
  void Play(bool wait = false);

  bool Initialized() const { return initialized_; }
  platform::SoundBuffer* MainBuffer() const { return mainBuffer_.get(); }
  const std::vector<std::unique_ptr<platform::SoundBuffer>>& PlayingCopies() const {
    return playingCopies_;
  }

  // The sound device's steps, passed on by the collection.
  void Initialize() { initialized_ = true; }
  // Frees the buffer and the copies.
  void Finalize();
  // Makes the main buffer from the wave anew (the copies go with the old one).
  void Restore();

 private:
  bool MakeMainBuffer();
  void FreeCopies();
  platform::SoundBuffer* ChooseCopy();

  TWaveCollection& collection_;
  std::string name_;
  std::unique_ptr<platform::SoundBuffer> mainBuffer_;
  std::vector<std::unique_ptr<platform::SoundBuffer>> playingCopies_;
  int32_t frequency_ = 0;
  bool initialized_ = false;
  bool looped_ = false;
  int32_t maxPlayingCount_ = 0;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
  TWave wave_;
};

class TWaveCollection {
 public:
  TWaveCollection() = default;
  ~TWaveCollection();
  TWaveCollection(const TWaveCollection&) = delete;
  TWaveCollection& operator=(const TWaveCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // The index-th item in archive order; EListError "List index out of bounds (%d)" outside
  // 0..Count - 1.
  TWaveCollectionItem& Items(int index);
  const TWaveCollectionItem& Items(int index) const;
  // A new item at the end, not initialised.
  TWaveCollectionItem& Add();
  void Clear();

  // The item of that name, ignoring case; of two with the same name the one named last.
  // Throws EWaveCollectionError "Wave '%s' not found".
  TWaveCollectionItem& Find(std::string_view name);

  // The output the items make buffers on; null while there is none.
  platform::AudioOutput* Output() const { return output_; }
  // The sound device is up: every item may make buffers from now on.
  void Initialize(platform::AudioOutput& output);
  void Restore();
  // The sound device goes down: every item frees its buffers.
  void Finalize();

 private:
  friend class TWaveCollectionItem;

  std::vector<std::unique_ptr<TWaveCollectionItem>> items_;
  TNameIndex<TWaveCollectionItem> index_;
  platform::AudioOutput* output_ = nullptr;
};
