#include "engine/sound_device.h"

#include <algorithm>

#include "engine/exception.h"

TSoundDevice::TSoundDevice(platform::SoundDevice& output) : output_(output) {}

TSoundDevice::~TSoundDevice() {
  Finalize();
  Notify(TDirectXSoundNotifyType::dsntDestroying);
}

void TSoundDevice::Loaded() {
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const ESoundDeviceError&) {
    // No audio device: the game goes on without sound effects.
  }
}

void TSoundDevice::Initialize() {
  Finalize();
  Notify(TDirectXSoundNotifyType::dsntInitializing);
  if (!output_.Open()) throw ESoundDeviceError("Primary Buffer cannot be made");
  initialized_ = true;
  Notify(TDirectXSoundNotifyType::dsntInitialize);
  Restore();
}

void TSoundDevice::Finalize() {
  if (!initialized_) return;
  Notify(TDirectXSoundNotifyType::dsntFinalize);
  initialized_ = false;
  output_.Close();
}

void TSoundDevice::Restore() {
  if (initialized_) Notify(TDirectXSoundNotifyType::dsntRestore);
}

void TSoundDevice::RegisterListener(SoundDeviceListener* listener) {
  listeners_.push_back(listener);
}

void TSoundDevice::UnregisterListener(SoundDeviceListener* listener) {
  std::erase(listeners_, listener);
}

void TSoundDevice::Notify(TDirectXSoundNotifyType type) {
  const std::vector<SoundDeviceListener*> listeners = listeners_;
  for (SoundDeviceListener* listener : listeners) listener->SoundDeviceNotify(type);
}
