#include "engine/wave_list.h"

#include "engine/archive/stream_bytes.h"
#include "engine/wave_archive.h"

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

void TWaveList::SoundDeviceNotify(TDirectXSoundNotifyType type) {
  switch (type) {
    case TDirectXSoundNotifyType::dsntInitialize:
      items_.Initialize(device_->Output());
      break;
    case TDirectXSoundNotifyType::dsntRestore:
      items_.Restore();
      break;
    case TDirectXSoundNotifyType::dsntFinalize:
      items_.Finalize();
      break;
    case TDirectXSoundNotifyType::dsntDestroying:
      SetSoundDevice(nullptr);
      break;
    case TDirectXSoundNotifyType::dsntInitializing:
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
