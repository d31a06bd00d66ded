// The whole program on the headless machine, run in a fresh folder as its current directory.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>

#include "shell/main_form.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_sounds.h"

class InGameFolder {
 public:
  InGameFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder_.path());
  }
  ~InGameFolder() { std::filesystem::current_path(previous_); }
  InGameFolder(const InGameFolder&) = delete;
  InGameFolder& operator=(const InGameFolder&) = delete;
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TempDir folder_;
  std::filesystem::path previous_;
};

class GameFixture {
 public:
  // The folder holds the sound effects; music, pictures and settings are each test's choice.
  GameFixture() { WriteTestSoundArchive(folder.path() / "sound" / "gamesound.dxw"); }

  // Builds the program; call after the folder holds what start-up should find.
  TmainForm& Start() {
    form = std::make_unique<TmainForm>(machine);
    return *form;
  }
  // Lets `ms` milliseconds pass in one idle pass of the message loop.
  void Step(uint32_t ms = 16) {
    machine.Advance(ms);
    form->ProcessMessages();
  }

  InGameFolder folder;
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  std::unique_ptr<TmainForm> form;
};
