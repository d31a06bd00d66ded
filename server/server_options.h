// The command line of skarvel-scores.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string sqlitePath = "scores.sqlite";
  std::string postgres;  // A libpq connection string; when set, used instead of SQLite.
  char key = 'S';
  std::filesystem::path secretFile;  // Empty: beside the SQLite file, or in the working folder.
  std::filesystem::path webRoot;     // Empty: found from the program's own location.
  uint32_t resultsPerMinute = 10;
  uint32_t handshakesPerMinute = 60;
  size_t workers = 4;  // Database workers.
  int timeoutSeconds = 10;
  // Connections.
  size_t ioThreads = 0;  // 0: one a core.
  size_t maxConnections = 10000;
  size_t maxConnectionsPerClient = 64;
  size_t databaseQueue = 256;
  int firstByteTimeoutSeconds = 5;
  std::vector<std::string> trustedProxies;  // Addresses whose X-Forwarded-For is believed.
  // Recordings.
  bool requireProof = false;          // Refuse results that come without a recording.
  std::filesystem::path gameArchive;  // Empty: found from the program's own location.
  size_t verifierWorkers = 0;         // 0: one a core.
  size_t verifierQueue = 64;          // Recordings waiting; beyond, uploads get 503.
  uint32_t maxReplayTicks = 0;        // 0: the format's own cap.
  bool help = false;
};

// Reads the arguments after the program name. Throws std::invalid_argument with a message for
// the user on anything it cannot take.
ServerOptions ParseServerOptions(const std::vector<std::string>& args);

// The text of --help.
const char* ServerUsage();
