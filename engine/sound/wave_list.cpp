#include "engine/sound/wave_list.h"

#include "engine/archive/stream_bytes.h"
#include "engine/sound/wave_archive.h"

TWaveList::~TWaveList() {
  SetSoundDevice(nullptr);
}

void TWaveList::SetSoundDevice(TSoundDevice* device) {
  if (device == device_) return;
  if (device_ != nullptr) {
    items_.Finalize();
    device_->UnregisterListener(this);
  }
  device_ = device;
  if (device_ != nullptr) {
    device_->RegisterListener(this);
    StartItems();
  }
}

void TWaveList::StartItems() {
  if (device_ == nullptr || !device_->Initialized()) return;
  items_.Initialize(device_->Output());
  items_.Restore();
}

void TWaveList::SoundDeviceNotify(TSoundDeviceNotify type) {
  switch (type) {
    case TSoundDeviceNotify::sdnInitialize:
      items_.Initialize(device_->Output());
      break;
    case TSoundDeviceNotify::sdnRestore:
      items_.Restore();
      break;
    case TSoundDeviceNotify::sdnFinalize:
      items_.Finalize();
      break;
    case TSoundDeviceNotify::sdnDestroying:
      SetSoundDevice(nullptr);
      break;
    case TSoundDeviceNotify::sdnInitializing:
      break;
  }
}

void TWaveList::LoadFromFile(const std::filesystem::path& path) {
  LoadFromBytes(archive::ReadFileBytes(path));
}

void TWaveList::LoadFromStream(std::istream& stream) {
  LoadFromBytes(archive::ReadStreamBytes(stream));
}

void TWaveList::LoadFromBytes(std::span<const uint8_t> bytes) {
  items_.Clear();
  try {
    ReadWaveArchive(bytes, items_);
  } catch (...) {
    StartItems();
    throw;
  }
  StartItems();
}

std::vector<uint8_t> TWaveList::SaveToBytes() const {
  return WriteWaveArchive(items_);
}
