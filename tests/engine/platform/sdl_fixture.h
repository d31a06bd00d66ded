// The SDL platform under SDL's dummy drivers, with helpers to feed it SDL events and collect the
// game's events that come out.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/sdl/sdl_platform.h"

class SdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    window_ = FindGameWindow();
    ASSERT_NE(window_, nullptr);
    Drain();  // what SDL says about the new window itself
  }

  void TearDown() override {
    platform_.reset();
    // Every test leaves SDL as it found it.
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
  }

  // SDL_WINDOW_* has no list of windows; the game's is the one with its caption.
  static SDL_Window* FindGameWindow() {
    for (Uint32 id = 1; id < 1000; ++id) {
      SDL_Window* window = SDL_GetWindowFromID(id);
      if (window != nullptr && std::strcmp(SDL_GetWindowTitle(window), "Skarvel") == 0) {
        return window;
      }
    }
    return nullptr;
  }

  std::vector<platform::Event> Drain() {
    std::vector<platform::Event> events;
    platform::Event event;
    while (platform_->events().Poll(event)) events.push_back(event);
    return events;
  }

  void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

  void PushWindowEvent(Uint8 kind) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(window_);
    event.window.event = kind;
    Push(event);
  }

  std::unique_ptr<platform::sdl::SdlPlatform> platform_;
  SDL_Window* window_ = nullptr;
};
