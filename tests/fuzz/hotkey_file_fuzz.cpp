// The hotkey map reader on arbitrary bytes: it must never read past the end,
// reserve for counts the file cannot hold, or load a hotkey the file does not
// spell out; what it loads must save and load back the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"
#include "input/hotkey_file.h"

namespace {

using namespace varnolet;

constexpr char16_t kPath[] = u"C:\\Data\\hmap.dat";

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Only the stored positions may be set, and only to 1.
void CheckPattern(const HOTKEY& hotkey) {
  for (std::size_t i = 0; i < key::kCount; ++i) {
    const std::uint8_t flag = hotkey.keyboard.keys[i];
    const bool stored = i < 48 || i == key::kAlt || i == key::kCtrl || i == key::kShift;
    Require(flag == 0 || (stored && flag == 1));
  }
}

struct World {
  fakes::FakeSystem system;
  fakes::FakeFiles files{system};
  fakes::FakeUtf8 utf8;
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  HotkeyFileAccess access{drive, utf8, log, kPath};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  World world;
  world.files.AddFolder(u"C:\\Data");
  world.files.AddFile(kPath, bytes);

  std::vector<HOTKEY> hotkeys;
  std::vector<std::u16string> identifiers;
  HotkeyFileFault fault = HotkeyFileFault::None;
  const bool loaded = LoadHotkeyFile(world.access, hotkeys, identifiers, &fault);
  Require(world.files.OpenHandleCount() == 0);
  Require(world.files.Bytes(kPath) == bytes);
  if (!loaded) {
    Require(fault == HotkeyFileFault::Rejected);
    Require(hotkeys.empty() && identifiers.empty());
  } else {
    Require(fault == HotkeyFileFault::None);
    Require(hotkeys.size() == identifiers.size());
    Require(size == 0 || size >= 19 + 55 * hotkeys.size());
    for (std::size_t i = 0; i < hotkeys.size(); ++i) {
      Require(hotkeys[i].parameter == &identifiers[i]);
      CheckPattern(hotkeys[i]);
    }

    // What loaded saves and loads back the same (slots holding the none
    // identifier are never saved).
    std::vector<HotkeySlot> slots = LoadedHotkeySlots(hotkeys, identifiers);
    Require(SaveHotkeyFile(world.access, slots));
    std::vector<HOTKEY> again;
    std::vector<std::u16string> againIdentifiers;
    Require(LoadHotkeyFile(world.access, again, againIdentifiers));
    std::size_t j = 0;
    for (std::size_t i = 0; i < hotkeys.size(); ++i) {
      if (identifiers[i] == hotkey_id::kNone) continue;
      Require(j < again.size());
      Require(againIdentifiers[j] == identifiers[i]);
      Require(again[j].keyboard.keys == hotkeys[i].keyboard.keys);
      ++j;
    }
    Require(j == again.size());
  }

  // The initialisation over the same bytes: a rejected file is kept aside and reset.
  World init;
  init.files.AddFolder(u"C:\\Data");
  init.files.AddFile(kPath, bytes);
  fakes::FakeRawInput rawApi(init.system);
  CRawInput raw(rawApi, init.system, init.system);
  CHotkeys table(init.system, init.system);
  std::vector<HOTKEY> loadedHotkeys;
  std::vector<std::u16string> hotkeyIdentifiers;
  std::uint8_t enabled = 0;
  std::uint8_t failed = 0;
  HotkeyFields fields{loadedHotkeys, hotkeyIdentifiers, enabled, failed};
  HotkeyServices services{init.access, table, raw, 0x1234, HotkeyCallback{}};
  Require(InitializeHotkeys(services, fields, 1));
  Require(enabled == 1);
  Require((failed == 1) == !loaded);
  if (!loaded) {
    Require(init.files.Bytes(kPath)->empty());
    Require(init.files.Bytes(u"C:\\Data\\hmap.dat.bad") == bytes);
    Require(table.Items().empty());
  } else {
    Require(table.Items().size() == loadedHotkeys.size());
  }
  return 0;
}
