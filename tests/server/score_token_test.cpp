// The handshake's token: what it carries, how long it lives, and that nobody without the secret
// can make or alter one.
#include "server/score_token.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t Issued = 1'800'000'000;

TEST(ScoreToken, IsValidForTwoHoursAfterItsIssue) {
  const TokenSigner signer("sixteen bytes at least");
  const std::string token = signer.Issue(Issued);
  EXPECT_EQ(token.find('|'), std::string::npos);
  const auto claims = signer.Verify(token, Issued);
  ASSERT_TRUE(claims.has_value());
  EXPECT_EQ(claims->issuedAt, Issued);
  EXPECT_TRUE(signer.Verify(token, Issued + TokenLifetimeSeconds).has_value());

  TokenFault fault{};
  EXPECT_FALSE(signer.Verify(token, Issued + TokenLifetimeSeconds + 1, &fault).has_value());
  EXPECT_EQ(fault, TokenFault::Expired);
  EXPECT_FALSE(signer.Verify(token, Issued - 3600, &fault).has_value());
  EXPECT_EQ(fault, TokenFault::FromTheFuture);
}

TEST(ScoreToken, EachIssueHasItsOwnId) {
  const TokenSigner signer("sixteen bytes at least");
  const auto first = signer.Verify(signer.Issue(Issued), Issued);
  const auto second = signer.Verify(signer.Issue(Issued), Issued);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->id, second->id);
}

TEST(ScoreToken, RefusesForgedAndMalformedTokens) {
  const TokenSigner signer("sixteen bytes at least");
  const std::string token = signer.Issue(Issued);
  struct Case {
    const char* what;
    std::string token;
    TokenFault fault;
  };
  std::string laterIssue = token;
  laterIssue[7] = laterIssue[7] == 'f' ? 'e' : 'f';  // a younger time of issue, same signature
  std::string otherId = token;
  otherId[12] = otherId[12] == '0' ? '1' : '0';
  std::string otherSignature = token;
  otherSignature.back() = otherSignature.back() == '0' ? '1' : '0';
  const Case cases[] = {
      {"signed with another secret", TokenSigner("another secret of 16+").Issue(Issued),
       TokenFault::Forged},
      {"time of issue changed", laterIssue, TokenFault::Forged},
      {"id changed", otherId, TokenFault::Forged},
      {"signature changed", otherSignature, TokenFault::Forged},
      {"empty", "", TokenFault::Malformed},
      {"cut short", token.substr(0, token.size() - 1), TokenFault::Malformed},
      {"capital hex",
       [&] {
         std::string t = token;
         for (auto& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
         return t;
       }(),
       TokenFault::Malformed},
      {"separators moved", token.substr(1) + "0", TokenFault::Malformed},
  };
  for (const auto& c : cases) {
    TokenFault fault{};
    EXPECT_FALSE(signer.Verify(c.token, Issued, &fault).has_value()) << c.what;
    EXPECT_EQ(fault, c.fault) << c.what;
  }
}

TEST(ScoreToken, NeedsASecretOfSixteenBytes) {
  EXPECT_THROW(TokenSigner("too short"), std::invalid_argument);
  EXPECT_EQ(NewTokenSecret().size(), 32u);
  EXPECT_NE(NewTokenSecret(), NewTokenSecret());
}

}  // namespace
