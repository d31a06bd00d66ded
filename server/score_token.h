// The server value of the handshake: a single-use token the server signs, so a result can only
// come after a handshake with this server (or one sharing its secret) in the last two hours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How long a token may be used after its issue.
constexpr int64_t TokenLifetimeSeconds = 2 * 60 * 60;

// What a valid token carries: the id it is spent under and its time of issue.
struct TokenClaims {
  std::string id;
  int64_t issuedAt = 0;
};

enum class TokenFault { Malformed, Forged, Expired, FromTheFuture };

// How long after its issue a start ticket still vouches for a game's start: longer than the
// longest recording the server takes, and the token's lifetime after it.
constexpr int64_t StartTicketLifetimeSeconds = 8 * 60 * 60;

class TokenSigner {
 public:
  // `secret` is the HMAC key, at least 16 bytes.
  explicit TokenSigner(std::string secret);

  // A new token issued at `now` (Unix seconds): "<issue time>-<random id>-<signature>" in hex
  // digits and "-", so it needs no escaping in the handshake reply or the payload.
  std::string Issue(int64_t now) const;
  // The claims of `token` when its signature holds and it was issued within the lifetime before
  // `now`; otherwise why not.
  std::optional<TokenClaims> Verify(std::string_view token, int64_t now,
                                    TokenFault* fault = nullptr) const;

  // A start ticket issued at `now`: the same form as a token, signed for another purpose, so
  // neither passes for the other. The game asks for one at New game and carries it in its
  // recording, which proves the game began no earlier than the ticket's time.
  std::string IssueStartTicket(int64_t now) const;
  // The ticket's claims when its signature holds and it is within its lifetime before `now`.
  std::optional<TokenClaims> VerifyStartTicket(std::string_view ticket, int64_t now,
                                               TokenFault* fault = nullptr) const;

 private:
  std::string Issue(int64_t now, std::string_view purpose) const;
  std::optional<TokenClaims> Verify(std::string_view token, int64_t now, int64_t lifetime,
                                    std::string_view purpose, TokenFault* fault) const;
  std::string Sign(std::string_view purpose, std::string_view claims) const;

  std::string secret_;
};

// A new secret of 32 random bytes from the system's generator.
std::string NewTokenSecret();
// The text of a token fault, for the log.
std::string_view TokenFaultText(TokenFault fault);
