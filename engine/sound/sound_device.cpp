#include "engine/sound/sound_device.h"

#include <algorithm>

#include "engine/base/exception.h"

TSoundDevice::TSoundDevice(platform::AudioOutput& output) : output_(output) {}

TSoundDevice::~TSoundDevice() {
  Finalize();
  Notify(TSoundDeviceNotify::sdnDestroying);
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
  Notify(TSoundDeviceNotify::sdnInitializing);
  if (!output_.Open()) throw ESoundDeviceError("Primary Buffer cannot be made");
  initialized_ = true;
  Notify(TSoundDeviceNotify::sdnInitialize);
  Restore();
}

void TSoundDevice::Finalize() {
  if (!initialized_) return;
  Notify(TSoundDeviceNotify::sdnFinalize);
  initialized_ = false;
  output_.Close();
}

void TSoundDevice::Restore() {
  if (initialized_) Notify(TSoundDeviceNotify::sdnRestore);
}

void TSoundDevice::RegisterListener(SoundDeviceListener* listener) {
  listeners_.push_back(listener);
}

void TSoundDevice::UnregisterListener(SoundDeviceListener* listener) {
  std::erase(listeners_, listener);
}

void TSoundDevice::Notify(TSoundDeviceNotify type) {
  const std::vector<SoundDeviceListener*> listeners = listeners_;
  for (SoundDeviceListener* listener : listeners) listener->SoundDeviceNotify(type);
}
