// The requests to end the program that come as signals: SIGTERM (the desktop logging the player
// out, or a kill) and SIGINT (Ctrl+C in a terminal). The handler only notes the request; the event
// queue hands it on as an EndRequest, which ends the game as a confirmed close does.
#pragma once

#include <signal.h>

namespace platform::sdl {

class SdlEndSignals {
 public:
  // Catches both signals until destroyed, then puts back what was there before. A second signal
  // of a kind already caught ends the program at once, as it would without the game.
  SdlEndSignals();
  ~SdlEndSignals();
  SdlEndSignals(const SdlEndSignals&) = delete;
  SdlEndSignals& operator=(const SdlEndSignals&) = delete;

  // True once for the requests noted since the last call.
  static bool TakeRequest();

 private:
  struct sigaction previousTerm_ {};
  struct sigaction previousInt_ {};
};

}  // namespace platform::sdl
