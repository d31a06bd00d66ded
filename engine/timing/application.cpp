#include "engine/timing/application.h"

#include <algorithm>
#include <exception>

namespace {
// How long the loop sleeps when no idle hook is installed: events still wake it at once.
constexpr uint32_t IdleWaitWithoutHook = 100;
}  // namespace

TApplication::TApplication(platform::Platform& platform) : platform_(platform) {}

void TApplication::AddActivationListener(ActivationListener* listener) {
  activationListeners_.push_back(listener);
}

void TApplication::RemoveActivationListener(ActivationListener* listener) {
  std::erase(activationListeners_, listener);
}

void TApplication::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  // A copy: a listener may remove itself while being told.
  const std::vector<ActivationListener*> listeners = activationListeners_;
  for (ActivationListener* listener : listeners) {
    if (active)
      listener->ApplicationActivated();
    else
      listener->ApplicationDeactivated();
  }
}

template <typename Action>
void TApplication::Guarded(Action&& action) {
  try {
    action();
  } catch (const std::exception& error) {
    if (onError_) onError_(error.what());
  }
}

bool TApplication::ProcessMessages(const EventHandler& dispatch) {
  platform::Event event;
  while (!terminated_ && platform_.events().Poll(event)) {
    Guarded([&] {
      if (event.kind == platform::EventKind::Activate) SetActive(true);
      if (event.kind == platform::EventKind::Deactivate) SetActive(false);
      dispatch(event);
    });
  }
  if (!terminated_ && idleHook_ != nullptr) Guarded([&] { idleHook_->Idle(); });
  return !terminated_;
}

void TApplication::Run(const EventHandler& dispatch) {
  while (ProcessMessages(dispatch)) {
    const uint32_t wait =
        idleHook_ != nullptr ? idleHook_->MillisecondsUntilDue() : IdleWaitWithoutHook;
    if (wait > 0) platform_.events().Wait(wait);
  }
}
