// A frame timer: calls OnTimer from the application's idle time once an interval has passed,
// with the whole number of intervals elapsed (LagCount). The menu and the game each have one;
// only the enabled one holds the application's idle hook.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/timing/application.h"

class TFrameTimer : public IdleHandler, public ActivationListener {
 public:
  using TimerEvent = std::function<void(int32_t lagCount)>;
  using NotifyEvent = std::function<void()>;

  // Starts watching the application's activation from creation on. The timer is created while
  // its window is being loaded: Enabled takes effect with Loaded().
  explicit TFrameTimer(TApplication& application);
  ~TFrameTimer() override;
  TFrameTimer(const TFrameTimer&) = delete;
  TFrameTimer& operator=(const TFrameTimer&) = delete;

  // The window has been loaded: an enabled timer starts.
  void Loaded();

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool ActiveOnly() const { return activeOnly_; }
  void SetActiveOnly(bool activeOnly) { activeOnly_ = activeOnly; }
  uint32_t Interval() const { return interval_; }
  void SetInterval(int64_t interval);
  int32_t FramesPerSecond() const { return framesPerSecond_; }

  TimerEvent OnTimer;
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;

  void Resume();
  void Suspend();

  // IdleHandler: one call of the idle hook.
  void Idle() override;
  uint32_t MillisecondsUntilDue() override;

  // ActivationListener.
  void ApplicationActivated() override;
  void ApplicationDeactivated() override;

 private:
  void StartUp();
  void ShutDown();

  TApplication& application_;
  bool loading_ = true;
  bool enabled_ = true;
  bool activeOnly_ = true;
  bool initialized_ = false;
  uint32_t interval_ = 1000;
  uint32_t tickLength_ = 1000;
  uint32_t tickCount_ = 0;
  uint32_t lastTick_ = 0;
  uint32_t rateStart_ = 0;
  int32_t framesPerSecond_ = 0;
};
