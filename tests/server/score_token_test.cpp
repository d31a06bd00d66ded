// The handshake's token: what it carries, how long it lives, and that nobody without the secret
// can make or alter one.
#include "server/score_token.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t Issued = 1'800'000'000;

TEST(ScoreToken, IsValidForTwoHoursAfterItsIssue) {
  const TTokenSigner signer("sixteen bytes at least");
  const std::string token = signer.Issue(Issued);
  EXPECT_EQ(token.find('|'), std::string::npos);
  const auto claims = signer.Verify(token, Issued);
  ASSERT_TRUE(claims.has_value());
  EXPECT_EQ(claims->issuedAt, Issued);
  EXPECT_TRUE(signer.Verify(token, Issued + TokenLifetimeSeconds).has_value());

  TTokenFault fault{};
  EXPECT_FALSE(signer.Verify(token, Issued + TokenLifetimeSeconds + 1, &fault).has_value());
  EXPECT_EQ(fault, TTokenFault::Expired);
  EXPECT_FALSE(signer.Verify(token, Issued - 3600, &fault).has_value());
  EXPECT_EQ(fault, TTokenFault::FromTheFuture);
}

TEST(ScoreToken, EachIssueHasItsOwnId) {
  const TTokenSigner signer("sixteen bytes at least");
  const auto first = signer.Verify(signer.Issue(Issued), Issued);
  const auto second = signer.Verify(signer.Issue(Issued), Issued);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->id, second->id);
}

TEST(ScoreToken, RefusesForgedAndMalformedTokens) {
  const TTokenSigner signer("sixteen bytes at least");
  const std::string token = signer.Issue(Issued);
  struct Case {
    const char* what;
    std::string token;
    TTokenFault fault;
  };
  std::string laterIssue = token;
  laterIssue[7] = laterIssue[7] == 'f' ? 'e' : 'f';  // a younger time of issue, same signature
  std::string otherId = token;
  otherId[12] = otherId[12] == '0' ? '1' : '0';
  std::string otherSignature = token;
  otherSignature.back() = otherSignature.back() == '0' ? '1' : '0';
  const Case cases[] = {
      {"signed with another secret", TTokenSigner("another secret of 16+").Issue(Issued),
       TTokenFault::Forged},
      {"time of issue changed", laterIssue, TTokenFault::Forged},
      {"id changed", otherId, TTokenFault::Forged},
      {"signature changed", otherSignature, TTokenFault::Forged},
      {"empty", "", TTokenFault::Malformed},
      {"cut short", token.substr(0, token.size() - 1), TTokenFault::Malformed},
      {"capital hex",
       [&] {
         std::string t = token;
         for (auto& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
         return t;
       }(),
       TTokenFault::Malformed},
      {"separators moved", token.substr(1) + "0", TTokenFault::Malformed},
  };
  for (const auto& c : cases) {
    TTokenFault fault{};
    EXPECT_FALSE(signer.Verify(c.token, Issued, &fault).has_value()) << c.what;
    EXPECT_EQ(fault, c.fault) << c.what;
  }
}

TEST(ScoreToken, NeedsASecretOfSixteenBytes) {
  EXPECT_THROW(TTokenSigner("too short"), std::invalid_argument);
  EXPECT_EQ(NewTokenSecret().size(), 32u);
  EXPECT_NE(NewTokenSecret(), NewTokenSecret());
}

}  // namespace
