// Fuzzes loading a sound archive into a sound list bound to a running (recording) sound output,
// then playing every sound it holds twice and finding each by name.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/base/exception.h"
#include "engine/platform/headless/headless_sound.h"
#include "engine/sound/wave_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::headless::HeadlessSound output;
  TSoundDevice device(output);
  TWaveList list;
  list.SetSoundDevice(&device);
  device.Loaded();
  try {
    list.LoadFromBytes(std::span<const uint8_t>(data, size));
  } catch (const Exception&) {
    // What was read before the fault stays and must be as usable as a whole load.
  }
  TWaveCollection& items = list.Items();
  for (int i = 0; i < items.Count(); ++i) {
    TWaveCollectionItem& item = items.Items(i);
    item.Play(false);
    item.Play(false);
    (void)items.Find(item.Name());  // every name read is found
  }
  // What was read writes and reads back whole: an exception escaping here is a fault.
  TWaveList copy;
  copy.LoadFromBytes(list.SaveToBytes());
  if (copy.Items().Count() != items.Count()) __builtin_trap();
  return 0;
}
