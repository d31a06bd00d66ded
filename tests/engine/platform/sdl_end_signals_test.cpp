// SIGTERM and SIGINT while the SDL backend is up: each becomes one request to end, taken by the
// event queue, and the process goes on; a signal the program was started to ignore stays ignored.
#include "engine/platform/sdl/sdl_end_signals.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using platform::sdl::SdlEndSignals;

TEST(SdlEndSignals, ATermOrAnInterruptBecomesOneRequestAndTheProgramGoesOn) {
  for (const int signal : {SIGTERM, SIGINT}) {
    // As a program started from a desktop or a terminal has them (a background job of a script
    // starts with SIGINT ignored).
    struct sigaction asByDefault {};
    asByDefault.sa_handler = SIG_DFL;
    struct sigaction before {};
    ASSERT_EQ(sigaction(signal, &asByDefault, &before), 0);
    {
      const SdlEndSignals catcher;
      EXPECT_FALSE(SdlEndSignals::TakeRequest()) << signal;
      ASSERT_EQ(std::raise(signal), 0);
      EXPECT_TRUE(SdlEndSignals::TakeRequest()) << signal;
      EXPECT_FALSE(SdlEndSignals::TakeRequest()) << signal;
    }
    sigaction(signal, &before, nullptr);
  }
}

TEST(SdlEndSignals, ASignalIgnoredFromTheStartStaysIgnoredAndIsPutBackAfter) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction before {};
  ASSERT_EQ(sigaction(SIGTERM, &ignore, &before), 0);
  {
    const SdlEndSignals catcher;
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_FALSE(SdlEndSignals::TakeRequest());
  }
  struct sigaction after {};
  ASSERT_EQ(sigaction(SIGTERM, &before, &after), 0);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
}

}  // namespace
