// The headless machine for tests, with the game's font.
#pragma once

#include "engine/platform/headless/headless_platform.h"

inline platform::headless::HeadlessPlatform MakeHeadlessPlatform() {
  return platform::headless::HeadlessPlatform(SKARVEL_FONT_DIR);
}
