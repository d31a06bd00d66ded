// End to end: the real skarvel-scores program, and the game's own result sending (its HTTP client,
// handshake, payload and encoding) pointed at it. The result must land in the database file and
// in the table page, and the program must log each request and end cleanly on SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <iterator>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "online/http_client.h"
#include "online/result_exchange.h"
#include "online/score_server_urls.h"
#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_game_data.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The program on a free port with its standard output in a pipe.
class TServerProcess {
 public:
  TServerProcess(const std::filesystem::path& db, const std::string& key,
                 const std::vector<std::string>& extraArgs = {}) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const std::string dbText = db.string();
    std::vector<std::string> args = {
        SKARVEL_SCORES_PROGRAM, "--listen", "127.0.0.1:0", "--db", dbText, "--key", key};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, SKARVEL_SCORES_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~TServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }

  // Reads standard output until it holds `text` or `limit` passes.
  bool WaitForOutput(std::string_view text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      pollfd entry{out_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
        return false;
      }
      char buffer[4096];
      const ssize_t count = ::read(out_, buffer, sizeof buffer);
      if (count <= 0) return output_.find(text) != std::string::npos;
      output_.append(buffer, static_cast<size_t>(count));
    }
    return true;
  }

  // The port from the first line, "... listening on http://127.0.0.1:PORT/ ...".
  int Port() const {
    const size_t at = output_.find("127.0.0.1:");
    if (at == std::string::npos) return -1;
    return std::atoi(output_.c_str() + at + 10);
  }

  // Sends SIGTERM and returns the exit status, -1 when it did not end by itself.
  int Terminate() {
    ::kill(pid_, SIGTERM);
    return WaitForExit();
  }

  // The exit status once the program has ended by itself, -1 when it did not within 5 s.
  int WaitForExit() {
    for (int i = 0; i < 100; ++i) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        WaitForOutput("\x01", 1s);  // the rest of the output, to the end of the pipe
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }

  const std::string& Output() const { return output_; }
  bool Started() const { return pid_ > 0 && out_ >= 0; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

struct TStoredRow {
  std::string name;
  std::string country;
  int score = -1;
};

std::vector<TStoredRow> ReadDatabase(const std::filesystem::path& db) {
  std::vector<TStoredRow> rows;
  sqlite3* handle = nullptr;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(handle);
    return rows;
  }
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(handle, "SELECT name, country, score FROM scores ORDER BY id", -1, &statement,
                     nullptr);
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    rows.push_back({reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                    sqlite3_column_int(statement, 2)});
  }
  sqlite3_finalize(statement);
  sqlite3_close(handle);
  return rows;
}

TEST(GameToServer, TheGamesResultLandsInTheDatabaseAndTheTable) {
  TempDir dir;
  const auto db = dir.path() / "world.sqlite";
  TServerProcess server(db, "S");
  ASSERT_TRUE(server.Started());
  ASSERT_TRUE(server.WaitForOutput("listening on", 10s)) << server.Output();
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());

  THttpClient client;
  // The name as the game keeps it: ISO 8859-1 bytes.
  EXPECT_TRUE(SendResultToServer(client, host, 'S', "J\xf8rgen", 4321, "Norge"));
  // A build with another key letter is refused, and the game sees a failure.
  THttpClient otherBuild;
  EXPECT_FALSE(SendResultToServer(otherBuild, host, 'T', "Mallory", 65535, "Nowhere"));

  const auto rows = ReadDatabase(db);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "J\xc3\xb8rgen");
  EXPECT_EQ(rows[0].country, "Norge");
  EXPECT_EQ(rows[0].score, 4321);

  // The page the game's Scores screen opens in the browser.
  THttpClient browser;
  // Every result: the game's link shows the proven ones, and this one came without a recording.
  const std::string page = browser.Get(OnlineTableUrl(host) + "&all");
  EXPECT_NE(page.find("J\xc3\xb8rgen"), std::string::npos);
  EXPECT_NE(page.find(">4321<"), std::string::npos);
  EXPECT_EQ(page.find("Mallory"), std::string::npos);

  EXPECT_EQ(server.Terminate(), 0) << server.Output();
  const std::string& log = server.Output();
  EXPECT_NE(log.find("\"GET /cgi/version.pl?version&prg=Skarvel\" 200"), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /cgi/version.pl?hs&prg=Skarvel&inf="), std::string::npos) << log;
  EXPECT_NE(log.find(" 400 "), std::string::npos) << log;
  EXPECT_NE(log.find("wrong key"), std::string::npos) << log;
  EXPECT_NE(log.find("skarvel-scores: stopped"), std::string::npos) << log;
}

TEST(GameToServer, ASecondStartKeepsTheTableAndTheSecret) {
  TempDir dir;
  const auto db = dir.path() / "world.sqlite";
  std::string token;
  {
    TServerProcess first(db, "S");
    ASSERT_TRUE(first.WaitForOutput("listening on", 10s));
    THttpClient client;
    EXPECT_TRUE(SendResultToServer(client, "127.0.0.1:" + std::to_string(first.Port()), 'S',
                                   "First", 10, ""));
    // A handshake before the restart, its result after it.
    THttpClient handshake;
    token = HandshakeServerValue(
        handshake.Get(HandshakeUrl("127.0.0.1:" + std::to_string(first.Port()))));
    EXPECT_EQ(first.Terminate(), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(db.string() + ".secret"));
  TServerProcess second(db, "S");
  ASSERT_TRUE(second.WaitForOutput("listening on", 10s));
  const std::string host = "127.0.0.1:" + std::to_string(second.Port());
  THttpClient client;
  EXPECT_EQ(
      client.Get(ResultUrl(host, EncodeResult(BuildResultPayload("Second", 20, 'S', token, "")))),
      "OK");
  const auto rows = ReadDatabase(db);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "First");
  EXPECT_EQ(rows[1].name, "Second");
  EXPECT_EQ(second.Terminate(), 0);
}

TEST(GameToServer, RefusesToStartOnBadArguments) {
  TempDir dir;
  TServerProcess badKey(dir.path() / "x.sqlite", "lower");
  ASSERT_TRUE(badKey.Started());
  EXPECT_EQ(badKey.WaitForExit(), 2);
}

// The game's side of proof against the real server: a start ticket, then the recording of a
// game (the golden one, played with the tests' stand-in archive, which the server is given)
// uploaded before the result, which the server then proves.
TEST(GameToServer, AGamesRecordingGoesWithItsResultAndProvesIt) {
  TempDir dir;
  test_data::WriteGameData(dir.path());
  const auto db = dir.path() / "world.sqlite";
  TServerProcess server(db, "S",
                        {"--game-archive", (dir.path() / "data" / "gamegraphic.dxg").string()});
  ASSERT_TRUE(server.Started());
  ASSERT_TRUE(server.WaitForOutput("listening on", 10s)) << server.Output();
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());

  THttpClient ticketClient;
  const std::string ticket = FetchStartTicket(ticketClient, host, THttpClient::Clock::now() + 5s);
  EXPECT_FALSE(ticket.empty());

  std::ifstream in(SKARVEL_GOLDEN_RECORDING, std::ios::binary);
  const std::vector<uint8_t> recording{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(recording.empty());
  THttpClient client;
  bool offersReplays = false;
  EXPECT_TRUE(SendResultToServer(client, host, 'S', "Ada", 95, "Norge",
                                 THttpClient::Clock::now() + SubmissionTimeLimit, recording,
                                 &offersReplays));
  EXPECT_TRUE(offersReplays);
  std::string json;
  for (int i = 0; i < 100 && json.find("\"status\":\"proven\"") == std::string::npos; ++i) {
    std::this_thread::sleep_for(50ms);
    THttpClient reader;
    json = reader.Get("http://" + host + "/scores.json");
  }
  EXPECT_NE(json.find("\"name\":\"Ada\""), std::string::npos) << json << server.Output();
  EXPECT_NE(json.find("\"status\":\"proven\""), std::string::npos) << json << server.Output();
}

}  // namespace
