// The counts and the list of waiting connections under one lock; closing happens outside it.
#include "server/connection_registry.h"

#include <vector>

Admission ConnectionRegistry::Admit(ConnectionSlot& slot) {
  std::function<void()> evict;
  {
    std::lock_guard lock(mutex_);
    if (slot.capped) {
      const auto found = perClient_.find(slot.clientKey);
      if (found != perClient_.end() && found->second >= maxPerClient_) {
        return Admission::ClientFull;
      }
    }
    if (open_ >= maxConnections_) {
      if (waiting_.empty()) return Admission::ServerFull;
      ConnectionSlot* longest = waiting_.front();
      Unwait(*longest);
      evict = longest->close;
    }
    ++open_;
    ++perClient_[slot.clientKey];
    slot.admitted = true;
  }
  if (evict) evict();
  return Admission::Admitted;
}

void ConnectionRegistry::Waiting(ConnectionSlot& slot) {
  std::lock_guard lock(mutex_);
  if (!slot.admitted || slot.waiting) return;
  slot.waitingAt = waiting_.insert(waiting_.end(), &slot);
  slot.waiting = true;
}

void ConnectionRegistry::Busy(ConnectionSlot& slot) {
  std::lock_guard lock(mutex_);
  Unwait(slot);
}

void ConnectionRegistry::Release(ConnectionSlot& slot) {
  std::lock_guard lock(mutex_);
  if (!slot.admitted) return;
  Unwait(slot);
  slot.admitted = false;
  --open_;
  const auto found = perClient_.find(slot.clientKey);
  if (found != perClient_.end() && --found->second == 0) perClient_.erase(found);
}

void ConnectionRegistry::CloseWaiting() {
  std::vector<std::function<void()>> closes;
  {
    std::lock_guard lock(mutex_);
    for (ConnectionSlot* slot : waiting_) closes.push_back(slot->close);
  }
  for (const auto& close : closes) close();
}

size_t ConnectionRegistry::Open() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void ConnectionRegistry::Unwait(ConnectionSlot& slot) {
  if (!slot.waiting) return;
  waiting_.erase(slot.waitingAt);
  slot.waiting = false;
}
