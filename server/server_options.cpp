// Parsing the command line.
#include "server/server_options.h"

#include <stdexcept>

namespace {

uint32_t ReadNumber(const std::string& option, const std::string& text, uint32_t min,
                    uint32_t max) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    throw std::invalid_argument(option + " takes a whole number, not \"" + text + "\"");
  }
  const auto value = static_cast<uint32_t>(std::stoul(text));
  if (value < min || value > max) {
    throw std::invalid_argument(option + " must be from " + std::to_string(min) + " to " +
                                std::to_string(max));
  }
  return value;
}

void ReadListen(const std::string& text, ServerOptions& options) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    throw std::invalid_argument("--listen takes HOST:PORT, such as 127.0.0.1:8080");
  }
  std::string host = text.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  options.host = host;
  options.port = static_cast<int>(ReadNumber("--listen's port", text.substr(colon + 1), 0, 65535));
}

}  // namespace

ServerOptions ParseServerOptions(const std::vector<std::string>& args) {
  ServerOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--require-proof") {
      options.requireProof = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      throw std::invalid_argument(option.starts_with("--") ? option + " needs a value"
                                                           : "unknown argument \"" + option + "\"");
    }
    const std::string& value = args[++i];
    if (option == "--listen") {
      ReadListen(value, options);
    } else if (option == "--db") {
      options.sqlitePath = value;
    } else if (option == "--postgres") {
      options.postgres = value;
    } else if (option == "--key") {
      if (value.size() != 1 || value[0] < 'A' || value[0] > 'Z') {
        throw std::invalid_argument("--key takes one capital letter, as the game was built with");
      }
      options.key = value[0];
    } else if (option == "--secret-file") {
      options.secretFile = value;
    } else if (option == "--web-root") {
      options.webRoot = value;
    } else if (option == "--result-rate") {
      options.resultsPerMinute = ReadNumber(option, value, 0, 100000000);
    } else if (option == "--handshake-rate") {
      options.handshakesPerMinute = ReadNumber(option, value, 0, 100000000);
    } else if (option == "--threads" || option == "--db-workers") {
      options.workers = ReadNumber(option, value, 1, 256);
    } else if (option == "--io-threads") {
      options.ioThreads = ReadNumber(option, value, 0, 256);
    } else if (option == "--max-connections") {
      options.maxConnections = ReadNumber(option, value, 1, 10000000);
    } else if (option == "--max-connections-per-client") {
      options.maxConnectionsPerClient = ReadNumber(option, value, 1, 10000000);
    } else if (option == "--db-queue") {
      options.databaseQueue = ReadNumber(option, value, 0, 1000000);
    } else if (option == "--first-byte-timeout") {
      options.firstByteTimeoutSeconds = static_cast<int>(ReadNumber(option, value, 1, 300));
    } else if (option == "--trusted-proxy") {
      options.trustedProxies.push_back(value);
    } else if (option == "--game-archive") {
      options.gameArchive = value;
    } else if (option == "--verifier-workers") {
      options.verifierWorkers = ReadNumber(option, value, 0, 256);
    } else if (option == "--verifier-queue") {
      options.verifierQueue = ReadNumber(option, value, 1, 100000);
    } else if (option == "--max-replay-ticks") {
      options.maxReplayTicks = ReadNumber(option, value, 1, 999999999);
    } else if (option == "--timeout") {
      options.timeoutSeconds = static_cast<int>(ReadNumber(option, value, 1, 300));
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\"");
    }
  }
  if (options.secretFile.empty()) {
    options.secretFile =
        options.postgres.empty() ? options.sqlitePath + ".secret" : "skarvel-scores.secret";
  }
  return options;
}

const char* ServerUsage() {
  return "Usage: skarvel-scores [options]\n"
         "The world high-score server of Skarvel.\n"
         "\n"
         "  --listen HOST:PORT     address to serve (default 127.0.0.1:8080; port 0: any free)\n"
         "  --db FILE              SQLite database, created on first start (default "
         "scores.sqlite)\n"
         "  --postgres CONNINFO    use this PostgreSQL database instead (libpq connection "
         "string)\n"
         "  --key LETTER           the key letter the game was built with (default S)\n"
         "  --secret-file FILE     token secret, made on first start (default: the database's\n"
         "                         name + .secret, or skarvel-scores.secret with --postgres)\n"
         "  --web-root DIR         folder with fonts/ and screenshots/ for the pages\n"
         "  --result-rate N        results a minute from one address, 0: no limit (default 10)\n"
         "  --handshake-rate N     handshakes a minute from one address, 0: no limit (default "
         "60)\n"
         "  --timeout SECONDS      longest time to read a request once begun, and again to\n"
         "                         send its reply (default 10)\n"
         "  --first-byte-timeout SECONDS\n"
         "                         longest wait for a request to begin, also between requests\n"
         "                         on a kept-alive connection (default 5)\n"
         "  --io-threads N         threads serving connections, 0: one a core (default 0)\n"
         "  --max-connections N    connections open at once, at most what the file limit allows;\n"
         "                         when reached, the longest idle is closed (default 10000)\n"
         "  --max-connections-per-client N\n"
         "                         connections from one IPv4 address or IPv6 /64, trusted\n"
         "                         proxies apart (default 64)\n"
         "  --db-workers N         threads calling the database (default 4; --threads N too)\n"
         "  --db-queue N           calls that may wait for a database worker; beyond, 503\n"
         "                         (default 256)\n"
         "  --trusted-proxy ADDR   a reverse proxy in front: its requests are counted for the\n"
         "                         client its X-Forwarded-For names (may be given again)\n"
         "  --game-archive FILE    the game's gamegraphic.dxg the server replays recordings\n"
         "                         with (default: the game's beside the program, or the\n"
         "                         installed share/skarvel/data/gamegraphic.dxg); without it\n"
         "                         no recordings are taken and every result is unproven\n"
         "  --require-proof        refuse results that come without a recording, instead of\n"
         "                         keeping them apart as unproven\n"
         "  --verifier-workers N   threads replaying recordings, 0: one a core (default 0)\n"
         "  --verifier-queue N     recordings that may wait for a verifier; while that many\n"
         "                         wait, uploads get 503 and the game's result comes unproven\n"
         "                         (default 64)\n"
         "  --max-replay-ticks N   longest recording taken, in game ticks (default: the\n"
         "                         recording format's own cap)\n"
         "  --help                 this text\n"
         "\n"
         "Logs one line a request to standard output; ends cleanly on SIGTERM or SIGINT.\n";
}
