// Taking URLs apart and writing the request: targets as written, the Host header, the fixed
// header order and the folding of long lines.
#include "online/http_request.h"

#include <gtest/gtest.h>

#include "online/http_errors.h"
#include "online/http_url.h"

namespace {

TEST(SplitUrl, TakesHostPortPathDocumentAndQueryAsWritten) {
  struct Case {
    const char* url;
    const char* host;
    uint16_t port;
    const char* path;
    const char* document;
    const char* query;
    const char* hostHeader;
  };
  const Case cases[] = {
      {"http://scores.example.org/cgi/version.pl?version&prg=Skarvel", "scores.example.org", 80,
       "/cgi/", "version.pl", "?version&prg=Skarvel", "scores.example.org"},
      {"http://127.0.0.1:8080/", "127.0.0.1", 8080, "/", "", "", "127.0.0.1:8080"},
      {"HTTP://Host", "Host", 80, "/", "", "", "Host"},
      {"http://host:80?a=b/c", "host", 80, "/", "", "?a=b/c", "host"},
      {"http://host:/a/b/c.html#part", "host", 80, "/a/b/", "c.html", "", "host"},
      {"http://[::1]:9000/x", "::1", 9000, "/", "x", "", "[::1]:9000"},
      {"http://host/%41?%42", "host", 80, "/", "%41", "?%42", "host"},
  };
  for (const Case& c : cases) {
    const THttpUrl url = SplitUrl(c.url);
    EXPECT_EQ(url.Host, c.host) << c.url;
    EXPECT_EQ(url.Port, c.port) << c.url;
    EXPECT_EQ(url.Path, c.path) << c.url;
    EXPECT_EQ(url.Document, c.document) << c.url;
    EXPECT_EQ(url.Query, c.query) << c.url;
    EXPECT_EQ(url.HostHeader(), c.hostHeader) << c.url;
  }
}

TEST(SplitUrl, RefusesWhatItCannotSendSafely) {
  for (const char* url :
       {"https://host/", "ftp://host/", "host/path", "http://", "http:///path", "http://:80/",
        "http://host:0/", "http://host:65536/", "http://host:12a/", "http://user:pw@host/",
        "http://host/a b", "http://host/\r\nX-Injected: 1", "http://[::1/", "http://[::1]x/"}) {
    EXPECT_THROW(SplitUrl(url), EHttpError) << url;
  }
}

TEST(BuildGetRequest, WritesTheFixedHeadersInOrderAndLeavesOutAnEmptyCookie) {
  EXPECT_EQ(BuildGetRequest(SplitUrl("http://scores.example.org/cgi/version.pl?hs&inf=ABC"), ""),
            "GET /cgi/version.pl?hs&inf=ABC HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: scores.example.org\r\n"
            "Accept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Skarvel)\r\n"
            "\r\n");
  EXPECT_EQ(BuildGetRequest(SplitUrl("http://h:81"), "a=1"),
            "GET / HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: h:81\r\n"
            "Accept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Skarvel)\r\n"
            "Cookie: a=1\r\n"
            "\r\n");
}

TEST(FoldHeaderLine, BreaksBeforeSpacesSoNoLineExceeds78WhereSpacesAllow) {
  const std::string word10 = "abcdefghij";
  struct Case {
    std::string line;
    std::string folded;
  };
  const std::string exactly78 = "Cookie: " + std::string(70, 'x');
  const std::string long90 = "Cookie: " + std::string(82, 'y');
  const Case cases[] = {
      {exactly78, exactly78},
      {exactly78 + " z", exactly78 + "\r\n z"},
      // Seven words of ten after the name: the break goes before the last word that still fits.
      {"Cookie: " + word10 + " " + word10 + " " + word10 + " " + word10 + " " + word10 + " " +
           word10 + " " + word10 + " " + word10,
       "Cookie: " + word10 + " " + word10 + " " + word10 + " " + word10 + " " + word10 + " " +
           word10 + "\r\n " + word10 + " " + word10},
      // A word too long to fit stays whole and the break comes right after it.
      {long90 + " tail", long90 + "\r\n tail"},
      {long90, long90},
      // Never between the name and the start of its value.
      {"Cookie:  " + std::string(80, 'q'), "Cookie:  " + std::string(80, 'q')},
      // Runs of spaces: each continuation still starts with a space and holds a word.
      {"X: " + std::string(76, 'a') + "    " + std::string(76, 'b') + "  c",
       "X: " + std::string(76, 'a') + "\r\n    " + std::string(76, 'b') + "\r\n  c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FoldHeaderLine(c.line), c.folded) << c.line;
  }
}

}  // namespace
