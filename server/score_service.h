// The protocol the game speaks, apart from HTTP: the handshake that hands out a token, the result
// that spends it, and the slices of the table the pages show. Each answer carries the text the
// client gets and, for the server's log, why a request was refused.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "server/database_health.h"
#include "server/rate_limiter.h"
#include "server/replay_verifier.h"
#include "server/score_store.h"
#include "server/score_token.h"
#include "server/web_pages.h"

struct ServiceSettings {
  char key = 'S';                     // The key letter every result must carry.
  uint32_t resultsPerMinute = 10;     // Per address; 0: no limit.
  uint32_t handshakesPerMinute = 60;  // Start tickets count here too.
  // Hears when the database stops answering and when it is back, and the verifier's verdicts
  // (may be empty).
  std::function<void(const std::string&)> log;
  uint32_t uploadsPerMinute = 10;  // Recordings, per address.
  // Results without a recording are refused instead of kept as unproven.
  bool requireProof = false;
};

// Unavailable: the database did not answer in time; the client may send the same result again.
// Conflict: the request is sound but repeats what came before (a second recording for a token).
enum class ReplyKind { Ok, Refused, TooMany, Failed, Unavailable, Conflict };

struct ServiceReply {
  ReplyKind kind = ReplyKind::Ok;
  std::string body;  // "OK..." or a short failure text that does not begin with "OK".
  std::string note;  // Why, for the log; empty when all went well.
};

class ScoreService {
 public:
  using NowFunction = std::function<int64_t()>;  // Unix seconds.

  // With a `verifier` the server takes recordings and advertises so in its handshake; without
  // one every result is unproven.
  ScoreService(ScoreStore& store, TokenSigner signer, ServiceSettings settings,
               NowFunction now = nullptr, ReplayVerifier* verifier = nullptr);
  ~ScoreService();
  ScoreService(const ScoreService&) = delete;
  ScoreService& operator=(const ScoreService&) = delete;

  // GET /cgi/version.pl?version&prg=Skarvel; never waits for the database.
  ServiceReply Handshake(const std::string& address);
  // GET /cgi/version.pl?hs&prg=Skarvel&inf=<letters>
  ServiceReply SubmitResult(const std::string& address, std::string_view letters);
  // GET /cgi/version.pl?ticket&prg=Skarvel : "OK|<start ticket>"; never waits for the database.
  ServiceReply StartTicket(const std::string& address);
  // POST /cgi/version.pl?replay&prg=Skarvel&p=<token> with the recording as the body.
  ServiceReply UploadReplay(const std::string& address, std::string_view token,
                            std::span<const uint8_t> bytes);
  bool TakesReplays() const { return verifier_ != nullptr; }
  // One page of the table (page counted from 1, pageSize 1 to 500). Throws StoreUnavailable when
  // the database does not answer in time.
  TablePageView TablePage(const std::string& country, int64_t page, int64_t pageSize,
                          bool provenOnly = false);
  // The recording of proven result `id`, for download.
  std::optional<std::vector<uint8_t>> ProvenReplay(int64_t id) { return store_.ProvenReplay(id); }
  // Counts the results this instance stored, so a page made before the latest one is known stale.
  uint64_t Generation() const { return generation_; }

 private:
  // Forgets expired spent tokens now and then, on a thread of its own so no request waits for it.
  void SweepTokens();

  ScoreStore& store_;
  ReplayVerifier* const verifier_;
  const TokenSigner signer_;
  const ServiceSettings settings_;
  const NowFunction now_;
  RateLimiter results_;
  RateLimiter handshakes_;
  RateLimiter uploads_;
  std::atomic<uint64_t> generation_{0};
  DatabaseHealth health_;
  std::mutex sweepMutex_;
  std::condition_variable sweepWake_;
  bool stopping_ = false;
  std::thread sweeper_;
};
