// The help pages name the keys that really steer: every key of the steering states in the game's
// key table, read from the table itself, is named on the first page.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine/input/game_input.h"
#include "engine/platform/virtual_keys.h"
#include "tools/assetgen/help.h"

namespace {

// How the help names a key: a letter as itself, a keypad key by its digit after "keypad" is
// mentioned, an arrow as "arrow keys".
std::string HelpName(int32_t key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
  if (key >= vk::Numpad(0) && key <= vk::Numpad(9)) return std::to_string(key - vk::Numpad(0));
  if (key == vk::Up || key == vk::Down || key == vk::Left || key == vk::Right) return "arrow keys";
  ADD_FAILURE() << "no help name for key " << key;
  return "?";
}

bool Names(const std::string& text, const std::string& name) {
  return std::regex_search(text, std::regex("\\b" + name + "\\b"));
}

TEST(HelpText, TheControlsPageNamesEveryKeyThatSteersAndTheJoystick) {
  const std::string controls = assets::HelpPageText(1);
  const TKeyAssignList keys = DefaultKeyAssigns();
  for (const TInputState state : {isUp, isDown, isLeft, isRight}) {
    for (const int32_t key : keys[state]) {
      if (key == 0) continue;
      EXPECT_TRUE(Names(controls, HelpName(key))) << HelpName(key) << " in: " << controls;
      if (key >= vk::Numpad(0) && key <= vk::Numpad(9)) {
        EXPECT_TRUE(Names(controls, "keypad")) << controls;
      }
    }
  }
  EXPECT_TRUE(Names(controls, "joystick")) << controls;
  // Fire: Space from the table, Ctrl put in Z's place at start-up.
  EXPECT_TRUE(Names(controls, "Space")) << controls;
  EXPECT_TRUE(Names(controls, "Ctrl")) << controls;
  EXPECT_THROW(assets::HelpPageText(11), std::out_of_range);
}

}  // namespace
