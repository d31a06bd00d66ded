#include "engine/platform/pad_directions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::PadButton;
using platform::PadDirections;

// The events as text: "+Down" for a PadDown, "-Down" for a PadUp.
std::string Describe(const std::vector<platform::Event>& events) {
  static const char* const names[] = {"Up", "Down", "Left", "Right", "A", "B", "Back", "Start"};
  std::string text;
  for (const platform::Event& event : events) {
    if (!text.empty()) text += ' ';
    text += event.kind == platform::EventKind::PadDown ? '+' : '-';
    text += names[static_cast<int>(event.pad)];
  }
  return text;
}

class PadDirectionsTest : public ::testing::Test {
 protected:
  std::string StickX(int value) {
    std::vector<platform::Event> out;
    pad.SetStickX(value, out);
    return Describe(out);
  }
  std::string StickY(int value) {
    std::vector<platform::Event> out;
    pad.SetStickY(value, out);
    return Describe(out);
  }
  std::string Dpad(PadButton direction, bool held) {
    std::vector<platform::Event> out;
    pad.SetDpad(direction, held, out);
    return Describe(out);
  }

  PadDirections pad;
};

TEST_F(PadDirectionsTest, OnePushOfTheStickIsOnePressAndOneRelease) {
  // A push goes through many positions on its way out and back; it is one press all the same.
  EXPECT_EQ(StickY(4000), "");  // inside the dead zone
  EXPECT_EQ(StickY(16000), "");
  EXPECT_EQ(StickY(16384), "+Down");
  EXPECT_EQ(StickY(32767), "");
  EXPECT_EQ(StickY(20000), "");
  EXPECT_EQ(StickY(9000), "");   // still beyond the quarter that lets go
  EXPECT_EQ(StickY(12000), "");  // pushed a little again: no second press
  EXPECT_EQ(StickY(8191), "-Down");
  EXPECT_EQ(StickY(0), "");
  EXPECT_EQ(StickY(-32768), "+Up");
  EXPECT_EQ(StickY(-100), "-Up");
}

TEST_F(PadDirectionsTest, TheStrongerAxisDecidesAndTheStickMayRollToAnotherDirection) {
  EXPECT_EQ(StickX(20000), "+Right");
  EXPECT_EQ(StickY(25000), "");             // the held direction keeps going while it is pushed
  EXPECT_EQ(StickX(3000), "-Right +Down");  // rolled round to down without passing the centre
  EXPECT_EQ(StickY(-30000), "-Down +Up");   // flicked straight over to the other side
  EXPECT_EQ(StickY(0), "-Up");
  // A push off the diagonal goes the way it leans most.
  EXPECT_EQ(StickX(-20000), "+Left");
  EXPECT_EQ(StickY(-19000), "");
}

TEST_F(PadDirectionsTest, DpadAndStickTogetherAreOnePressOfADirection) {
  EXPECT_EQ(Dpad(PadButton::Left, true), "+Left");
  EXPECT_EQ(StickX(-32768), "");                // already held by the D-pad
  EXPECT_EQ(Dpad(PadButton::Left, false), "");  // the stick still holds it
  EXPECT_EQ(StickX(0), "-Left");
  EXPECT_EQ(Dpad(PadButton::Up, true), "+Up");
  EXPECT_EQ(Dpad(PadButton::Right, true), "+Right");  // a D-pad's diagonal is two directions
  EXPECT_EQ(pad.Held(), platform::PadBit(PadButton::Up) | platform::PadBit(PadButton::Right));

  std::vector<platform::Event> out;
  StickY(32767);
  pad.LetGoAll(out);  // unplugged with everything held
  EXPECT_EQ(Describe(out), "-Up -Down -Right");
  EXPECT_EQ(pad.Held(), 0);
  out.clear();
  pad.LetGoAll(out);
  EXPECT_EQ(Describe(out), "");
}

}  // namespace
