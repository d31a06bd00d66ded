// Which cookies a server may set and which come back with a request: domains, paths, expiry,
// replacement, the Set-Cookie2 form and the bounds of the store.
#include "online/cookie_store.h"

#include <gtest/gtest.h>

#include "online/cookie_date.h"

namespace {

using namespace std::chrono_literals;
using TimePoint = TCookieStore::TimePoint;

// 2024-05-01 12:00:00 UTC.
const TimePoint Now = TimePoint(std::chrono::seconds(1714564800));

TEST(TCookieStore, ReturnsCookiesByHostAndPath) {
  TCookieStore store;
  const auto set = [&store](std::string_view value, std::string_view host = "www.example.org",
                            std::string_view path = "/cgi/version.pl") {
    store.Store("Set-Cookie", value, host, path, Now);
  };
  set("plain=1");                                    // host only, path "/cgi"
  set("site=2; Path=/");                             // host only, whole server
  set("wide=3; Domain=example.org; Path=/");         // every host of the domain
  set("dotted=4; domain=.Example.ORG; path=/cgi/");  // letter case of the attributes ignored
  set("deep=5; Path=/cgi/deeper");
  set("own=6; Domain=www.example.org; Path=/");  // the host's own name: host only

  struct Case {
    const char* host;
    const char* path;
    const char* header;
  };
  const Case cases[] = {
      {"www.example.org", "/cgi/version.pl", "dotted=4; plain=1; site=2; wide=3; own=6"},
      {"WWW.EXAMPLE.ORG", "/cgi", "plain=1; site=2; wide=3; own=6"},
      {"www.example.org", "/cgi/deeper/x", "deep=5; dotted=4; plain=1; site=2; wide=3; own=6"},
      {"www.example.org", "/cgiother", "site=2; wide=3; own=6"},
      {"www.example.org", "/", "site=2; wide=3; own=6"},
      {"scores.example.org", "/cgi/x", "dotted=4; wide=3"},
      {"example.org", "/", "wide=3"},
      {"sub.www.example.org", "/", "wide=3"},
      {"badexample.org", "/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(store.CookieHeader(c.host, c.path, Now), c.header) << c.host << c.path;
  }
}

TEST(TCookieStore, RefusesCookiesForDomainsTheHostIsNotIn) {
  TCookieStore store;
  for (const char* value :
       {"a=1; Domain=other.org", "b=1; Domain=.org", "c=1; Domain=org", "d=1; Domain=ample.org",
        "e=1; Domain=sub.www.example.org", "=1", "novalue", "$Version=1", "f=1; Secure"}) {
    store.Store("Set-Cookie", value, "www.example.org", "/", Now);
  }
  store.Store("Set-Cookie", "g=1; Domain=0.0.1", "127.0.0.1", "/", Now);
  EXPECT_EQ(store.Count(), 0u);
}

TEST(TCookieStore, ReplacesACookieOfTheSameNameDomainAndPathAndForgetsExpiredOnes) {
  TCookieStore store;
  const auto set = [&store](std::string_view value, TimePoint when = Now) {
    store.Store("Set-Cookie", value, "host", "/", when);
  };
  set("a=1");
  set("a=2");
  set("a=3; Path=/x");
  EXPECT_EQ(store.CookieHeader("host", "/x", Now), "a=3; a=2");
  set("a=gone; Max-Age=0");
  EXPECT_EQ(store.CookieHeader("host", "/x", Now), "a=3");
  set("a=gone; Path=/x; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
  EXPECT_EQ(store.CookieHeader("host", "/x", Now), "");

  set("hour=1; Max-Age=3600");
  set("day=1; Expires=Thu, 02-May-24 12:00:00 GMT");
  set("wins=1; Expires=Thu, 02 May 2024 12:00:00 GMT; Max-Age=60");
  set("odd=1; Expires=sometime soon");  // an unreadable date keeps the cookie for the run
  EXPECT_EQ(store.CookieHeader("host", "/", Now), "hour=1; day=1; wins=1; odd=1");
  EXPECT_EQ(store.CookieHeader("host", "/", Now + 61s), "hour=1; day=1; odd=1");
  EXPECT_EQ(store.CookieHeader("host", "/", Now + 2h), "day=1; odd=1");
  EXPECT_EQ(store.CookieHeader("host", "/", Now + 25h), "odd=1");
}

TEST(TCookieStore, ReadsSetCookie2ListsAndAnswersInTheirForm) {
  TCookieStore store;
  store.Store("Set-Cookie2",
              "Customer=\"WILE_E_COYOTE\"; Version=\"1\"; Path=\"/acme\", "
              "Part=\"Rocket, Launcher\"; Version=\"1\"; Path=\"/acme\"",
              "www.example.org", "/acme/login", Now);
  ASSERT_EQ(store.Count(), 2u);
  EXPECT_EQ(store.CookieHeader("www.example.org", "/acme/pickitem", Now),
            "$Version=\"1\"; Customer=\"WILE_E_COYOTE\"; $Path=\"/acme\"; "
            "Part=\"Rocket, Launcher\"; $Path=\"/acme\"");
  // A plain Set-Cookie holds one cookie whatever commas its date has.
  TCookieStore plain;
  plain.Store("Set-Cookie", "id=7; Expires=Wed, 01 Jan 2031 00:00:00 GMT, x=1", "h", "/", Now);
  EXPECT_EQ(plain.CookieHeader("h", "/", Now), "id=7");
}

TEST(TCookieStore, KeepsAtMostItsLimitDroppingTheOldestAndRefusesHugeCookies) {
  TCookieStore store;
  for (size_t i = 0; i < TCookieStore::MaxCookies + 5; ++i) {
    store.Store("Set-Cookie", "c" + std::to_string(i) + "=1", "h", "/", Now);
  }
  EXPECT_EQ(store.Count(), TCookieStore::MaxCookies);
  const std::string header = store.CookieHeader("h", "/", Now);
  EXPECT_EQ(header.find("c4="), std::string::npos);
  EXPECT_EQ(header.rfind("c5=1; ", 0), 0u);
  store.Store("Set-Cookie", "big=" + std::string(TCookieStore::MaxCookieSize, 'x'), "h", "/", Now);
  EXPECT_EQ(store.CookieHeader("h", "/", Now).find("big="), std::string::npos);
}

TEST(ParseCookieDate, ReadsTheFormsServersSend) {
  const auto at = [](int64_t seconds) { return TimePoint(std::chrono::seconds(seconds)); };
  struct Case {
    const char* text;
    std::optional<TimePoint> time;
  };
  const Case cases[] = {
      {"Wed, 01 May 2024 12:00:00 GMT", at(1714564800)},
      {"Wednesday, 01-May-24 12:00:00 GMT", at(1714564800)},
      {"Wed May  1 12:00:00 2024", at(1714564800)},
      {"Thu, 01 Jan 1970 00:00:00 GMT", at(0)},
      {"Sat, 29 Feb 2000 23:59:59 GMT", at(951868799)},
      {"Fri, 31 Dec 1999 23:59:59 GMT", at(946684799)},
      {"Sun, 06 Nov 1994 08:49:37 GMT", at(784111777)},
      {"Mon, 01 Jan 1900 00:00:00 GMT", at(0)},  // long ago is simply expired
      {"Wed, 01 May 2024 GMT", std::nullopt},
      {"Wed, 32 May 2024 12:00:00 GMT", std::nullopt},
      {"Wed, 01 Foo 2024 12:00:00 GMT", std::nullopt},
      {"Wed, 01 May 2024 25:00:00 GMT", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCookieDate(c.text), c.time) << c.text;
  // Far in the future stays far in the future without overflowing the clock.
  const auto far = ParseCookieDate("Fri, 31 Dec 9999 23:59:59 GMT");
  ASSERT_TRUE(far.has_value());
  EXPECT_GT(*far, Now + std::chrono::hours(24 * 365 * 100));
}

}  // namespace
