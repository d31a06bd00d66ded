// The result's travelling form: bits, letters, the padded payload, the handshake's server value
// and the server's addresses.
#include "protocol/result_encoding.h"

#include <gtest/gtest.h>

#include "online/http_url.h"
#include "online/online_config.h"
#include "online/score_server_urls.h"
#include "protocol/result_payload.h"
#include "tests/support/result_decoder.h"

namespace {

TEST(ResultEncoding, TurnsBytesIntoBitsAndBitsIntoLetters) {
  EXPECT_EQ(ByteToBits(std::string("\x80\x01\x00\xff", 4)),
            "10000000"
            "00000001"
            "00000000"
            "11111111");
  EXPECT_EQ(ByteToBits(""), "");
  struct Case {
    const char* bits;
    const char* letters;
  };
  const Case cases[] = {
      {"", ""},       {"00000", "A"},       {"11111", "9"}, {"1", "B"},  // filled in front: 00001
      {"01000", "J"}, {"0000000001", "AB"}, {"10110", "Y"}, {"10111", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(BitsToLetters(c.bits), c.letters) << c.bits;
  EXPECT_THROW(BitsToLetters("0102"), std::invalid_argument);
}

TEST(ResultEncoding, EncodesTheExamplesAndEveryLetterInItsPlace) {
  struct Case {
    std::string text;
    std::string encoded;
  };
  const Case cases[] = {
      {"abc", "GC2VD"},
      {std::string(1, '\0'), "AA"},
      {std::string(5, '\xff'), "99999999"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeResult(c.text), c.encoded);
  // Twenty bytes whose groups of five bits count from 0 to 31.
  const std::string counting(
      "\x00\x44\x32\x14\xC7\x42\x54\xB6\x35\xCF\x84\x65\x3A\x56\xD7\xC6\x75\xBE\x77\xDF", 20);
  EXPECT_EQ(EncodeResult(counting), ResultAlphabet);
}

TEST(ResultPayload, PutsTheFieldsInOrderAndPadsToWholeLetters) {
  struct Case {
    const char* name;
    uint16_t score;
    const char* serverValue;
    const char* country;
    const char* payload;
  };
  const Case cases[] = {
      {"Anna", 1234, "xyz", "NORWAY", "type=0|name=Anna|score=1234|key=K|p=xyz|add=NORWAY|z=00"},
      {"", 0, "", "", "type=0|name=|score=0|key=K|p=|add=|z=000"},
      {"Bo", 65535, "", "SE", "type=0|name=Bo|score=65535|key=K|p=|add=SE|z="},
      {"Ulrike Sol", 7, "1", "DENMARK", "type=0|name=Ulrike Sol|score=7|key=K|p=1|add=DENMARK|z="},
  };
  for (const Case& c : cases) {
    const std::string payload = BuildResultPayload(c.name, c.score, 'K', c.serverValue, c.country);
    EXPECT_EQ(payload, c.payload);
    EXPECT_EQ(payload.size() % 5, 0u) << payload;
    EXPECT_EQ(DecodeResult(EncodeResult(payload)), payload);
  }
  // 62 characters before the padding: three "0" make 65, which encode into 104 letters.
  const std::string payload = BuildResultPayload("ABCDEFGHIJ", 1234, 'K', "SERVER", "NORWAY");
  EXPECT_EQ(payload, "type=0|name=ABCDEFGHIJ|score=1234|key=K|p=SERVER|add=NORWAY|z=000");
  EXPECT_EQ(payload.size(), 65u);
  EXPECT_EQ(EncodeResult(payload).size(), 104u);
}

TEST(HandshakeReply, AcceptsOnlyOkAndTakesTheFifthField) {
  struct Case {
    const char* reply;
    bool ok;
    const char* serverValue;
  };
  const Case cases[] = {
      {"OK|1.0|x|y|4711|rest|more", true, "4711"},
      {"OK|1.0|x|y|4711|", true, "4711"},
      {"OK|1.0|x|y||rest", true, ""},
      {"OK||||value|", true, "value"},
      {"OK", true, ""},
      {"OK|1.0|x|y|4711", true, ""},  // no fifth "|"
      {"OKAY|a|b|c|d|e", true, "d"},
      {"ok|a|b|c|d|e", false, "d"},
      {"Error: no such program", false, ""},
      {"O", false, ""},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsOkReply(c.reply), c.ok) << c.reply;
    EXPECT_EQ(HandshakeServerValue(c.reply), c.serverValue) << c.reply;
  }
}

TEST(ScoreServerUrls, NameTheServersPagesAndRequests) {
  EXPECT_EQ(HandshakeUrl("scores.example.org"),
            "http://scores.example.org/cgi/version.pl?version&prg=Skarvel");
  EXPECT_EQ(ResultUrl("127.0.0.1:8080", "GC2VD"),
            "http://127.0.0.1:8080/cgi/version.pl?hs&prg=Skarvel&inf=GC2VD");
  EXPECT_EQ(HomePageUrl("scores.example.org"), "http://scores.example.org/");
  EXPECT_EQ(OnlineTableUrl("scores.example.org"),
            "http://scores.example.org/cgi/version.pl?prg=Skarvel&show&type=0");
  // The server this build was configured with makes addresses the client can fetch.
  EXPECT_NO_THROW(SplitUrl(HandshakeUrl(ScoreServer())));
  EXPECT_TRUE(ResultKey() >= 'A' && ResultKey() <= 'Z');
}

}  // namespace
