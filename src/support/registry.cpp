#include "support/registry.h"

#include <cstring>

namespace varnolet {

CRegistry::CRegistry(RegistryApi& api, SystemMessages& messages, Clock& clock)
    : api_(api), log_(messages, clock, error_rules::kRegistry) {}

CRegistry::~CRegistry() {
  if (key_ != 0) CloseKey();
}

// Opening or creating while a key is held closes the held key first, so no
// handle is ever lost; the close is not a failure anyone asked about.
void CRegistry::ReleaseHeldKey() {
  if (key_ == 0) return;
  api_.CloseKeyHandle(key_);
  key_ = 0;
}

bool CRegistry::CreateKey(RegKey root, const std::u16string& subKey) {
  ReleaseHeldKey();
  RegKey opened = 0;
  status_ = api_.CreateKeyEx(root, subKey, reg::kOptionNonVolatile, reg::kAllAccess, &opened);
  if (!log_.CheckResult(status_, u"CRegistry,CreateKey(),RegCreateKeyEx(),NULL,")) return false;
  key_ = opened;
  return true;
}

bool CRegistry::OpenKey(RegKey root, const std::u16string& subKey) {
  ReleaseHeldKey();
  RegKey opened = 0;
  status_ = api_.OpenKeyEx(root, subKey, reg::kAllAccess, &opened);
  if (!log_.CheckResult(status_, u"CRegistry,OpenKey(),RegOpenKey(),NULL,")) return false;
  key_ = opened;
  return true;
}

bool CRegistry::CloseKey() {
  status_ = api_.CloseKeyHandle(key_);
  key_ = 0;
  return log_.CheckResult(status_, u"CRegistry,CloseKey(),RegCloseKey(),NULL,");
}

bool CRegistry::GetValue(const std::u16string& name, std::uint32_t& value) {
  if (key_ == 0) {
    log_.AddError(u"CRegistry,GetValue(),NULL,NULL,No open registry key");
    return false;
  }
  std::uint8_t buffer[4] = {0, 0, 0, 0};
  valueSize_ = 4;
  status_ = api_.QueryValueEx(key_, name, &valueType_, buffer, &valueSize_);
  if (!log_.CheckResult(status_, u"CRegistry,GetValue(),RegQueryValueEx(),DWORD,")) return false;
  value = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
          static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
  return true;
}

bool CRegistry::SetNumber(const std::u16string& name, std::uint32_t value) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16),
                                 static_cast<std::uint8_t>(value >> 24)};
  status_ = api_.SetValueEx(key_, name, reg::kTypeDword, bytes, 4);
  return log_.CheckResult(status_, u"CRegistry,SetValue(),RegSetValueEx(),DWORD,");
}

bool CRegistry::SetValue(const std::u16string& name, std::uint32_t value) {
  if (key_ == 0) {
    log_.AddError(u"CRegistry,SetValue(),NULL,NULL,No open registry key");
    return false;
  }
  return SetNumber(name, value);
}

bool CRegistry::SetValue(RegKey root, const std::u16string& subKey, const std::u16string& name,
                         std::uint32_t value) {
  if (!OpenKey(root, subKey)) {
    log_.AddError(u"CRegistry,SetValue(),OpenKey(),NULL,Function failed");
    return false;
  }
  return SetNumber(name, value);
}

bool CRegistry::SetValue(RegKey root, const std::u16string& subKey, const std::u16string& name,
                         const std::u16string& data) {
  if (!OpenKey(root, subKey)) {
    log_.AddError(u"CRegistry,SetValue(),OpenKey(),NULL,Function failed");
    return false;
  }
  // REG_SZ data carries its terminating null character: readers that trust the
  // stored size would otherwise read past the end of the text.
  const std::uint32_t size = static_cast<std::uint32_t>((data.size() + 1) * sizeof(char16_t));
  status_ = api_.SetValueEx(key_, name, reg::kTypeString, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                            size);
  return log_.CheckResult(status_, u"CRegistry,SetValue(),RegSetValueEx(),String,");
}

bool CRegistry::DeleteValue(RegKey root, const std::u16string& subKey, const std::u16string& name) {
  if (!OpenKey(root, subKey)) return false;
  status_ = api_.DeleteValueOf(key_, name);
  return log_.CheckResult(status_, u"CRegistry,DeleteValue(),RegDeleteValue(),NULL,");
}

}  // namespace varnolet
