// The settings store: the seven values the program runs with, read from the
// settings key with their defaults at start-up and written back one by one.
#pragma once

#include <cstdint>
#include <string>

#include "settings/user_settings.h"
#include "support/activity_log.h"
#include "support/registry.h"

namespace varnolet {

class SettingsStore {
 public:
  SettingsStore(CRegistry& registry, ActivityLog& log) : registry_(registry), log_(log) {}

  // Reads the seven values in their fixed order; a value that cannot be read
  // takes its default, which is written back. False (and a log line) when the
  // key cannot be opened: the values are then the defaults.
  bool Load();
  // Writes the value of `slot` under its registry name. False when that
  // failed, after `failedLine` and the registry's error text went to the log.
  bool Write(int slot, const char16_t* failedLine);

  std::int32_t& operator[](int slot) { return values_[static_cast<std::size_t>(slot)]; }
  std::int32_t operator[](int slot) const { return values_[static_cast<std::size_t>(slot)]; }
  const UserSettings& Values() const { return values_; }
  UserSettings& Values() { return values_; }
  // Under HKEY_CURRENT_USER.
  const std::u16string& KeyPath() const { return keyPath_; }

 private:
  CRegistry& registry_;
  ActivityLog& log_;
  const std::u16string keyPath_{kSettingsKey};
  UserSettings values_ = kDefaultSettings;
};

}  // namespace varnolet
