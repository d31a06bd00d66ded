// The server's pages: the world table, the home page, the JSON export and the style sheet, written
// as plain HTML and CSS with every stored text escaped. They need no script in the browser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/score_store.h"

// One page of the world table as the server read it for a request.
struct TablePageView {
  std::vector<RankedScore> rows;
  std::string country;      // The country filter of the request, empty for every country.
  int64_t page = 1;         // Counted from 1.
  int64_t pageSize = 100;   // Rows a page.
  int64_t totalRows = 0;    // Rows within the filter, on every page.
  int64_t now = 0;          // Unix seconds when the page was made.
  bool provenOnly = false;  // Only proven results, ranked among themselves.
};

// Text made safe inside HTML elements and quoted attribute values (& < > " ').
std::string HtmlEscape(std::string_view text);

// GET /cgi/version.pl?prg=Skarvel&show&type=0[&page=N][&country=C]
std::string RenderTablePage(const TablePageView& view);
// GET / : the game, its screenshots, how to build and play it, and the ten best (`top`).
std::string RenderHomePage(const std::vector<RankedScore>& top);
// GET /scores.json[?page=N][&country=C] : the same slice as the table page, for other tools.
std::string RenderScoresJson(const TablePageView& view);
// GET /style.css
std::string_view StyleSheet();
