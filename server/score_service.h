// The protocol the game speaks, apart from HTTP: the handshake that hands out a token, the result
// that spends it, and the slices of the table the pages show. Each answer carries the text the
// client gets and, for the server's log, why a request was refused.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "server/rate_limiter.h"
#include "server/score_store.h"
#include "server/score_token.h"
#include "server/web_pages.h"

struct TServiceSettings {
  char key = 'S';                  // The key letter every result must carry.
  uint32_t resultsPerMinute = 10;  // Per address; 0: no limit.
  uint32_t handshakesPerMinute = 60;
};

enum class TReplyKind { Ok, Refused, TooMany, Failed, Unavailable };

struct TServiceReply {
  TReplyKind kind = TReplyKind::Ok;
  std::string body;  // "OK..." or a short failure text that does not begin with "OK".
  std::string note;  // Why, for the log; empty when all went well.
};

class TScoreService {
 public:
  using TNow = std::function<int64_t()>;  // Unix seconds.

  TScoreService(TScoreStore& store, TTokenSigner signer, TServiceSettings settings,
                TNow now = nullptr);

  // GET /cgi/version.pl?version&prg=Skarvel
  TServiceReply Handshake(const std::string& address);
  // GET /cgi/version.pl?hs&prg=Skarvel&inf=<letters>
  TServiceReply SubmitResult(const std::string& address, std::string_view letters);
  // One page of the table (page counted from 1, pageSize 1 to 500).
  TTablePageView TablePage(const std::string& country, int64_t page, int64_t pageSize);
  // Counts the results this instance stored, so a page made before the latest one is known stale.
  uint64_t Generation() const { return generation_; }

 private:
  void ForgetOldTokensNowAndThen(int64_t now);

  TScoreStore& store_;
  const TTokenSigner signer_;
  const TServiceSettings settings_;
  const TNow now_;
  TRateLimiter results_;
  TRateLimiter handshakes_;
  std::atomic<uint64_t> generation_{0};
  std::mutex sweepMutex_;
  int64_t lastSweep_ = 0;
};
