// The sound device component (SoundDevice1): brings the audio output up and down and tells the
// sound lists bound to it, which make and free their buffers in step. Without an audio device it
// stays finalised and every sound is silent; the game never fails for want of sound.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/platform/audio_output.h"

enum class TSoundDeviceNotify : uint8_t {
  sdnDestroying,
  sdnInitializing,
  sdnInitialize,
  sdnFinalize,
  sdnRestore,
};

class SoundDeviceListener {
 public:
  virtual ~SoundDeviceListener() = default;
  virtual void SoundDeviceNotify(TSoundDeviceNotify type) = 0;
};

class TSoundDevice {
 public:
  explicit TSoundDevice(platform::AudioOutput& output);
  ~TSoundDevice();
  TSoundDevice(const TSoundDevice&) = delete;
  TSoundDevice& operator=(const TSoundDevice&) = delete;

  // Initialise on Loaded.
  bool AutoInitialize = true;

  // The window has been loaded: with AutoInitialize the device initialises itself, and a
  // missing audio device only leaves it finalised.
  void Loaded();
  // Opens the output, tells the listeners it is up and has them make their buffers. Throws
  // ESoundDeviceError "Primary Buffer cannot be made" when there is no output to open.
  void Initialize();
  // Has the listeners free their buffers and closes the output.
  void Finalize();
  // Has the listeners make their buffers again.
  void Restore();
  bool Initialized() const { return initialized_; }

  platform::AudioOutput& Output() { return output_; }

  // Listeners are told in the order they registered.
  void RegisterListener(SoundDeviceListener* listener);
  void UnregisterListener(SoundDeviceListener* listener);

 private:
  void Notify(TSoundDeviceNotify type);

  platform::AudioOutput& output_;
  std::vector<SoundDeviceListener*> listeners_;
  bool initialized_ = false;
};
