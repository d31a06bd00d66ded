// The real program on the loopback interface when its storage fails: a database that hangs, a
// database folder removed while it runs, a secret file others may read or too short, a full disk
// at first start. The time bounds are generous: they catch a hang, not a slow machine.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/sqlite_store.h"
#include "tests/server/full_disk.h"
#include "tests/server/scores_process.h"
#include "tests/server/throwaway_postgres.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TimedReply {
  int status = -1;  // -1: no reply within the client's 10 s
  std::string body;
  std::chrono::steady_clock::duration took{};
};

TimedReply Get(int port, const std::string& target) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(10, 0);
  const auto start = std::chrono::steady_clock::now();
  auto result = client.Get(target.c_str());
  TimedReply reply;
  reply.took = std::chrono::steady_clock::now() - start;
  if (result) {
    reply.status = result->status;
    reply.body = result->body;
  }
  return reply;
}

constexpr const char* HandshakeTarget = "/cgi/version.pl?version&prg=Skarvel";

std::string ResultTarget(const std::string& token, const std::string& name) {
  return "/cgi/version.pl?hs&prg=Skarvel&inf=" +
         EncodeResult(BuildResultPayload(name, 500, 'S', token, "Norway"));
}

TimedReply Submit(int port, const std::string& name) {
  const std::string token = HandshakeServerValue(Get(port, HandshakeTarget).body);
  return Get(port, ResultTarget(token, name));
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

struct ResumePostgres {
  ~ResumePostgres() { SignalThrowawayPostgres(SIGCONT); }
};

TEST(ServerOutage, AHungDatabaseDelaysNoHandshakeOrFileAndResultsGet503) {
  std::string whyNot;
  const std::string conninfo = FreshPostgresDatabase(whyNot);
  if (conninfo.empty()) GTEST_SKIP() << "PostgreSQL not tested: " << whyNot;
  TempDir dir;
  ScoresProcess server({"--listen", "127.0.0.1:0", "--postgres", conninfo, "--secret-file",
                        (dir.path() / "secret").string()},
                       dir.path() / "out.log");
  const int port = server.WaitForPort();
  ASSERT_GT(port, 0) << server.Output();
  ASSERT_EQ(Submit(port, "before").status, 200);
  const std::string token = HandshakeServerValue(Get(port, HandshakeTarget).body);

  {
    ResumePostgres resume;
    ASSERT_TRUE(SignalThrowawayPostgres(SIGSTOP));
    auto result =
        std::async(std::launch::async, [&] { return Get(port, ResultTarget(token, "x")); });
    auto page = std::async(std::launch::async,
                           [&] { return Get(port, "/cgi/version.pl?prg=Skarvel&show&type=0"); });
    std::this_thread::sleep_for(100ms);
    // While a result and a page wait on the database, the rest is served as always.
    const TimedReply handshake = Get(port, HandshakeTarget);
    EXPECT_EQ(handshake.status, 200);
    EXPECT_LT(handshake.took, 1s);
    const TimedReply style = Get(port, "/style.css");
    EXPECT_EQ(style.status, 200);
    EXPECT_LT(style.took, 1s);
    const TimedReply refused = result.get();
    EXPECT_EQ(refused.status, 503) << refused.body;
    EXPECT_LT(refused.took, 3s);
    // The page comes from the cache or fails, but it does not wait for the database.
    EXPECT_LT(page.get().took, 3s);
    EXPECT_EQ(Submit(port, "during").status, 503);
  }
  // Back: the refused result's token still works, as the game would send it again.
  TimedReply again;
  for (int attempt = 0; attempt < 20 && again.status != 200; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(250ms);
    again = Get(port, ResultTarget(token, "x"));
  }
  EXPECT_EQ(again.status, 200) << again.body;
  const std::string log = server.Output();
  EXPECT_EQ(Occurrences(log, "DATABASE UNAVAILABLE"), 1) << log;
  EXPECT_EQ(Occurrences(log, "database available again"), 1) << log;
}

TEST(ServerOutage, ADatabaseFolderRemovedIsNoticedAndNeverSilentlyMadeAgain) {
  TempDir dir;
  const fs::path folder = dir.path() / "data";
  fs::create_directories(folder);
  const std::vector<std::string> args = {"--listen", "127.0.0.1:0", "--db",
                                         (folder / "scores.sqlite").string()};
  {
    ScoresProcess server(args, dir.path() / "first.log");
    const int port = server.WaitForPort();
    ASSERT_GT(port, 0) << server.Output();
    EXPECT_NE(server.Output().find("creating a new, empty database at"), std::string::npos);
    ASSERT_EQ(Submit(port, "kept").status, 200);
    fs::remove_all(folder);
    EXPECT_EQ(Submit(port, "lost").status, 503);
    EXPECT_EQ(Submit(port, "lost too").status, 503);
    const std::string log = server.Output();
    EXPECT_EQ(Occurrences(log, "DATABASE UNAVAILABLE"), 1) << log;
    EXPECT_NE(log.find("was removed or replaced"), std::string::npos) << log;
  }
  {
    // The folder made again, empty: a new database and secret, both said aloud.
    fs::create_directories(folder);
    ScoresProcess server(args, dir.path() / "second.log");
    ASSERT_GT(server.WaitForPort(), 0) << server.Output();
    const std::string log = server.Output();
    EXPECT_NE(log.find("creating a new, empty database at " + (folder / "scores.sqlite").string()),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("made a new token secret"), std::string::npos) << log;
  }
  {
    // Only the database gone, its secret still there: it was lost, so no new one is begun.
    fs::remove(folder / "scores.sqlite");
    ScoresProcess server(args, dir.path() / "third.log");
    EXPECT_EQ(server.WaitForExit(), 1);
    EXPECT_NE(server.Output().find("is missing but its secret"), std::string::npos)
        << server.Output();
    EXPECT_FALSE(fs::exists(folder / "scores.sqlite"));
  }
}

TEST(ServerOutage, RefusesToStartWithASecretOthersMayReadOrAShortOne) {
  const struct {
    const char* name;
    std::string contents;
    fs::perms mode;
    const char* says;
  } cases[] = {
      {"world-readable", std::string(64, 'a'), fs::perms::owner_read | fs::perms::others_read,
       "chmod 600"},
      {"16 bytes", "0123456789abcdef", fs::perms::owner_read, "holds 16 bytes"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    const fs::path secret = dir.path() / "secret";
    std::ofstream(secret) << test.contents;
    fs::permissions(secret, test.mode);
    ScoresProcess server({"--listen", "127.0.0.1:0", "--db", (dir.path() / "s.sqlite").string(),
                          "--secret-file", secret.string()},
                         dir.path() / "out.log");
    EXPECT_EQ(server.WaitForExit(), 1);
    EXPECT_NE(server.Output().find(test.says), std::string::npos) << server.Output();
  }
}

TEST(ServerOutage, RefusesAReadOnlyDatabaseSayingSo) {
  TempDir dir;
  const fs::path folder = dir.path() / "data";
  fs::create_directories(folder);
  const fs::path database = folder / "scores.sqlite";
  { SqliteScoreStore made(database.string(), 1); }
  // Root writes files whatever their mode, so as root the folder is mounted read-only instead.
  bool mounted = false;
  if (::geteuid() == 0) {
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      GTEST_SKIP() << "cannot bind-mount the folder read-only: " << std::strerror(errno);
    }
    mounted = true;
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      ::umount2(folder.c_str(), MNT_DETACH);
      GTEST_SKIP() << "cannot remount the folder read-only: " << std::strerror(errno);
    }
  } else {
    fs::permissions(database, fs::perms::owner_read);
  }
  ScoresProcess server({"--listen", "127.0.0.1:0", "--db", database.string(), "--secret-file",
                        (dir.path() / "secret").string()},
                       dir.path() / "out.log");
  EXPECT_EQ(server.WaitForExit(), 1);
  EXPECT_NE(server.Output().find("is read-only"), std::string::npos) << server.Output();
  if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
}

TEST(ServerOutage, AFullDiskAtFirstStartLeavesNoSecretBehind) {
  TempDir dir;
  const FullDisk disk(dir.path() / "full");
  if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
  const fs::path full = dir.path() / "full";
  const struct {
    const char* name;
    fs::path database;
    fs::path secret;
  } cases[] = {
      {"database and secret on the full disk", full / "scores.sqlite",
       full / "scores.sqlite.secret"},
      {"only the secret on it", dir.path() / "scores.sqlite", full / "other.secret"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    ScoresProcess server({"--listen", "127.0.0.1:0", "--db", test.database.string(),
                          "--secret-file", test.secret.string()},
                         dir.path() / "out.log");
    EXPECT_EQ(server.WaitForExit(), 1) << server.Output();
    EXPECT_NE(server.Output().find("skarvel-scores: "), std::string::npos) << server.Output();
    EXPECT_FALSE(fs::exists(test.secret));
    // Nothing but the filler and what SQLite may have begun: no secret, no temporary file.
    for (const auto& entry : fs::directory_iterator(full)) {
      EXPECT_EQ(entry.path().string().find("secret"), std::string::npos) << entry.path();
    }
  }
}

}  // namespace
