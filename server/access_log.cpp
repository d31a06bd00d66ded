// Formatting and writing the access log's lines.
#include "server/access_log.h"

#include <unistd.h>

#include <algorithm>

namespace {

constexpr size_t MaxMethod = 16;
constexpr size_t MaxTarget = 300;
constexpr size_t MaxAddress = 64;
constexpr size_t MaxNote = 200;

void AppendPrintable(std::string& line, std::string_view text, size_t max) {
  for (const char c : text.substr(0, max)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '\\') {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      line += escaped;
    } else {
      line += c;
    }
  }
  if (text.size() > max) line += "...";
}

}  // namespace

std::string AccessLogLine(const AccessLogEntry& entry, std::time_t now) {
  std::tm utc{};
  gmtime_r(&now, &utc);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
  std::string line = when;
  line += ' ';
  AppendPrintable(line, entry.address.empty() ? "-" : entry.address, MaxAddress);
  line += " \"";
  AppendPrintable(line, entry.method.empty() ? "-" : entry.method, MaxMethod);
  line += ' ';
  AppendPrintable(line, entry.target.empty() ? "-" : entry.target, MaxTarget);
  char figures[96];
  std::snprintf(figures, sizeof figures, "\" %d %zu %.1fms", entry.status, entry.bytes,
                entry.milliseconds);
  line += figures;
  if (!entry.note.empty()) {
    line += ' ';
    AppendPrintable(line, entry.note, MaxNote);
  }
  line += '\n';
  return line;
}

void AccessLog::Write(const AccessLogEntry& entry) {
  if (!file_) return;
  const std::string line = AccessLogLine(entry, std::time(nullptr));
  // One write(2) a line, no lock: lines are shorter than PIPE_BUF, which a pipe keeps whole, and
  // a file keeps them whole through its position lock; no thread waits on another's log line.
  if (::write(fileno(file_), line.data(), line.size()) < 0) {
    // A log that cannot be written must not stop the server from serving.
  }
}
