#include "engine/platform/sdl/sdl_end_signals.h"

#include <csignal>

namespace platform::sdl {
namespace {

// Written only by the handler and read by the event queue: nothing else is safe in a handler.
volatile std::sig_atomic_t endRequested = 0;

void NoteEndRequest(int /*signal*/) {
  endRequested = 1;
}

void Catch(int signal, struct sigaction& previous) {
  // A signal the program was started to ignore (nohup, a background job of a script) stays so.
  sigaction(signal, nullptr, &previous);
  if (previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = NoteEndRequest;
  sigemptyset(&action.sa_mask);
  // Back to the default once taken: a program that does not end on the first request (hung, say)
  // ends on the second.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(signal, &action, nullptr);
}

}  // namespace

SdlEndSignals::SdlEndSignals() {
  endRequested = 0;
  Catch(SIGTERM, previousTerm_);
  Catch(SIGINT, previousInt_);
}

SdlEndSignals::~SdlEndSignals() {
  sigaction(SIGTERM, &previousTerm_, nullptr);
  sigaction(SIGINT, &previousInt_, nullptr);
}

bool SdlEndSignals::TakeRequest() {
  if (endRequested == 0) return false;
  endRequested = 0;
  return true;
}

}  // namespace platform::sdl
