// The bytes of a request exactly as the game sends them: the GETs of the exchange, and the POST of
// a recording.
#pragma once

#include <string>
#include <string_view>

#include "online/http_url.h"

// The header lines' longest length before they are folded onto continuation lines.
constexpr size_t HttpFoldColumn = 78;

// Folds one header line ("Name: value") longer than HttpFoldColumn at its spaces: each break is a
// CR LF put before a space, so the value reads the same once unfolded. A stretch without spaces
// stays whole. No line end is appended.
std::string FoldHeaderLine(std::string_view line);

// "GET <target> HTTP/1.1", then Content-Type, Host, Accept, User-Agent and, when `cookies` is not
// empty, Cookie, each line ended by CR LF, then the empty line.
std::string BuildGetRequest(const THttpUrl& url, std::string_view cookies);
// The head of a POST whose body is `bodyLength` bytes of `contentType`: the GET's lines with the
// method changed and Content-Type the body's, then Content-Length.
std::string BuildPostRequest(const THttpUrl& url, std::string_view cookies,
                             std::string_view contentType, size_t bodyLength);
