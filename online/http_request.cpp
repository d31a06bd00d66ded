// Writing GET requests: the fixed header set in its fixed order, long lines folded.
#include "online/http_request.h"

#include <algorithm>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

void AddHeader(std::string& request, std::string_view name, std::string_view value) {
  std::string line(name);
  line += ": ";
  line += value;
  request += FoldHeaderLine(line);
  request += "\r\n";
}

}  // namespace

std::string FoldHeaderLine(std::string_view line) {
  std::string folded;
  // Never break between the name and its value: the first piece keeps "Name: " and a word.
  const size_t colon = line.find(':');
  size_t earliest = colon == std::string_view::npos ? 1 : colon + 3;
  while (line.size() > HttpFoldColumn) {
    size_t cut = std::string_view::npos;
    for (size_t i = HttpFoldColumn; i >= earliest && i > 0; --i) {
      if (IsSpace(line[i])) {
        cut = i;
        break;
      }
    }
    if (cut == std::string_view::npos) {
      // The first word is too long to fit: break after it instead, the line stays too long.
      for (size_t i = std::max(earliest, HttpFoldColumn + 1); i < line.size(); ++i) {
        if (IsSpace(line[i])) {
          cut = i;
          break;
        }
      }
    }
    if (cut == std::string_view::npos) break;
    folded += line.substr(0, cut);
    folded += "\r\n";
    line = line.substr(cut);
    // A continuation starts with its space; the next break must come after a word.
    earliest = 1;
    while (earliest < line.size() && IsSpace(line[earliest])) ++earliest;
    ++earliest;
  }
  folded += line;
  return folded;
}

namespace {

std::string RequestHead(std::string_view method, const THttpUrl& url, std::string_view cookies,
                        std::string_view contentType) {
  std::string request = std::string(method) + " " + url.Target() + " HTTP/1.1\r\n";
  AddHeader(request, "Content-Type", contentType);
  AddHeader(request, "Host", url.HostHeader());
  AddHeader(request, "Accept", "text/html, */*");
  AddHeader(request, "User-Agent", "Mozilla/3.0 (compatible; Skarvel)");
  if (!cookies.empty()) AddHeader(request, "Cookie", cookies);
  return request;
}

}  // namespace

std::string BuildGetRequest(const THttpUrl& url, std::string_view cookies) {
  return RequestHead("GET", url, cookies, "text/html") + "\r\n";
}

std::string BuildPostRequest(const THttpUrl& url, std::string_view cookies,
                             std::string_view contentType, size_t bodyLength) {
  std::string request = RequestHead("POST", url, cookies, contentType);
  AddHeader(request, "Content-Length", std::to_string(bodyLength));
  return request + "\r\n";
}
