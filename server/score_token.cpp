// HMAC-SHA-256 tokens with OpenSSL's libcrypto.
#include "server/score_token.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr size_t IdBytes = 8;          // With the signature over it, 64 random bits are plenty.
constexpr size_t SignatureBytes = 12;  // 96 bits of the HMAC: no forging by guesswork.
constexpr size_t IssueDigits = 8;      // Unix seconds up to the year 2106.
// A handshake from a server whose clock ran a little ahead is still honoured.
constexpr int64_t AllowedClockSkewSeconds = 60;
constexpr std::string_view StartTicketPurpose = "start ticket";

std::string Hex(const unsigned char* bytes, size_t count) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += Digits[bytes[i] >> 4];
    text += Digits[bytes[i] & 0x0F];
  }
  return text;
}

bool IsLowerHex(std::string_view text) {
  return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string RandomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1) {
    throw std::runtime_error("the system's random generator failed");
  }
  return bytes;
}

}  // namespace

TokenSigner::TokenSigner(std::string secret) : secret_(std::move(secret)) {
  if (secret_.size() < 16) throw std::invalid_argument("token secret shorter than 16 bytes");
}

std::string TokenSigner::Sign(std::string_view purpose, std::string_view claims) const {
  // A purpose other than a token's is put in front of the claims (tokens sign the claims alone).
  const std::string message =
      purpose.empty() ? std::string(claims) : std::string(purpose) + "|" + std::string(claims);
  std::array<unsigned char, EVP_MAX_MD_SIZE> mac{};
  unsigned int length = 0;
  if (!HMAC(EVP_sha256(), secret_.data(), static_cast<int>(secret_.size()),
            reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac.data(),
            &length) ||
      length < SignatureBytes) {
    throw std::runtime_error("HMAC failed");
  }
  return Hex(mac.data(), SignatureBytes);
}

std::string TokenSigner::Issue(int64_t now) const {
  return Issue(now, {});
}

std::string TokenSigner::IssueStartTicket(int64_t now) const {
  return Issue(now, StartTicketPurpose);
}

std::optional<TokenClaims> TokenSigner::Verify(std::string_view token, int64_t now,
                                               TokenFault* fault) const {
  return Verify(token, now, TokenLifetimeSeconds, {}, fault);
}

std::optional<TokenClaims> TokenSigner::VerifyStartTicket(std::string_view ticket, int64_t now,
                                                          TokenFault* fault) const {
  return Verify(ticket, now, StartTicketLifetimeSeconds, StartTicketPurpose, fault);
}

std::string TokenSigner::Issue(int64_t now, std::string_view purpose) const {
  char issued[IssueDigits + 1];
  std::snprintf(issued, sizeof issued, "%08llx", static_cast<unsigned long long>(now));
  const std::string id = RandomBytes(IdBytes);
  std::string claims =
      std::string(issued) + "-" + Hex(reinterpret_cast<const unsigned char*>(id.data()), id.size());
  return claims + "-" + Sign(purpose, claims);
}

std::optional<TokenClaims> TokenSigner::Verify(std::string_view token, int64_t now,
                                               int64_t lifetime, std::string_view purpose,
                                               TokenFault* fault) const {
  auto fail = [fault](TokenFault why) -> std::optional<TokenClaims> {
    if (fault) *fault = why;
    return std::nullopt;
  };
  constexpr size_t IdDigits = IdBytes * 2;
  constexpr size_t SignatureDigits = SignatureBytes * 2;
  constexpr size_t ClaimsLength = IssueDigits + 1 + IdDigits;
  if (token.size() != ClaimsLength + 1 + SignatureDigits) return fail(TokenFault::Malformed);
  if (token[IssueDigits] != '-' || token[ClaimsLength] != '-') return fail(TokenFault::Malformed);
  const std::string_view issued = token.substr(0, IssueDigits);
  const std::string_view id = token.substr(IssueDigits + 1, IdDigits);
  const std::string_view signature = token.substr(ClaimsLength + 1);
  if (!IsLowerHex(issued) || !IsLowerHex(id) || !IsLowerHex(signature)) {
    return fail(TokenFault::Malformed);
  }
  const std::string expected = Sign(purpose, token.substr(0, ClaimsLength));
  if (CRYPTO_memcmp(expected.data(), signature.data(), SignatureDigits) != 0) {
    return fail(TokenFault::Forged);
  }
  int64_t issuedAt = 0;
  for (const char c : issued) issuedAt = issuedAt * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
  if (issuedAt > now + AllowedClockSkewSeconds) return fail(TokenFault::FromTheFuture);
  if (now - issuedAt > lifetime) return fail(TokenFault::Expired);
  return TokenClaims{std::string(id), issuedAt};
}

std::string NewTokenSecret() {
  return RandomBytes(32);
}

std::string_view TokenFaultText(TokenFault fault) {
  switch (fault) {
    case TokenFault::Malformed:
      return "malformed token";
    case TokenFault::Forged:
      return "forged token";
    case TokenFault::Expired:
      return "expired token";
    case TokenFault::FromTheFuture:
      return "token issued in the future";
  }
  return "bad token";
}
