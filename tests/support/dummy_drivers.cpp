// The tests run without a display or a sound card: SDL's dummy drivers, chosen before any test
// starts SDL, unless whoever runs the tests chose drivers of their own.
#include <cstdlib>

namespace {

const bool dummyDriversChosen = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

}  // namespace
