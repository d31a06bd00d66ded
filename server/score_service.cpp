// Handshake, result and table slices over a store.
#include "server/score_service.h"

#include <chrono>
#include <variant>

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
                           NowFunction now)
    : store_(store),
      signer_(std::move(signer)),
      settings_(settings),
      now_(now ? std::move(now) : NowFunction(WallClockSeconds)),
      results_(settings.resultsPerMinute),
      handshakes_(settings.handshakesPerMinute),
      health_(settings_.log),
      sweeper_([this] { SweepTokens(); }) {}

ScoreService::~ScoreService() {
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
  // The game reads only the fifth field; the others name the server for a person reading.
  return {ReplyKind::Ok, "OK|Skarvel|world scores|1|" + signer_.Issue(now_()) + "|", {}};
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
    const StoreOutcome outcome = store_.AddResult(score, claims->id, claims->issuedAt);
    health_.Succeeded();
    if (outcome == StoreOutcome::TokenAlreadySpent) return Refusal("token already spent");
    ++generation_;
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

TablePageView ScoreService::TablePage(const std::string& country, int64_t page, int64_t pageSize) {
  TablePageView view;
  view.country = country;
  view.page = page;
  view.pageSize = pageSize;
  view.now = now_();
  try {
    view.totalRows = store_.Count(country);
    view.rows = store_.Table({country, (page - 1) * pageSize, pageSize});
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
