#include "engine/platform/sdl/utf8.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::DecodeUtf8;
using platform::sdl::ToDesktopText;

TEST(Utf8, DecodesWellFormedTextAndDropsMalformedSequences) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {"ASCII", "Ab1 ", {'A', 'b', '1', ' '}},
      {"two bytes", "\xC3\xA9", {0xE9}},
      {"three bytes", "\xE2\x82\xAC", {0x20AC}},
      {"four bytes", "\xF0\x9F\x98\x80", {0x1F600}},
      {"stray byte between letters",
       "a\xFF"
       "b",
       {'a', 'b'}},
      {"stray continuation byte", "\x80z", {'z'}},
      {"cut off at the end", "a\xC3", {'a'}},
      {"cut off before a letter", "\xE2\x82z", {'z'}},
      {"overlong slash", "\xC0\xAF", {}},
      {"overlong three bytes", "\xE0\x80\xAF", {}},
      {"surrogate", "\xED\xA0\x80", {}},
      {"past U+10FFFF", "\xF4\x90\x80\x80", {}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeUtf8(c.text), c.expected) << c.what;
}

TEST(Utf8, DesktopTextKeepsUtf8AndEncodesLatin1) {
  EXPECT_EQ(ToDesktopText("Can't load music."), "Can't load music.");
  EXPECT_EQ(ToDesktopText("Jos\xC3\xA9"), "Jos\xC3\xA9");    // already UTF-8
  EXPECT_EQ(ToDesktopText("Jos\xE9"), "Jos\xC3\xA9");        // a Latin-1 name
  EXPECT_EQ(ToDesktopText("\xFF\xA0"), "\xC3\xBF\xC2\xA0");  // every byte above 127
}

}  // namespace
