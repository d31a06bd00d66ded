// The application object: the message loop of the one window thread, its single idle hook (which
// the frame timers install and remove), and the application's active state with the listeners
// that watch it. The loop sleeps until the idle hook is due or an event arrives: it never
// busy-polls.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/platform/platform.h"

// What the application calls from its idle time.
class IdleHandler {
 public:
  virtual ~IdleHandler() = default;
  // One idle call: does the handler's work if it is due.
  virtual void Idle() = 0;
  // Milliseconds until the next call can do work (0: due now).
  virtual uint32_t MillisecondsUntilDue() = 0;
};

// Told when the application becomes active or inactive (the window gets or loses the focus).
class ActivationListener {
 public:
  virtual ~ActivationListener() = default;
  virtual void ApplicationActivated() = 0;
  virtual void ApplicationDeactivated() = 0;
};

class TApplication {
 public:
  using EventHandler = std::function<void(const platform::Event&)>;
  using ErrorHandler = std::function<void(const char* message)>;

  explicit TApplication(platform::Platform& platform);

  platform::Platform& Platform() { return platform_; }

  // The one idle hook: installing replaces any other, removing clears whichever is installed.
  void SetIdleHook(IdleHandler* handler) { idleHook_ = handler; }
  void RemoveIdleHook() { idleHook_ = nullptr; }
  IdleHandler* IdleHook() const { return idleHook_; }

  bool Active() const { return active_; }
  // Listeners are told of changes in the order they were added.
  void AddActivationListener(ActivationListener* listener);
  void RemoveActivationListener(ActivationListener* listener);
  // Changes the active state and tells the listeners; nothing happens when it is unchanged.
  void SetActive(bool active);

  // Where an exception escaping an event handler or an idle call goes (a message box in the game).
  void SetErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }

  // Ends Run after the current event.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // One pass of the loop: every pending event goes to `dispatch` (activation events also change
  // the active state first), then the idle hook runs once. Returns false once terminated.
  bool ProcessMessages(const EventHandler& dispatch);
  // Runs passes until terminated, sleeping between them until the idle hook is due or an event
  // arrives.
  void Run(const EventHandler& dispatch);

 private:
  template <typename Action>
  void Guarded(Action&& action);

  platform::Platform& platform_;
  IdleHandler* idleHook_ = nullptr;
  std::vector<ActivationListener*> activationListeners_;
  ErrorHandler onError_;
  bool active_ = true;
  bool terminated_ = false;
};
