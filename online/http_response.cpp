// Response parsing for the HTTP client: status, headers, interim answers, body framing.
#include "online/http_response.h"

#include <cctype>

#include "online/http_errors.h"

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// True when the comma-separated header value lists `token` (any letter case).
bool ListsToken(const std::string* value, std::string_view token) {
  if (value == nullptr) return false;
  std::string_view rest = *value;
  for (;;) {
    const size_t comma = rest.find(',');
    if (EqualNoCase(Trim(rest.substr(0, comma)), token)) return true;
    if (comma == std::string_view::npos) return false;
    rest.remove_prefix(comma + 1);
  }
}

[[noreturn]] void BodyTooLarge() {
  throw EHttpError("Response body too large.");
}

// Counts the header lines of one response against their bounds.
class THeaderBudget {
 public:
  void Take(const std::string& line) {
    bytes_ += line.size() + 2;
    if (++lines_ > HttpMaxHeaderLines || bytes_ > HttpMaxHeaderBytes) {
      throw EHttpError("Response header too large.");
    }
  }

 private:
  size_t lines_ = 0;
  size_t bytes_ = 0;
};

// Reads header lines up to the empty line (Complete) or the connection's end.
void ReadHeaderBlock(THttpReader& reader, THeaderBudget& budget, THttpResponseHead& head) {
  head.Headers.clear();
  head.Complete = false;
  while (const std::optional<std::string> line = reader.ReadLine()) {
    if (line->empty()) {
      head.Complete = true;
      return;
    }
    budget.Take(*line);
    if ((line->front() == ' ' || line->front() == '\t') && !head.Headers.empty()) {
      // A folded line continues the header before it.
      head.Headers.back().second += " ";
      head.Headers.back().second += Trim(*line);
      continue;
    }
    const size_t colon = line->find(':');
    if (colon == std::string::npos) continue;
    head.Headers.emplace_back(Trim(std::string_view(*line).substr(0, colon)),
                              Trim(std::string_view(*line).substr(colon + 1)));
  }
}

// The hexadecimal size at the start of a chunk line; an unreadable size counts as 0.
size_t ParseChunkSize(std::string_view line) {
  line = Trim(line);
  line = line.substr(0, line.find_first_of(" \t;"));
  size_t size = 0;
  for (const char c : line) {
    const int digit =
        std::isxdigit(static_cast<unsigned char>(c))
            ? (c <= '9' ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
            : -1;
    if (digit < 0) return 0;
    size = size * 16 + static_cast<size_t>(digit);
    if (size > HttpMaxBodySize) BodyTooLarge();
  }
  return size;
}

void ReadChunkedBody(THttpReader& reader, std::string& body) {
  for (;;) {
    const std::optional<std::string> sizeLine = reader.ReadLine();
    if (!sizeLine) throw EHttpConnectionClosed();
    const size_t size = ParseChunkSize(*sizeLine);
    if (size == 0) break;
    if (size > HttpMaxBodySize - body.size()) BodyTooLarge();
    if (reader.ReadBytes(body, size) < size) throw EHttpConnectionClosed();
    if (!reader.ReadLine()) throw EHttpConnectionClosed();
  }
  // Trailer lines up to the empty one; the connection's end after the last chunk is no loss.
  THeaderBudget budget;
  while (const std::optional<std::string> line = reader.ReadLine()) {
    if (line->empty()) break;
    budget.Take(*line);
  }
}

bool IsInterim(int statusCode) {
  return statusCode >= 100 && statusCode < 200 && statusCode != 101;
}

}  // namespace

const std::string* THttpResponseHead::Header(std::string_view name) const {
  for (const auto& [headerName, value] : Headers) {
    if (EqualNoCase(headerName, name)) return &value;
  }
  return nullptr;
}

int ParseStatusCode(std::string_view statusLine) {
  const size_t space = statusLine.find(' ');
  if (space == std::string_view::npos) return -1;
  const size_t start = statusLine.find_first_not_of(' ', space);
  if (start == std::string_view::npos) return -1;
  std::string_view word = statusLine.substr(start);
  word = word.substr(0, word.find(' '));
  if (word.empty() || word.size() > 9) return -1;
  int code = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return -1;
    code = code * 10 + (c - '0');
  }
  return code;
}

THttpResponseHead ReadResponseHead(THttpReader& reader, const THttpCookieSink& cookies) {
  THeaderBudget budget;
  THttpResponseHead head;
  for (int interim = 0;; ++interim) {
    std::optional<std::string> statusLine;
    // Blank lines a server left after an earlier body are no status line.
    while ((statusLine = reader.ReadLine()) && statusLine->empty()) budget.Take(*statusLine);
    if (!statusLine) throw EHttpConnectionClosed();
    budget.Take(*statusLine);
    head.StatusLine = std::move(*statusLine);
    head.StatusCode = ParseStatusCode(head.StatusLine);
    ReadHeaderBlock(reader, budget, head);
    for (const auto& [name, value] : head.Headers) {
      if (cookies && (EqualNoCase(name, "Set-Cookie") || EqualNoCase(name, "Set-Cookie2"))) {
        cookies(name, value);
      }
    }
    if (!IsInterim(head.StatusCode) || !head.Complete) return head;
    if (interim == HttpMaxInterimResponses) throw EHttpError("Response header too large.");
  }
}

void ReadResponseBody(THttpReader& reader, const THttpResponseHead& head, std::string& body) {
  const int code = head.StatusCode;
  if ((code >= 100 && code < 200) || code == 204 || code == 304) return;
  if (ListsToken(head.Header("Transfer-Encoding"), "chunked")) {
    ReadChunkedBody(reader, body);
    return;
  }
  if (const std::string* lengthText = head.Header("Content-Length")) {
    size_t length = 0;
    if (lengthText->empty()) throw EHttpError("Invalid Content-Length.");
    for (const char c : *lengthText) {
      if (c < '0' || c > '9') throw EHttpError("Invalid Content-Length.");
      length = length * 10 + static_cast<size_t>(c - '0');
      if (length > HttpMaxBodySize) BodyTooLarge();
    }
    if (length > HttpMaxBodySize - body.size()) BodyTooLarge();
    // A connection that ends early ends the body.
    reader.ReadBytes(body, length);
    return;
  }
  reader.ReadToEnd(body, HttpMaxBodySize);
}

THttpResponseResult ReadResponse(THttpReader& reader, std::string& body,
                                 const THttpCookieSink& cookies,
                                 std::chrono::milliseconds errorBodyWait) {
  THttpResponseResult result{ReadResponseHead(reader, cookies), false};
  const THttpResponseHead& head = result.Head;
  // A Location header points elsewhere whatever the status says; redirects are not followed, so
  // such an answer fails like any other that is not a plain success.
  const bool success =
      head.StatusCode >= 200 && head.StatusCode < 300 && head.Header("Location") == nullptr;
  if (success) {
    if (!head.Complete) throw EHttpError("Undefined situation");
    ReadResponseBody(reader, head, body);
  } else {
    // Every answer but a success fails, its body kept for the message.
    std::string errorBody;
    reader.Source().LimitWait(errorBodyWait);
    try {
      ReadResponseBody(reader, head, errorBody);
    } catch (const EHttpError&) {
      // The status already says the request failed; a body cut short only shortens the message.
    }
    throw EHttpProtocolError(head.StatusCode, head.StatusLine, errorBody);
  }
  const bool http10 = head.StatusLine.starts_with("HTTP/1.0");
  const bool closeAsked = ListsToken(head.Header("Connection"), "close") ||
                          ListsToken(head.Header("Proxy-Connection"), "close") ||
                          (http10 && !ListsToken(head.Header("Connection"), "keep-alive"));
  result.KeepAlive = !reader.Closed() && !reader.HasUnreadBytes() && !closeAsked;
  return result;
}
