// The build's choice of high-score server and result key.
#include "online/online_config.h"

#if !defined(SKARVEL_SCORE_SERVER) || !defined(SKARVEL_RESULT_KEY)
#error "SKARVEL_SCORE_SERVER and SKARVEL_RESULT_KEY come from the CMake cache"
#endif

namespace {

constexpr std::string_view Server = SKARVEL_SCORE_SERVER;
constexpr std::string_view Key = SKARVEL_RESULT_KEY;
static_assert(!Server.empty(), "SKARVEL_SCORE_SERVER names no host");
static_assert(Key.size() == 1 && Key[0] >= 'A' && Key[0] <= 'Z',
              "SKARVEL_RESULT_KEY must be one capital letter");

}  // namespace

std::string_view ScoreServer() {
  return Server;
}

char ResultKey() {
  return Key[0];
}
