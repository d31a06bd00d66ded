// The sound list component (WaveList1): owns the sounds loaded from the sound archive and keeps
// their buffers in step with the sound device it is bound to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "engine/sound_device.h"
#include "engine/wave_collection.h"

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

  TWaveCollection& Items() { return items_; }
  const TWaveCollection& Items() const { return items_; }

  void SoundDeviceNotify(TDirectXSoundNotifyType type) override;

 private:
  // The sounds make their buffers when the device is up.
  void StartItems();

  TWaveCollection items_;
  TSoundDevice* device_ = nullptr;
};
