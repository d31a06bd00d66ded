// The name index of the picture and sound lists: 256 buckets chosen from a name's length and two
// of its characters, each a chain with the most recently named item first, compared without
// regard to letter case, so that of two items with one name the one named last is found.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Latin-1 lower case, the case the index compares in.
std::string FoldNameCase(std::string_view name);
// (16 x length + (length >= 2: first character + second-to-last character)) mod 256, of the name
// in lower case.
uint8_t NameBucket(std::string_view name);

template <typename Item>
class TNameIndex {
 public:
  // Puts the item at the head of the chain of `name`.
  void Put(std::string_view name, Item* item) {
    buckets_[NameBucket(name)].push_back({FoldNameCase(name), item});
  }
  // Takes the item out of the chain of `name` (the name it was put under).
  void Remove(std::string_view name, Item* item) {
    std::vector<Entry>& chain = buckets_[NameBucket(name)];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if (it->item == item) {
        chain.erase(std::next(it).base());
        return;
      }
    }
  }
  // The item named `name` most recently, or null.
  Item* Find(std::string_view name) const {
    const std::string folded = FoldNameCase(name);
    const std::vector<Entry>& chain = buckets_[NameBucket(name)];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if (it->folded == folded) return it->item;
    }
    return nullptr;
  }
  void Clear() {
    for (std::vector<Entry>& chain : buckets_) chain.clear();
  }

 private:
  struct Entry {
    std::string folded;
    Item* item;
  };
  // The back of each vector is the head of its chain.
  std::array<std::vector<Entry>, 256> buckets_;
};
