// The real skarvel-scores program with any arguments, its standard output and error in a file the
// test reads, ended with SIGKILL if the test does not end it first.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class ScoresProcess {
 public:
  ScoresProcess(std::vector<std::string> args, const std::filesystem::path& output)
      : output_(output) {
    args.insert(args.begin(), SKARVEL_SCORES_PROGRAM);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&pid_, SKARVEL_SCORES_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ScoresProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  ScoresProcess(const ScoresProcess&) = delete;
  ScoresProcess& operator=(const ScoresProcess&) = delete;

  // What the program wrote so far.
  std::string Output() const {
    std::ifstream in(output_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The port it listens on, once its "listening on" line is out; -1 if it ended or took 10 s.
  int WaitForPort() {
    const std::string mark = "listening on http://127.0.0.1:";
    for (int i = 0; i < 1000; ++i) {
      const std::string text = Output();
      if (const size_t at = text.find(mark); at != std::string::npos) {
        return std::stoi(text.substr(at + mark.size()));
      }
      if (Ended()) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  // Its exit status once it ended by itself (-1 when it did not within 10 s, or was signalled).
  int WaitForExit() {
    for (int i = 0; i < 1000 && !Ended(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitStatus_;
  }

 private:
  bool Ended() {
    if (pid_ <= 0) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
    pid_ = -1;
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
  }

  std::filesystem::path output_;
  pid_t pid_ = -1;
  int exitStatus_ = -1;
};
