// The sound list component (WaveList1): owns the sounds loaded from the sound archive and keeps
// their buffers in step with the sound device it is bound to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <span>
#include <vector>

#include "engine/sound/sound_device.h"
#include "engine/sound/wave_collection.h"

class TWaveList : public SoundDeviceListener {
 public:
  TWaveList() = default;
  ~TWaveList() override;
  TWaveList(const TWaveList&) = delete;
  TWaveList& operator=(const TWaveList&) = delete;

  TSoundDevice* SoundDevice() const { return device_; }
  // Binds the list to a device (null: none). Bound to a device that is up, the sounds make their
  // buffers at once.
  void SetSoundDevice(TSoundDevice* device);

  // Replaces the sounds with those of a sound archive, then, bound to a device that is up, makes
  // their buffers. Fails as ReadWaveArchive does (the sounds read before the fault stay);
  // LoadFromFile also with EFOpenError "Cannot open file "%s"".
  void LoadFromFile(const std::filesystem::path& path);
  void LoadFromStream(std::istream& stream);
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // The sound archive of the list's sounds.
  std::vector<uint8_t> SaveToBytes() const;

  TWaveCollection& Items() { return items_; }
  const TWaveCollection& Items() const { return items_; }

  void SoundDeviceNotify(TSoundDeviceNotify type) override;

 private:
  // The sounds make their buffers when the device is up.
  void StartItems();

  TWaveCollection items_;
  TSoundDevice* device_ = nullptr;
};
