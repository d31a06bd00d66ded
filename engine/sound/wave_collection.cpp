#include "engine/sound/wave_collection.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "engine/base/exception.h"

namespace {

// How often a waiting Play looks whether its copy has finished.
constexpr auto WaitPollInterval = std::chrono::milliseconds(10);
// How much longer than the sound a waiting Play waits for the device to report its end.
constexpr auto WaitGrace = std::chrono::milliseconds(1000);
// No sound effect lasts an hour; the bound keeps the deadline's arithmetic in range.
constexpr uint64_t MaxWaitMs = 60 * 60 * 1000;

}  // namespace

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection) : collection_(collection) {
  collection_.index_.Put(name_, this);
}

TWaveCollectionItem::~TWaveCollectionItem() {
  Finalize();
  collection_.index_.Remove(name_, this);
}

void TWaveCollectionItem::SetName(std::string name) {
  collection_.index_.Remove(name_, this);
  name_ = std::move(name);
  collection_.index_.Put(name_, this);
}

void TWaveCollectionItem::SetLooped(bool looped) {
  if (looped == looped_) return;
  if (mainBuffer_) mainBuffer_->Stop();
  for (const auto& copy : playingCopies_) copy->Stop();
  looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int32_t count) {
  count = std::max(count, 0);
  if (count == maxPlayingCount_) return;
  maxPlayingCount_ = count;
  if (initialized_) FreeCopies();
}

void TWaveCollectionItem::SetFrequency(int32_t frequency) {
  if (frequency == frequency_) return;
  frequency_ = frequency;
  if (initialized_) Restore();
}

void TWaveCollectionItem::SetPan(int32_t pan) {
  pan_ = pan;
  if (mainBuffer_) mainBuffer_->SetPan(pan);
}

void TWaveCollectionItem::SetVolume(int32_t volume) {
  volume_ = volume;
  if (mainBuffer_) mainBuffer_->SetVolume(volume);
}

void TWaveCollectionItem::Finalize() {
  FreeCopies();
  mainBuffer_.reset();
  initialized_ = false;
}

void TWaveCollectionItem::Restore() {
  FreeCopies();
  mainBuffer_.reset();
  if (initialized_) MakeMainBuffer();
}

void TWaveCollectionItem::FreeCopies() {
  playingCopies_.clear();
}

bool TWaveCollectionItem::MakeMainBuffer() {
  platform::AudioOutput* output = collection_.Output();
  const std::optional<platform::PcmFormat> format = wave_.PlayableFormat();
  if (output == nullptr || !format) return false;
  mainBuffer_ = output->CreateBuffer(*format, wave_.Data(), frequency_);
  if (!mainBuffer_) return false;
  mainBuffer_->SetPan(pan_);
  mainBuffer_->SetVolume(volume_);
  return true;
}

platform::SoundBuffer* TWaveCollectionItem::ChooseCopy() {
  for (const auto& copy : playingCopies_) {
    if (!copy->Playing()) return copy.get();
  }
  if (maxPlayingCount_ == 0 || playingCopies_.size() < static_cast<size_t>(maxPlayingCount_)) {
    if (!mainBuffer_) return nullptr;
    if (std::unique_ptr<platform::SoundBuffer> copy = mainBuffer_->Duplicate()) {
      playingCopies_.push_back(std::move(copy));
      return playingCopies_.back().get();
    }
    // The output has no voice left for another copy: cut one off as at the limit.
  }
  if (playingCopies_.empty()) return nullptr;
  // The copy started longest ago is cut off and becomes the newest.
  std::rotate(playingCopies_.begin(), playingCopies_.begin() + 1, playingCopies_.end());
  return playingCopies_.back().get();
}

void TWaveCollectionItem::Play(bool wait) {
  if (!initialized_) return;
  if (looped_) {
    if (!mainBuffer_ && !MakeMainBuffer()) return;
    mainBuffer_->Stop();
    mainBuffer_->Play(true);
    return;
  }
  platform::SoundBuffer* copy = ChooseCopy();
  if (copy == nullptr) return;
  copy->Stop();
  copy->SetPan(pan_);
  copy->SetVolume(volume_);
  copy->Play(false);
  if (!wait) return;

  // A device that never reports the end must not hold the game: wait no longer than the sound
  // lasts at its playback rate, and a little more.
  uint64_t lengthMs = wave_.DurationMs();
  const std::optional<platform::PcmFormat> format = wave_.PlayableFormat();
  if (format && frequency_ > 0) {
    lengthMs =
        lengthMs * static_cast<uint64_t>(format->samplesPerSec) / static_cast<uint64_t>(frequency_);
  }
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(std::min(lengthMs, MaxWaitMs)) + WaitGrace;
  while (copy->Playing() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(WaitPollInterval);
  }
}

TWaveCollection::~TWaveCollection() {
  Clear();
}

TWaveCollectionItem& TWaveCollection::Items(int index) {
  return const_cast<TWaveCollectionItem&>(std::as_const(*this).Items(index));
}

const TWaveCollectionItem& TWaveCollection::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<size_t>(index)];
}

TWaveCollectionItem& TWaveCollection::Add() {
  items_.push_back(std::make_unique<TWaveCollectionItem>(*this));
  return *items_.back();
}

void TWaveCollection::Clear() {
  index_.Clear();
  items_.clear();
}

TWaveCollectionItem& TWaveCollection::Find(std::string_view name) {
  if (TWaveCollectionItem* item = index_.Find(name)) return *item;
  throw EWaveCollectionError("Wave '" + std::string(name) + "' not found");
}

void TWaveCollection::Initialize(platform::AudioOutput& output) {
  output_ = &output;
  for (const auto& item : items_) item->Initialize();
}

void TWaveCollection::Restore() {
  for (const auto& item : items_) item->Restore();
}

void TWaveCollection::Finalize() {
  for (const auto& item : items_) item->Finalize();
  output_ = nullptr;
}
