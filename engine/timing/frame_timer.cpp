#include "engine/timing/frame_timer.h"

#include <algorithm>
#include <cmath>

TFrameTimer::TFrameTimer(TApplication& application) : application_(application) {
  application_.AddActivationListener(this);
}

TFrameTimer::~TFrameTimer() {
  ShutDown();
  application_.RemoveActivationListener(this);
}

void TFrameTimer::Loaded() {
  loading_ = false;
  if (enabled_) StartUp();
}

void TFrameTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (loading_) return;
  if (enabled)
    StartUp();
  else
    ShutDown();
}

void TFrameTimer::SetInterval(int64_t interval) {
  interval_ = static_cast<uint32_t>(std::clamp<int64_t>(interval, 0, UINT32_MAX));
  tickLength_ = std::max<uint32_t>(interval_, 1);
}

void TFrameTimer::StartUp() {
  ShutDown();
  if (!activeOnly_ || application_.Active()) Resume();
  initialized_ = true;
}

void TFrameTimer::ShutDown() {
  if (!initialized_) return;
  Suspend();
  initialized_ = false;
}

void TFrameTimer::Resume() {
  lastTick_ = rateStart_ = application_.Platform().clock().Milliseconds();
  application_.SetIdleHook(this);
}

// There is one idle hook: suspending removes it whichever timer installed it, which is why a
// switch between timers disables the running one before enabling the other.
void TFrameTimer::Suspend() {
  application_.RemoveIdleHook();
}

uint32_t TFrameTimer::MillisecondsUntilDue() {
  const uint32_t elapsed = application_.Platform().clock().Milliseconds() - lastTick_;
  return elapsed >= interval_ ? 0 : interval_ - elapsed;
}

void TFrameTimer::Idle() {
  const uint32_t now = application_.Platform().clock().Milliseconds();
  const uint32_t elapsed = now - lastTick_;  // unsigned: the clock's wrap-around is harmless
  if (elapsed < interval_) return;
  lastTick_ = now;
  // The remainder is dropped: a late frame runs the game slower rather than catching up.
  const int32_t lagCount =
      static_cast<int32_t>(std::clamp<uint32_t>(elapsed / tickLength_, 1, INT32_MAX));

  ++tickCount_;
  const uint32_t window = std::max<uint32_t>(now - rateStart_, 1);
  if (window >= 1000) {
    framesPerSecond_ = static_cast<int32_t>(
        std::nearbyint(static_cast<double>(tickCount_) * 1000.0 / window));  // ties to even
    tickCount_ = 0;
    rateStart_ = now;
  }
  if (OnTimer) OnTimer(lagCount);
}

void TFrameTimer::ApplicationActivated() {
  if (OnActivate) OnActivate();
  if (initialized_ && activeOnly_) Resume();
}

void TFrameTimer::ApplicationDeactivated() {
  if (OnDeactivate) OnDeactivate();
  if (initialized_ && activeOnly_) Suspend();
}
