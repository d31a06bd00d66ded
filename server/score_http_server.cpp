// Routing, replies and the table-page cache.
#include "server/score_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "server/client_key.h"
#include "server/query_string.h"
#include "server/web_pages.h"

namespace asio = boost::asio;
namespace http = boost::beast::http;

namespace {

constexpr std::string_view GamePath = "/cgi/version.pl";
constexpr std::string_view ReplaysPath = "/replays/";
// A recording is the game's own file: zstd-compressed bytes the game reads with --replay.
constexpr const char* ReplayContentType = "application/vnd.skarvel.replay";
constexpr const char* ReplayFileExtension = ".skarvel-replay";
constexpr int64_t DefaultPageSize = 100;
constexpr int64_t MaxPageSize = 500;
constexpr int64_t MaxPage = 100000;
constexpr size_t MaxCountryFilter = 40;  // Bytes of UTF-8; a stored country has at most 10 chars.
constexpr size_t MaxStaticFileBytes = 8 * 1024 * 1024;
constexpr auto PageCacheLifetime = std::chrono::seconds(2);
constexpr size_t MaxCachedPages = 512;

const char* Html = "text/html; charset=utf-8";

std::shared_ptr<const std::string> Text(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

// Pages carry no script and load nothing from elsewhere; the policy makes that a promise.
void AddPageHeaders(HttpReply& reply) {
  reply.headers.emplace_back("X-Content-Type-Options", "nosniff");
  reply.headers.emplace_back("Content-Security-Policy",
                             "default-src 'none'; style-src 'self'; img-src 'self'; "
                             "font-src 'self'; base-uri 'none'; form-action 'self'; "
                             "frame-ancestors 'none'");
  reply.headers.emplace_back("Referrer-Policy", "no-referrer");
}

HttpReply Reply(int status, std::string body, std::string note = {}) {
  HttpReply reply;
  reply.status = status;
  reply.body = Text(std::move(body));
  reply.note = std::move(note);
  AddPageHeaders(reply);
  reply.headers.emplace_back("Cache-Control", "no-store");
  return reply;
}

HttpReply Unavailable(std::string note) {
  return Reply(503, "ERROR: the scores cannot be read now, try again later\n", std::move(note));
}

int StatusOf(ReplyKind kind) {
  switch (kind) {
    case ReplyKind::Ok:
      return 200;
    case ReplyKind::Refused:
      return 400;
    case ReplyKind::TooMany:
      return 429;
    case ReplyKind::Conflict:
      return 409;
    case ReplyKind::Failed:
    case ReplyKind::Unavailable:
      return 503;
  }
  return 500;
}

// A whole number from 1 to `max`, or `fallback` when absent; nothing when malformed.
std::optional<int64_t> ReadCount(const QueryString& query, std::string_view name, int64_t fallback,
                                 int64_t max) {
  if (!query.Has(name)) return fallback;
  const std::string text = query.Value(name);
  if (text.empty() || text.size() > 7 || text[0] == '0') return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > max) return std::nullopt;
  return value;
}

std::string ContentTypeOf(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  if (extension == ".png") return "image/png";
  if (extension == ".otf") return "font/otf";
  if (extension == ".ttf") return "font/ttf";
  if (extension == ".woff2") return "font/woff2";
  return {};
}

// The bytes of the regular file `path` (no link), at most `max` of them; nothing otherwise.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& path, size_t max) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
      static_cast<size_t>(status.st_size) <= max) {
    std::string read(static_cast<size_t>(status.st_size), '\0');
    size_t done = 0;
    while (done < read.size()) {
      const ssize_t count = ::read(fd, read.data() + done, read.size() - done);
      if (count <= 0) break;
      done += static_cast<size_t>(count);
    }
    if (done == read.size()) bytes = std::move(read);
  }
  ::close(fd);
  return bytes;
}

bool IsWithin(const std::filesystem::path& root, const std::filesystem::path& path) {
  const auto [rootEnd, pathAt] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
  return rootEnd == root.end() && pathAt != path.end();
}

// A server that takes recordings reads a POST body up to a recording's cap.
ConnectionLimits WithUploads(ConnectionLimits limits, bool takesRecordings) {
  if (takesRecordings && limits.maxBody == 0) limits.maxBody = MaxRecordingUploadBytes;
  return limits;
}

}  // namespace

ScoreHttpServer::ScoreHttpServer(ScoreService& service, const ConnectionLimits& limits,
                                 const std::filesystem::path& webRoot, std::FILE* log)
    : service_(service),
      log_(log),
      http_(
          WithUploads(limits, service.TakesReplays()),
          [this](const HttpRequest& request) { return Handle(request); }, log_),
      database_(limits.databaseWorkers, limits.databaseQueue) {
  LoadStaticFiles(webRoot);
  files_["/style.css"] = {"text/css; charset=utf-8", Text(std::string(StyleSheet()))};
}

void ScoreHttpServer::TrustProxies(std::vector<std::string> addresses) {
  trustedProxies_ = addresses;
  http_.ExemptFromClientCap(std::move(addresses));
}

void ScoreHttpServer::LoadStaticFiles(const std::filesystem::path& webRoot) {
  std::error_code error;
  const auto root = std::filesystem::canonical(webRoot, error);
  if (error) return;
  for (const char* folder : {"fonts", "screenshots"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root / folder, error)) {
      const std::string type = ContentTypeOf(entry.path());
      // A link is followed only to a file inside the web root.
      const auto real = std::filesystem::canonical(entry.path(), error);
      if (type.empty() || error || !IsWithin(root, real)) continue;
      auto bytes = ReadRegularFile(real, MaxStaticFileBytes);
      if (!bytes) continue;
      files_["/" + std::string(folder) + "/" + entry.path().filename().string()] = {
          type, Text(std::move(*bytes))};
    }
  }
}

asio::awaitable<HttpReply> ScoreHttpServer::Handle(const HttpRequest& request) {
  try {
    co_return co_await Route(request);
  } catch (const std::exception& error) {
    co_return Reply(500, "ERROR: internal server error\n",
                    std::string("internal error: ") + error.what());
  }
}

asio::awaitable<HttpReply> ScoreHttpServer::Route(const HttpRequest& request) {
  const std::string_view path = TargetPath(request.target);
  if (request.verb == http::verb::post) co_return co_await ServeUpload(request);
  if (path == GamePath) co_return co_await ServeGameRequest(request);
  if (path.starts_with(ReplaysPath)) co_return co_await ServeReplay(request);
  if (path == "/") {
    std::string key = "home";
    std::function<std::string()> render = [this] {
      return RenderHomePage(service_.TablePage({}, 1, 10, true).rows);
    };
    co_return co_await ServeCachedPage(key, std::move(render), Html);
  }
  if (path == "/scores.json") co_return co_await ServeTable(request, true);
  if (const auto file = files_.find(path); file != files_.end()) {
    HttpReply reply;
    reply.contentType = file->second.contentType;
    reply.body = file->second.bytes;
    reply.headers.emplace_back(
        "Cache-Control", path == "/style.css" ? "public, max-age=3600" : "public, max-age=86400");
    co_return reply;
  }
  co_return Reply(404, "ERROR: not found\n");
}

asio::awaitable<HttpReply> ScoreHttpServer::ServeGameRequest(const HttpRequest& request) {
  const auto query = QueryString::Parse(request.target);
  if (!query) co_return Reply(400, "ERROR: bad request\n", "malformed query");
  if (query->Value("prg") != "Skarvel") co_return Reply(404, "ERROR: not found\n");
  const std::string client = ClientKey(ClientAddress(request));
  if (query->Has("hs")) {
    // The call is a named object, not a temporary within the co_await: GCC 12 destroys such
    // temporaries twice.
    auto submit = [this, client, letters = query->Value("inf")] {
      return service_.SubmitResult(client, letters);
    };
    ServiceReply reply;
    try {
      auto answer = database_.Run(std::move(submit));
      reply = co_await std::move(answer);
    } catch (const DatabaseBusy& busy) {
      co_return Reply(503, "ERROR: the server is busy, try again later\n", busy.what());
    }
    co_return Reply(StatusOf(reply.kind), std::move(reply.body), std::move(reply.note));
  }
  if (query->Has("version")) {
    ServiceReply reply = service_.Handshake(client);
    co_return Reply(StatusOf(reply.kind), std::move(reply.body), std::move(reply.note));
  }
  if (query->Has("ticket")) {
    ServiceReply reply = service_.StartTicket(client);
    co_return Reply(StatusOf(reply.kind), std::move(reply.body), std::move(reply.note));
  }
  if (query->Has("show") && query->Value("type") == "0") {
    co_return co_await ServeTable(request, false);
  }
  co_return Reply(404, "ERROR: not found\n");
}

asio::awaitable<HttpReply> ScoreHttpServer::ServeUpload(const HttpRequest& request) {
  if (TargetPath(request.target) != GamePath) {
    HttpReply refusal = Reply(405, "ERROR: method not allowed\n", "POST elsewhere than an upload");
    refusal.headers.emplace_back("Allow", "GET, HEAD");
    co_return refusal;
  }
  const auto query = QueryString::Parse(request.target);
  if (!query || query->Value("prg") != "Skarvel" || !query->Has("replay")) {
    co_return Reply(404, "ERROR: not found\n", "POST to no upload");
  }
  if (!service_.TakesReplays()) co_return Reply(404, "ERROR: not found\n", "no recordings taken");
  const std::string client = ClientKey(ClientAddress(request));
  // The body lives as long as the request; the worker gets a copy of its own.
  auto upload = [this, client, token = query->Value("p"),
                 bytes = std::vector<uint8_t>(request.body.begin(), request.body.end())] {
    return service_.UploadReplay(client, token, bytes);
  };
  ServiceReply reply;
  try {
    auto answer = database_.Run(std::move(upload));
    reply = co_await std::move(answer);
  } catch (const DatabaseBusy& busy) {
    co_return Reply(503, "ERROR: the server is busy, try again later\n", busy.what());
  }
  co_return Reply(StatusOf(reply.kind), std::move(reply.body), std::move(reply.note));
}

asio::awaitable<HttpReply> ScoreHttpServer::ServeReplay(const HttpRequest& request) {
  const std::string idText(TargetPath(request.target).substr(ReplaysPath.size()));
  int64_t id = 0;
  const bool number = !idText.empty() && idText.size() <= 18 && idText[0] != '0' &&
                      idText.find_first_not_of("0123456789") == std::string_view::npos;
  if (!number) co_return Reply(404, "ERROR: not found\n");
  for (const char c : idText) id = id * 10 + (c - '0');
  auto read = [this, id] { return service_.ProvenReplay(id); };
  std::optional<std::vector<uint8_t>> bytes;
  try {
    auto answer = database_.Run(std::move(read));
    bytes = co_await std::move(answer);
  } catch (const StoreUnavailable& error) {
    co_return Unavailable(error.what());
  } catch (const DatabaseBusy& error) {
    co_return Unavailable(error.what());
  }
  // Only a proven result's recording is given out; any other is as good as absent.
  if (!bytes) co_return Reply(404, "ERROR: no proven recording with this number\n");
  HttpReply reply;
  reply.contentType = ReplayContentType;
  reply.body = Text(std::string(bytes->begin(), bytes->end()));
  reply.headers.emplace_back("Content-Disposition", "attachment; filename=\"skarvel-" + idText +
                                                        ReplayFileExtension + "\"");
  reply.headers.emplace_back("X-Content-Type-Options", "nosniff");
  // A proven recording never changes.
  reply.headers.emplace_back("Cache-Control", "public, max-age=86400");
  co_return reply;
}

asio::awaitable<HttpReply> ScoreHttpServer::ServeTable(const HttpRequest& request, bool json) {
  const auto query = QueryString::Parse(request.target);
  const auto page = query ? ReadCount(*query, "page", 1, MaxPage) : std::nullopt;
  const auto size = query ? ReadCount(*query, "size", DefaultPageSize, MaxPageSize) : std::nullopt;
  const std::string country = query ? query->Value("country") : std::string();
  if (!page || !size || country.size() > MaxCountryFilter) {
    co_return Reply(400, "ERROR: bad page, size or country\n", "bad table query");
  }
  // Proven results alone unless all are asked for.
  const bool provenOnly = !query || !query->Has("all");
  const std::string key = std::string(json ? "json " : "page ") +
                          (provenOnly ? "proven " : "all ") + std::to_string(*page) + " " +
                          std::to_string(*size) + " " + country;
  std::function<std::string()> render = [this, json, country, page = *page, size = *size,
                                         provenOnly] {
    const TablePageView view = service_.TablePage(country, page, size, provenOnly);
    return json ? RenderScoresJson(view) : RenderTablePage(view);
  };
  co_return co_await ServeCachedPage(key, std::move(render), json ? "application/json" : Html);
}

asio::awaitable<HttpReply> ScoreHttpServer::ServeCachedPage(const std::string& key,
                                                            std::function<std::string()> render,
                                                            const char* contentType) {
  HttpReply reply;
  reply.contentType = contentType;
  AddPageHeaders(reply);
  reply.headers.emplace_back("Cache-Control", "no-cache");
  const uint64_t generation = service_.Generation();
  const auto now = std::chrono::steady_clock::now();
  Body stale;
  {
    std::lock_guard lock(cacheMutex_);
    const auto found = cache_.find(key);
    if (found != cache_.end()) {
      if (found->second.generation == generation && now - found->second.made < PageCacheLifetime) {
        reply.body = found->second.body;
        co_return reply;
      }
      stale = found->second.body;
    }
  }
  std::string why;
  try {
    auto answer = database_.Run(std::move(render));
    std::string page = co_await std::move(answer);
    reply.body = Text(std::move(page));
  } catch (const StoreUnavailable& error) {
    why = error.what();
  } catch (const DatabaseBusy& error) {
    why = error.what();
  }
  if (!reply.body) {
    // The page as last made is better than none while the store cannot answer.
    if (!stale) co_return Unavailable(std::move(why));
    reply.body = std::move(stale);
    reply.note = "served as last made: " + why;
    co_return reply;
  }
  std::lock_guard lock(cacheMutex_);
  // Pages asked for with ever new filters must not grow the cache without end.
  if (cache_.size() >= MaxCachedPages && !cache_.contains(key)) cache_.erase(cache_.begin());
  cache_[key] = {reply.body, generation, now};
  co_return reply;
}

std::string ScoreHttpServer::ClientAddress(const HttpRequest& request) const {
  const std::string peer(request.peerAddress);
  if (std::find(trustedProxies_.begin(), trustedProxies_.end(), peer) == trustedProxies_.end()) {
    return peer;
  }
  // The proxy appends the address it saw; anything before that came from the client itself.
  const std::string forwarded(request.Header("X-Forwarded-For"));
  std::string last = forwarded.substr(forwarded.rfind(',') + 1);
  last.erase(0, last.find_first_not_of(' '));
  last.erase(last.find_last_not_of(' ') + 1);
  in6_addr parsed{};
  if (inet_pton(AF_INET, last.c_str(), &parsed) == 1 ||
      inet_pton(AF_INET6, last.c_str(), &parsed) == 1) {
    return last;
  }
  return peer;
}
