// Starts the throwaway server through the script the benchmark uses too, and stops it at exit.
#include "tests/server/throwaway_postgres.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

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
