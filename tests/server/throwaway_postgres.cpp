// Starts the throwaway server through the script the benchmark uses too, and stops it at exit.
#include "tests/server/throwaway_postgres.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/wait.h>

#include <signal.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

struct TServer {
  TempDir dir;
  std::string conninfo;
  std::string whyNot;
  bool started = false;
  int databases = 0;
};

// Runs `command` with the shell; its standard output and exit status.
std::pair<std::string, int> RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {{}, -1};
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe)) output += buffer.data();
  const int status = pclose(pipe);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string Script() {
  return std::string("sh ") + SKARVEL_THROWAWAY_POSTGRES;
}

TServer* instance = nullptr;

TServer& Server() {
  if (!instance) {
    auto* made = new TServer;
    const std::string dataDir = (made->dir.path() / "pg").string();
    auto [output, status] = RunCommand(Script() + " start " + dataDir);
    if (status == 77) {
      made->whyNot = "no PostgreSQL server is installed (apt-get install postgresql)";
    } else if (status != 0) {
      made->whyNot =
          "the throwaway PostgreSQL server did not start (exit " + std::to_string(status) + ")";
    } else {
      made->conninfo = output.substr(0, output.find('\n'));
      made->started = true;
    }
    instance = made;
  }
  return *instance;
}

// Stops the server after the last test, and removes its folder.
class TStopPostgres : public ::testing::Environment {
 public:
  void TearDown() override {
    if (!instance) return;
    if (instance->started) RunCommand(Script() + " stop " + (instance->dir.path() / "pg").string());
    delete instance;
    instance = nullptr;
  }
};

[[maybe_unused]] auto* const stopper = ::testing::AddGlobalTestEnvironment(new TStopPostgres);

}  // namespace

std::string FreshPostgresDatabase(std::string& whyNot) {
  TServer& server = Server();
  if (!server.started) {
    whyNot = server.whyNot;
    return {};
  }
  const std::string name = "scores_" + std::to_string(++server.databases);
  PGconn* admin = PQconnectdb(server.conninfo.c_str());
  PGresult* result = PQexec(admin, ("CREATE DATABASE " + name).c_str());
  const bool made = PQresultStatus(result) == PGRES_COMMAND_OK;
  if (!made) whyNot = PQerrorMessage(admin);
  PQclear(result);
  PQfinish(admin);
  if (!made) return {};
  return server.conninfo.substr(0, server.conninfo.find("dbname=")) + "dbname=" + name +
         " user=scores";
}

bool SignalThrowawayPostgres(int signal) {
  if (!instance || !instance->started) return false;
  std::ifstream pidFile(instance->dir.path() / "pg" / "data" / "postmaster.pid");
  pid_t postmaster = 0;
  if (!(pidFile >> postmaster) || postmaster <= 0) return false;
  // The children first, so none is left running after its parent stopped.
  std::vector<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    // "pid (comm) state ppid ...": the command may hold spaces, so read after its last ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    pid_t parent = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        parent == postmaster) {
      children.push_back(static_cast<pid_t>(std::stol(name)));
    }
  }
  for (const pid_t child : children) ::kill(child, signal);
  return ::kill(postmaster, signal) == 0;
}
