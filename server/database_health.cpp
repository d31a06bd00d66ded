// Logs the changes of the database's state, not every failure.
#include "server/database_health.h"

#include <cstdio>

void DatabaseHealth::Failed(const std::string& reason) {
  {
    std::lock_guard lock(mutex_);
    ++failures_;
    if (!available_) return;
    available_ = false;
    since_ = std::chrono::steady_clock::now();
  }
  if (log_) log_("DATABASE UNAVAILABLE: " + reason + "; results are refused until it answers");
}

void DatabaseHealth::Succeeded() {
  unsigned long failures = 0;
  double seconds = 0;
  {
    std::lock_guard lock(mutex_);
    if (available_) return;
    available_ = true;
    failures = failures_;
    failures_ = 0;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since_).count();
  }
  if (log_) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "database available again after %.1f s (%lu calls failed meanwhile)", seconds,
                  failures);
    log_(text);
  }
}

bool DatabaseHealth::Available() const {
  std::lock_guard lock(mutex_);
  return available_;
}
