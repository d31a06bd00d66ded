// The strict reading of a result: the letters back into the payload, and every field of the
// payload as the game builds it, with each way a payload can differ from that refused.
#include "server/result_check.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/result_decoding.h"

namespace {

// The payload the game sends, padded as it pads.
std::string Payload(std::string_view name, std::string_view score, std::string_view key,
                    std::string_view token, std::string_view country) {
  std::string text = "type=0|name=" + std::string(name) + "|score=" + std::string(score) +
                     "|key=" + std::string(key) + "|p=" + std::string(token) +
                     "|add=" + std::string(country) + "|z=";
  text.append((5 - text.size() % 5) % 5, '0');
  return text;
}

std::string RefusalOf(std::string_view payload) {
  const auto checked = CheckResultPayload(payload, 'S');
  const auto* refusal = std::get_if<ResultRefusal>(&checked);
  return refusal ? refusal->reason : std::string();
}

TEST(ResultDecoding, ReadsBackWhatTheGameEncodes) {
  for (const std::string& payload : std::vector<std::string>{
           BuildResultPayload("Ada", 65535, 'S', "tok-en", "Norway"),
           BuildResultPayload("", 0, 'S', "", ""), std::string("\x00\xff\x7f\x80\x01", 5)}) {
    const auto decoded = DecodeResultLetters(EncodeResult(payload));
    ASSERT_TRUE(decoded.has_value()) << payload;
    EXPECT_EQ(*decoded, payload);
  }
  EXPECT_EQ(DecodeResultLetters("99999999"), std::string(5, '\xff'));
}

TEST(ResultDecoding, RefusesLettersTheGameCannotSend) {
  const std::string good = EncodeResult(BuildResultPayload("Ada", 10, 'S', "t", "N"));
  for (const std::string& letters : std::vector<std::string>{
           std::string(),                             // nothing
           good.substr(0, good.size() - 1),           // not whole groups of eight
           "GC2VD",                                   // "abc": three bytes are no padded payload
           good.substr(0, 7) + "I" + good.substr(8),  // I and O are not in the alphabet
           good.substr(0, 7) + "0" + good.substr(8), good.substr(0, 7) + "a" + good.substr(8),
           std::string(MaxResultLetters + 8, 'A'),  // longer than any honest result
       }) {
    EXPECT_FALSE(DecodeResultLetters(letters).has_value()) << letters;
  }
}

TEST(ResultCheck, AcceptsTheGamesPayload) {
  const auto checked =
      CheckResultPayload(BuildResultPayload("Ada L.", 4321, 'S', "abc-123", "Norway"), 'S');
  const auto* result = std::get_if<CheckedResult>(&checked);
  ASSERT_NE(result, nullptr) << std::get<ResultRefusal>(checked).reason;
  EXPECT_EQ(result->name, "Ada L.");
  EXPECT_EQ(result->score, 4321);
  EXPECT_EQ(result->serverValue, "abc-123");
  EXPECT_EQ(result->country, "Norway");

  // The edges that are still good: empty texts, scores 0 and 65535, ten characters, Latin-1.
  for (const std::string& payload :
       std::vector<std::string>{Payload("", "0", "S", "", ""), Payload("x", "65535", "S", "t", "y"),
                                Payload("ABCDEFGHIJ", "7", "S", "t", "0123456789"),
                                Payload("J\xf8rgen", "7", "S", "t", "Danmark")}) {
    EXPECT_EQ(RefusalOf(payload), "") << payload;
  }
}

TEST(ResultCheck, RefusesEveryOtherPayload) {
  struct Case {
    const char* what;
    std::string payload;
  };
  const std::string good = Payload("Ada", "100", "S", "tok", "Norway");
  const Case cases[] = {
      {"wrong key letter", Payload("Ada", "100", "T", "tok", "Norway")},
      {"two key letters", Payload("Ada", "100", "SS", "tok", "Norway")},
      {"no key letter", Payload("Ada", "100", "", "tok", "Norway")},
      {"score 65536", Payload("Ada", "65536", "S", "tok", "Norway")},
      {"score with a leading zero", Payload("Ada", "007", "S", "tok", "Norway")},
      {"negative score", Payload("Ada", "-1", "S", "tok", "Norway")},
      {"empty score", Payload("Ada", "", "S", "tok", "Norway")},
      {"score with a sign", Payload("Ada", "+5", "S", "tok", "Norway")},
      {"name of 11 characters", Payload("ABCDEFGHIJK", "100", "S", "tok", "Norway")},
      {"country of 11 characters", Payload("Ada", "100", "S", "tok", "Netherlands")},
      {"control character in the name", Payload("A\x01", "100", "S", "tok", "Norway")},
      {"tab in the country", Payload("Ada", "100", "S", "tok", "No\tway")},
      {"DEL in the name", Payload("A\x7f", "100", "S", "tok", "Norway")},
      {"C1 control in the name", Payload("A\x85", "100", "S", "tok", "Norway")},
      {"a bar in the name", Payload("A|b", "100", "S", "tok", "Norway")},
      {"type 1", "type=1" + good.substr(6)},
      {"missing name field",
       [] {
         std::string p = "type=0|score=100|key=S|p=tok|add=Norway|z=";
         p.append((5 - p.size() % 5) % 5, '0');
         return p;
       }()},
      {"missing z field",
       [] {
         std::string p = "type=0|name=Ada|score=100|key=S|p=tok|add=Norway";
         p.append((5 - p.size() % 5) % 5, '0');
         return p;
       }()},
      {"reordered fields",
       [] {
         std::string p = "type=0|score=100|name=Ada|key=S|p=tok|add=Norway|z=";
         p.append((5 - p.size() % 5) % 5, '0');
         return p;
       }()},
      {"a field twice",
       [] {
         std::string p = "type=0|name=Ada|name=Bo|score=100|key=S|p=tok|add=Norway|z=";
         p.append((5 - p.size() % 5) % 5, '0');
         return p;
       }()},
      {"five zeros of padding", good + "00000"},
      {"padding not of zeros", good.substr(0, good.size() - 1) + "1"},
      {"padding missing", "type=0|name=Ada|score=100|key=S|p=tok|add=Norway|z="},
      {"a letter after the padding", Payload("Ada", "100", "S", "tok", "Norway") + "x0000"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    EXPECT_NE(RefusalOf(c.payload), "") << c.what << ": " << c.payload;
  }
  // The refusals say why, for the server's log.
  EXPECT_EQ(RefusalOf(cases[0].payload), "wrong key");
  EXPECT_EQ(RefusalOf(good + "00000"), "bad padding");
}

TEST(ResultCheck, Latin1TextsBecomeUtf8) {
  EXPECT_EQ(Latin1ToUtf8("J\xf8rgen \xc5"), "J\xc3\xb8rgen \xc3\x85");
  EXPECT_EQ(Latin1ToUtf8("plain"), "plain");
}

}  // namespace
