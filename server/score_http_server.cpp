// Routing, replies and the access log.
#include "server/score_http_server.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "server/query_string.h"
#include "server/web_pages.h"

namespace {

constexpr std::string_view GamePath = "/cgi/version.pl";
constexpr int64_t DefaultPageSize = 100;
constexpr int64_t MaxPageSize = 500;
constexpr int64_t MaxPage = 100000;
constexpr size_t MaxCountryFilter = 40;  // Bytes of UTF-8; a stored country has at most 10 chars.
constexpr size_t MaxStaticFileBytes = 8 * 1024 * 1024;
constexpr auto PageCacheLifetime = std::chrono::seconds(2);
constexpr size_t MaxCachedPages = 512;

// Why this request was answered as it was; set by the handlers, read by the log line.
thread_local std::string requestNote;
// Whether this request reached Route(); httplib's own refusals (a request it cannot read) do not.
thread_local bool requestRouted = false;

const char* PlainText = "text/plain; charset=utf-8";

// Pages carry no script and load nothing from elsewhere; the policy makes that a promise.
void AddPageHeaders(httplib::Response& response) {
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Content-Security-Policy",
                      "default-src 'none'; style-src 'self'; img-src 'self'; font-src 'self'; "
                      "base-uri 'none'; form-action 'self'; frame-ancestors 'none'");
  response.set_header("Referrer-Policy", "no-referrer");
}

void Reply(httplib::Response& response, int status, std::string body,
           const char* contentType = PlainText) {
  response.status = status;
  response.set_content(std::move(body), contentType);
  AddPageHeaders(response);
  response.set_header("Cache-Control", "no-store");
}

int StatusOf(TReplyKind kind) {
  switch (kind) {
    case TReplyKind::Ok:
      return 200;
    case TReplyKind::Refused:
      return 400;
    case TReplyKind::TooMany:
      return 429;
    case TReplyKind::Failed:
    case TReplyKind::Unavailable:
      return 503;
  }
  return 500;
}

// A whole number from 1 to `max`, or `fallback` when absent; nothing when malformed.
std::optional<int64_t> ReadCount(const TQueryString& query, std::string_view name, int64_t fallback,
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

// The log shows what a client sent without letting it forge lines or terminal escapes.
std::string Printable(std::string_view text, size_t max = 300) {
  std::string shown;
  for (const char c : text.substr(0, max)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '\\') {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  if (text.size() > max) shown += "...";
  return shown;
}

std::string ContentTypeOf(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  if (extension == ".png") return "image/png";
  if (extension == ".otf") return "font/otf";
  if (extension == ".ttf") return "font/ttf";
  if (extension == ".woff2") return "font/woff2";
  return {};
}

}  // namespace

TScoreHttpServer::TScoreHttpServer(TScoreService& service, const TConnectionLimits& limits,
                                   const std::filesystem::path& webRoot, std::FILE* log)
    : service_(service), http_(limits), log_(log) {
  LoadStaticFiles(webRoot);
  http_.set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        requestNote.clear();
        try {
          Route(request, response);
        } catch (const std::exception& error) {
          requestNote = std::string("internal error: ") + error.what();
          Reply(response, 500, "ERROR: internal server error\n");
        }
        return httplib::Server::HandlerResponse::Handled;
      });
  // What httplib answers by itself (a request it cannot parse, a URI too long) gets a plain
  // body instead of nothing.
  http_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty()) {
      response.set_content("ERROR: bad request\n", PlainText);
    }
    // A request httplib could not read (an unknown method among them) leaves the rest of the
    // connection unreadable too.
    if (!requestRouted) {
      response.set_header("Connection", "close");
      CloseConnectionAfterThisRequest();
    }
  });
  http_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
    Log(request, response);
  });
}

int TScoreHttpServer::Bind(const std::string& host, int port) {
  return http_.Bind(host, port);
}

bool TScoreHttpServer::Run() {
  return http_.listen_after_bind();
}

void TScoreHttpServer::Stop() {
  http_.stop();
}

void TScoreHttpServer::LoadStaticFiles(const std::filesystem::path& webRoot) {
  for (const char* folder : {"fonts", "screenshots"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(webRoot / folder, error)) {
      const std::string type = ContentTypeOf(entry.path());
      if (type.empty() || !entry.is_regular_file() || entry.file_size() > MaxStaticFileBytes) {
        continue;
      }
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      files_["/" + std::string(folder) + "/" + entry.path().filename().string()] = {type,
                                                                                    bytes.str()};
    }
  }
}

void TScoreHttpServer::Route(const httplib::Request& request, httplib::Response& response) {
  if (request.method != "GET" && request.method != "HEAD") {
    response.set_header("Allow", "GET, HEAD");
    // A body the server did not read must not be taken for the next request.
    response.set_header("Connection", "close");
    CloseConnectionAfterThisRequest();
    Reply(response, 405, "ERROR: method not allowed\n");
    return;
  }
  const std::string_view path = TargetPath(request.target);
  if (path == GamePath) return ServeGameRequest(request, response);
  if (path == "/") {
    AddPageHeaders(response);
    response.set_header("Cache-Control", "no-cache");
    response.set_content(
        CachedPage("home", [this] { return RenderHomePage(service_.TablePage({}, 1, 10).rows); }),
        "text/html; charset=utf-8");
    return;
  }
  if (path == "/scores.json") return ServeTable(request, response, true);
  if (path == "/style.css") {
    response.set_header("Cache-Control", "public, max-age=3600");
    response.set_content(std::string(StyleSheet()), "text/css; charset=utf-8");
    return;
  }
  if (const auto file = files_.find(path); file != files_.end()) {
    response.set_header("Cache-Control", "public, max-age=86400");
    response.set_content(file->second.bytes, file->second.contentType.c_str());
    return;
  }
  Reply(response, 404, "ERROR: not found\n");
}

void TScoreHttpServer::ServeGameRequest(const httplib::Request& request,
                                        httplib::Response& response) {
  const auto query = TQueryString::Parse(request.target);
  if (!query) {
    requestNote = "malformed query";
    Reply(response, 400, "ERROR: bad request\n");
    return;
  }
  if (query->Value("prg") != "Skarvel") {
    Reply(response, 404, "ERROR: not found\n");
    return;
  }
  const std::string address = ClientAddress(request);
  if (query->Has("hs")) {
    const TServiceReply reply = service_.SubmitResult(address, query->Value("inf"));
    requestNote = reply.note;
    Reply(response, StatusOf(reply.kind), reply.body);
    return;
  }
  if (query->Has("version")) {
    const TServiceReply reply = service_.Handshake(address);
    requestNote = reply.note;
    Reply(response, StatusOf(reply.kind), reply.body);
    return;
  }
  if (query->Has("show") && query->Value("type") == "0")
    return ServeTable(request, response, false);
  Reply(response, 404, "ERROR: not found\n");
}

void TScoreHttpServer::ServeTable(const httplib::Request& request, httplib::Response& response,
                                  bool json) {
  const auto query = TQueryString::Parse(request.target);
  const auto page = query ? ReadCount(*query, "page", 1, MaxPage) : std::nullopt;
  const auto size = query ? ReadCount(*query, "size", DefaultPageSize, MaxPageSize) : std::nullopt;
  const std::string country = query ? query->Value("country") : std::string();
  if (!page || !size || country.size() > MaxCountryFilter) {
    requestNote = "bad table query";
    Reply(response, 400, "ERROR: bad page, size or country\n");
    return;
  }
  AddPageHeaders(response);
  response.set_header("Cache-Control", "no-cache");
  const std::string key = std::string(json ? "json " : "page ") + std::to_string(*page) + " " +
                          std::to_string(*size) + " " + country;
  const std::string body = CachedPage(key, [&] {
    const TTablePageView view = service_.TablePage(country, *page, *size);
    return json ? RenderScoresJson(view) : RenderTablePage(view);
  });
  response.set_content(body, json ? "application/json" : "text/html; charset=utf-8");
}

std::string TScoreHttpServer::CachedPage(const std::string& key,
                                         const std::function<std::string()>& render) {
  const uint64_t generation = service_.Generation();
  const auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(cacheMutex_);
    const auto found = cache_.find(key);
    if (found != cache_.end() && found->second.generation == generation &&
        now - found->second.made < PageCacheLifetime) {
      return found->second.body;
    }
  }
  std::string body = render();
  std::lock_guard lock(cacheMutex_);
  // Pages asked for with ever new filters must not grow the cache without end.
  if (cache_.size() >= MaxCachedPages) cache_.clear();
  cache_[key] = {body, generation, now};
  return body;
}

std::string TScoreHttpServer::ClientAddress(const httplib::Request& request) const {
  if (std::find(trustedProxies_.begin(), trustedProxies_.end(), request.remote_addr) ==
      trustedProxies_.end()) {
    return request.remote_addr;
  }
  // The proxy appends the address it saw; anything before that came from the client itself.
  const std::string forwarded = request.get_header_value("X-Forwarded-For");
  std::string last = forwarded.substr(forwarded.rfind(',') + 1);
  last.erase(0, last.find_first_not_of(' '));
  last.erase(last.find_last_not_of(' ') + 1);
  in6_addr parsed{};
  if (inet_pton(AF_INET, last.c_str(), &parsed) == 1 ||
      inet_pton(AF_INET6, last.c_str(), &parsed) == 1) {
    return last;
  }
  return request.remote_addr;
}

void TScoreHttpServer::Log(const httplib::Request& request, const httplib::Response& response) {
  requestRouted = false;
  if (!log_) return;
  const auto elapsed = std::chrono::steady_clock::now() - CurrentRequestStart();
  const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
  char line[1024];
  std::snprintf(line, sizeof line, "%s %s \"%s %s\" %d %zu %.1fms%s%s\n", when,
                request.remote_addr.empty() ? "-" : request.remote_addr.c_str(),
                Printable(request.method, 16).c_str(), Printable(request.target).c_str(),
                response.status, response.body.size(), ms, requestNote.empty() ? "" : " ",
                Printable(requestNote, 200).c_str());
  // One write(2) a line, no lock: the kernel keeps whole lines of this size apart (a pipe up to
  // PIPE_BUF, a file through its position lock), and no worker waits on another's log line.
  const size_t length = std::min(std::strlen(line), sizeof line - 1);
  if (::write(fileno(log_), line, length) < 0) {
    // A log that cannot be written must not stop the server from serving.
  }
}
