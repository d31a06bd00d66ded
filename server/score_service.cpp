// Handshake, result and table slices over a store.
#include "server/score_service.h"

#include <chrono>
#include <variant>

#include "protocol/result_payload.h"
#include "server/result_check.h"
#include "server/result_decoding.h"

namespace {

constexpr auto TokenSweepInterval = std::chrono::minutes(10);

int64_t WallClockSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

ServiceReply Refusal(std::string note) {
  return {ReplyKind::Refused, "ERROR: result refused", std::move(note)};
}

}  // namespace

ScoreService::ScoreService(ScoreStore& store, TokenSigner signer, ServiceSettings settings,
                           NowFunction now, ReplayVerifier* verifier)
    : store_(store),
      verifier_(verifier),
      signer_(std::move(signer)),
      settings_(settings),
      now_(now ? std::move(now) : NowFunction(WallClockSeconds)),
      results_(settings.resultsPerMinute),
      handshakes_(settings.handshakesPerMinute),
      uploads_(settings.uploadsPerMinute),
      health_(settings_.log),
      sweeper_([this] { SweepTokens(); }) {
  // A verdict changes what the pages show, as a new result does.
  if (verifier_) verifier_->OnSettled([this] { ++generation_; });
}

ScoreService::~ScoreService() {
  if (verifier_) verifier_->OnSettled(nullptr);
  {
    std::lock_guard lock(sweepMutex_);
    stopping_ = true;
  }
  sweepWake_.notify_all();
  sweeper_.join();
}

ServiceReply ScoreService::Handshake(const std::string& address) {
  if (!handshakes_.Allow(address)) {
    return {ReplyKind::TooMany, "ERROR: too many requests, try again later",
            "handshake rate limit"};
  }
  // The game reads only the fifth field; the others name the server for a person reading. A
  // sixth tells a game that knows of it that recordings are taken; older games never read it.
  return {ReplyKind::Ok,
          "OK|Skarvel|world scores|1|" + signer_.Issue(now_()) + "|" +
              std::string(verifier_ ? ReplaysOffered : ""),
          {}};
}

ServiceReply ScoreService::StartTicket(const std::string& address) {
  if (!verifier_) return {ReplyKind::Refused, "ERROR: no recordings here", "start ticket"};
  if (!handshakes_.Allow(address)) {
    return {ReplyKind::TooMany, "ERROR: too many requests, try again later",
            "start ticket rate limit"};
  }
  return {ReplyKind::Ok, "OK|" + signer_.IssueStartTicket(now_()), {}};
}

ServiceReply ScoreService::UploadReplay(const std::string& address, std::string_view token,
                                        std::span<const uint8_t> bytes) {
  if (!verifier_) return {ReplyKind::Refused, "ERROR: no recordings here", "upload"};
  if (!uploads_.Allow(address)) {
    return {ReplyKind::TooMany, "ERROR: too many uploads, try again later", "upload rate limit"};
  }
  const int64_t now = now_();
  TokenFault fault{};
  const auto claims = signer_.Verify(token, now, &fault);
  if (!claims) {
    return {ReplyKind::Refused, "ERROR: recording refused",
            "upload: " + std::string(TokenFaultText(fault))};
  }
  uint64_t digest = 0;
  try {
    digest = verifier_->Judge().CheckUpload(bytes);
  } catch (const ReplayUnfit& unfit) {
    return {ReplyKind::Refused, std::string("ERROR: recording refused: ") + unfit.what(),
            std::string("upload: ") + unfit.what()};
  }
  // Refused now rather than kept unchecked: the game then sends its result, kept unproven.
  if (!verifier_->HasRoom()) {
    return {ReplyKind::Unavailable, "ERROR: the verifier is busy, try again later",
            "upload: verifier queue full"};
  }
  try {
    const ReplayOutcome outcome = store_.AddReplay(claims->id, digest, bytes, now);
    health_.Succeeded();
    switch (outcome) {
      case ReplayOutcome::Stored:
        return {ReplyKind::Ok, "OK", "recording of " + std::to_string(bytes.size()) + " bytes"};
      case ReplayOutcome::TokenHasReplay:
        return {ReplyKind::Conflict, "ERROR: a recording came for this token already",
                "upload: second recording for a token"};
      case ReplayOutcome::InputStreamKnown:
        return {ReplyKind::Conflict, "ERROR: this recording came before",
                "upload: input stream sent before"};
    }
  } catch (const StoreUnavailable& error) {
    health_.Failed(error.what());
    return {ReplyKind::Unavailable, "ERROR: the score table is unavailable, try again later",
            std::string("database unavailable: ") + error.what()};
  } catch (const std::exception& error) {
    return {ReplyKind::Failed, "ERROR: the server could not store the recording",
            std::string("store: ") + error.what()};
  }
  return {ReplyKind::Failed, "ERROR: the server could not store the recording", "upload"};
}

ServiceReply ScoreService::SubmitResult(const std::string& address, std::string_view letters) {
  if (!results_.Allow(address)) {
    return {ReplyKind::TooMany, "ERROR: too many results, try again later", "result rate limit"};
  }
  const auto payload = DecodeResultLetters(letters);
  if (!payload) return Refusal("letters do not decode");
  const auto checked = CheckResultPayload(*payload, settings_.key);
  if (const auto* refusal = std::get_if<ResultRefusal>(&checked)) return Refusal(refusal->reason);
  const auto& result = std::get<CheckedResult>(checked);

  const int64_t now = now_();
  TokenFault fault{};
  const auto claims = signer_.Verify(result.serverValue, now, &fault);
  if (!claims) return Refusal(std::string(TokenFaultText(fault)));

  NewScore score{Latin1ToUtf8(result.name), Latin1ToUtf8(result.country), result.score, now};
  try {
    std::optional<StoredReplay> replay;
    if (verifier_) replay = store_.ReplayForToken(claims->id);
    if (replay) {
      score.status = ResultStatus::Pending;
    } else if (settings_.requireProof) {
      return Refusal("no recording, and this server takes proven results only");
    }
    int64_t id = 0;
    const StoreOutcome outcome = store_.AddResult(score, claims->id, claims->issuedAt, &id);
    health_.Succeeded();
    if (outcome == StoreOutcome::TokenAlreadySpent) return Refusal("token already spent");
    ++generation_;
    if (replay && !verifier_->Queue(id, std::move(replay->bytes), {result.score, now})) {
      // Kept, but as what it is now: a result nobody re-ran.
      store_.SetStatus(id, ResultStatus::Unproven, false);
      if (settings_.log) settings_.log("result " + std::to_string(id) + ": verifier queue full");
    }
  } catch (const StoreUnavailable& error) {
    health_.Failed(error.what());
    // The token is not spent (the transaction did not commit, or if it did, a second try is
    // refused as spent): the game may send the result again later.
    return {ReplyKind::Unavailable, "ERROR: the score table is unavailable, try again later",
            std::string("database unavailable: ") + error.what()};
  } catch (const std::exception& error) {
    return {ReplyKind::Failed, "ERROR: the server could not store the result",
            std::string("store: ") + error.what()};
  }
  return {ReplyKind::Ok, "OK", "stored " + std::to_string(result.score)};
}

TablePageView ScoreService::TablePage(const std::string& country, int64_t page, int64_t pageSize,
                                      bool provenOnly) {
  TablePageView view;
  view.country = country;
  view.page = page;
  view.pageSize = pageSize;
  view.now = now_();
  view.provenOnly = provenOnly;
  try {
    view.totalRows = store_.Count(country, provenOnly);
    view.rows = store_.Table({country, (page - 1) * pageSize, pageSize, provenOnly});
  } catch (const StoreUnavailable& error) {
    health_.Failed(error.what());
    throw;
  }
  health_.Succeeded();
  return view;
}

void ScoreService::SweepTokens() {
  std::unique_lock lock(sweepMutex_);
  while (!stopping_) {
    lock.unlock();
    try {
      // An hour's grace on top of the lifetime covers clocks that differ between instances.
      store_.ForgetTokensIssuedBefore(now_() - TokenLifetimeSeconds - 3600);
    } catch (const StoreUnavailable& error) {
      health_.Failed(error.what());
    } catch (const std::exception&) {
      // Spent tokens kept a while longer cost a little room, nothing else; the next round retries.
    }
    lock.lock();
    sweepWake_.wait_for(lock, TokenSweepInterval, [this] { return stopping_; });
  }
}
