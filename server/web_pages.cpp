// The HTML, JSON and CSS of the server's pages. Every stored text passes through HtmlEscape (or
// the JSON escaping) on its way out; the pages hold no script and need none.
#include "server/web_pages.h"

#include <ctime>

namespace {

constexpr int64_t HomeTopCount = 10;

std::string DateOf(int64_t unixSeconds) {
  const std::time_t when = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_r(&when, &utc);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &utc);
  return text;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.') {
      encoded += c;
    } else {
      encoded += '%';
      encoded += Digits[byte >> 4];
      encoded += Digits[byte & 0x0F];
    }
  }
  return encoded;
}

std::string PageHead(std::string_view title) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  html += HtmlEscape(title);
  html +=
      "</title>\n<link rel=\"stylesheet\" href=\"/style.css\">\n</head>\n<body>\n"
      "<header class=\"banner\"><a class=\"brand\" href=\"/\">Skarvel</a>\n"
      "<nav><a href=\"/\">Home</a> <a href=\"/cgi/version.pl?prg=Skarvel&amp;show&amp;type=0\">"
      "World scores</a></nav></header>\n<main>\n";
  return html;
}

constexpr std::string_view PageFoot =
    "</main>\n<footer>Skarvel world scores &middot; <a href=\"/scores.json\">scores.json</a>"
    "</footer>\n</body>\n</html>\n";

// The proof column: a proven result links its recording, any other says what it is in words.
std::string ProofCell(const RankedScore& row) {
  switch (row.status) {
    case ResultStatus::Proven:
      return "<td class=\"proof proven\"><a href=\"/replays/" + std::to_string(row.id) +
             "\">recording</a>" + (row.startTicket ? "" : " <small>(no start ticket)</small>") +
             "</td>";
    case ResultStatus::Pending:
      return "<td class=\"proof pending\">being checked</td>";
    case ResultStatus::Refused:
      return "<td class=\"proof refused\">refused</td>";
    case ResultStatus::Unproven:
      break;
  }
  return "<td class=\"proof unproven\">unproven</td>";
}

// The rows of a score table; `rows` may be empty.
std::string ScoreTable(const std::vector<RankedScore>& rows) {
  if (rows.empty()) return "<p class=\"empty\">No scores yet: be the first.</p>\n";
  std::string html =
      "<table class=\"scores\">\n<thead><tr><th class=\"rank\">Rank</th><th>Name</th>"
      "<th>Country</th><th class=\"score\">Score</th><th class=\"date\">Date</th>"
      "<th class=\"proof\">Proof</th></tr></thead>\n<tbody>\n";
  for (const auto& row : rows) {
    html += "<tr><td class=\"rank\">" + std::to_string(row.rank) + "</td><td class=\"name\">" +
            HtmlEscape(row.name) + "</td><td class=\"country\">" + HtmlEscape(row.country) +
            "</td><td class=\"score\">" + std::to_string(row.score) + "</td><td class=\"date\">" +
            DateOf(row.submittedAt) + "</td>" + ProofCell(row) + "</tr>\n";
  }
  html += "</tbody>\n</table>\n";
  return html;
}

std::string TableLink(const TablePageView& view, int64_t page, bool provenOnly) {
  std::string url = "/cgi/version.pl?prg=Skarvel&show&type=0&page=" + std::to_string(page);
  if (!view.country.empty()) url += "&country=" + PercentEncode(view.country);
  if (view.pageSize != 100) url += "&size=" + std::to_string(view.pageSize);
  if (!provenOnly) url += "&all";
  return HtmlEscape(url);
}

std::string TableLink(const TablePageView& view, int64_t page) {
  return TableLink(view, page, view.provenOnly);
}

const char* StatusName(ResultStatus status) {
  switch (status) {
    case ResultStatus::Proven:
      return "proven";
    case ResultStatus::Pending:
      return "pending";
    case ResultStatus::Refused:
      return "refused";
    case ResultStatus::Unproven:
      break;
  }
  return "unproven";
}

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
      // Markup characters escaped too, so the export is safe even pasted into a page.
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string RenderTablePage(const TablePageView& view) {
  std::string html = PageHead("Skarvel world scores");
  html += "<h1>World scores</h1>\n";
  html +=
      "<form class=\"filter\" method=\"get\" action=\"/cgi/version.pl\">"
      "<input type=\"hidden\" name=\"prg\" value=\"Skarvel\">"
      "<input type=\"hidden\" name=\"show\" value=\"\">"
      "<input type=\"hidden\" name=\"type\" value=\"0\">"
      "<label for=\"country\">Country</label> "
      "<input id=\"country\" name=\"country\" maxlength=\"10\" value=\"" +
      HtmlEscape(view.country) + "\">";
  if (!view.provenOnly) html += "<input type=\"hidden\" name=\"all\" value=\"\">";
  html += " <button type=\"submit\">Show</button>";
  if (!view.country.empty()) {
    html += " <a href=\"/cgi/version.pl?prg=Skarvel&amp;show&amp;type=0\">All countries</a>";
  }
  html += "</form>\n";
  if (!view.country.empty()) {
    html += "<p class=\"scope\">Scores from " + HtmlEscape(view.country) + "</p>\n";
  }
  // Proven results are those whose recording the server played through to the same score.
  html += "<p class=\"proof-switch\">";
  html += view.provenOnly
              ? "Proven results only: the server replayed each recording to its score. <a "
                "href=\"" +
                    TableLink(view, 1, false) + "\">Show all results</a>"
              : "All results; those not proven are marked. <a href=\"" + TableLink(view, 1, true) +
                    "\">Show proven results only</a>";
  html += "</p>\n";
  if (view.rows.empty() && view.totalRows > 0) {
    html += "<p class=\"empty\">No scores on this page.</p>\n";
  } else {
    html += ScoreTable(view.rows);
  }
  const int64_t pages =
      view.totalRows == 0 ? 1 : (view.totalRows + view.pageSize - 1) / view.pageSize;
  html += "<nav class=\"pages\">";
  if (view.page > 1) {
    html += "<a rel=\"prev\" href=\"" + TableLink(view, view.page - 1) + "\">&larr; Better</a> ";
  }
  html += "<span>Page " + std::to_string(view.page) + " of " + std::to_string(pages) + "</span>";
  if (view.page < pages) {
    html += " <a rel=\"next\" href=\"" + TableLink(view, view.page + 1) + "\">More &rarr;</a>";
  }
  html += "</nav>\n";
  html += PageFoot;
  return html;
}

std::string RenderHomePage(const std::vector<RankedScore>& top) {
  std::string html = PageHead("Skarvel: a dragon, a burning landscape, the world's best scores");
  html +=
      "<section class=\"intro\">\n<h1>Skarvel</h1>\n"
      "<p class=\"lead\">A single-player arcade shooter for Linux. You steer a dragon over a "
      "landscape that scrolls from right to left &mdash; mountains, volcanoes spitting lava, "
      "trees, a sky that turns from day to night &mdash; and burn, freeze and strike down eight "
      "kinds of enemies: flyers, a weaving flyer that drops burning stones, archers and a "
      "catapult. Collect weapons, shields, lives and time, and fly level after level until your "
      "last life is lost.</p>\n</section>\n"
      "<section class=\"shots\">\n<h2>Screenshots</h2>\n<div class=\"gallery\">\n";
  static constexpr std::pair<const char*, const char*> Shots[] = {
      {"menu", "The main menu"},
      {"day", "A level at dusk"},
      {"night", "A level at night"},
      {"level5", "Level 5 with its volcanoes and lava"},
      {"shield", "The dragon with its shield"},
      {"gameover", "Game over"},
  };
  for (const auto& [file, caption] : Shots) {
    html += "<figure><img src=\"/screenshots/" + std::string(file) +
            ".png\" width=\"800\" height=\"600\" loading=\"lazy\" alt=\"" + caption +
            "\"><figcaption>" + caption + "</figcaption></figure>\n";
  }
  html +=
      "</div>\n</section>\n"
      "<section class=\"top\">\n<h2>The world's ten best, proven</h2>\n";
  std::vector<RankedScore> best(top.begin(),
                                top.begin() + std::min<int64_t>(top.size(), HomeTopCount));
  html += ScoreTable(best);
  html +=
      "<p><a href=\"/cgi/version.pl?prg=Skarvel&amp;show&amp;type=0\">The whole table</a></p>\n"
      "</section>\n"
      "<section class=\"build\">\n<h2>Build and play</h2>\n"
      "<p>On Debian 12, from the source folder (the script installs what is missing):</p>\n"
      "<pre><code>sh scripts/install-deps.sh\ncmake --preset release\n"
      "cmake --build --preset release\ncd build/release/game &amp;&amp; ./skarvel</code></pre>\n"
      "<p>Steer with the arrow keys (or W, A, S, D, the mouse or a joystick), fire with Ctrl or "
      "Space, pause with P. After the last life a good score earns a place in your own table; "
      "type your name and country and send the result to this table.</p>\n"
      "</section>\n";
  html += PageFoot;
  return html;
}

std::string RenderScoresJson(const TablePageView& view) {
  std::string json =
      "{\"page\":" + std::to_string(view.page) + ",\"pageSize\":" + std::to_string(view.pageSize) +
      ",\"total\":" + std::to_string(view.totalRows) + ",\"country\":" + JsonString(view.country) +
      ",\"provenOnly\":" + (view.provenOnly ? "true" : "false") + ",\"scores\":[";
  bool first = true;
  for (const auto& row : view.rows) {
    if (!first) json += ',';
    first = false;
    json += "{\"rank\":" + std::to_string(row.rank) + ",\"name\":" + JsonString(row.name) +
            ",\"country\":" + JsonString(row.country) + ",\"score\":" + std::to_string(row.score) +
            ",\"date\":\"" + DateOf(row.submittedAt) +
            "\",\"submittedAt\":" + std::to_string(row.submittedAt) + ",\"status\":\"" +
            StatusName(row.status) + "\"";
    if (row.status == ResultStatus::Proven) {
      json += ",\"startTicket\":" + std::string(row.startTicket ? "true" : "false") +
              ",\"recording\":\"/replays/" + std::to_string(row.id) + "\"";
    }
    json += "}";
  }
  return json + "]}\n";
}
