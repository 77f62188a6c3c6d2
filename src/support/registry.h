// CRegistry: the program's one way into the registry. It wraps one open key
// and a few operations on 32-bit numbers and strings, recording every
// failure in its error log.
#pragma once

#include <cstdint>
#include <string>

#include "support/error_log.h"

namespace varnolet {

// An open key or a predefined root; 0 is no key.
using RegKey = std::uintptr_t;

namespace reg {
inline constexpr RegKey kCurrentUser = 0x80000001;  // HKEY_CURRENT_USER
inline constexpr std::uint32_t kAllAccess = 0xF003F;
inline constexpr std::uint32_t kOptionNonVolatile = 0;
inline constexpr std::uint32_t kTypeString = 1;  // REG_SZ
inline constexpr std::uint32_t kTypeDword = 4;   // REG_DWORD
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kMoreData = 234;
}  // namespace reg

// Port: the registry calls. Each returns the registry API's status code.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegCreateKeyExW(root, subKey, 0, no class, options, access, no security, out, no disposition)
  virtual std::int32_t CreateKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t options,
                                   std::uint32_t access, RegKey* key) = 0;
  // RegOpenKeyExW(root, subKey, 0, access, out)
  virtual std::int32_t OpenKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t access,
                                 RegKey* key) = 0;
  virtual std::int32_t CloseKeyHandle(RegKey key) = 0;
  // RegQueryValueExW(key, name, nullptr, type, data, size); *size in: buffer bytes, out: data bytes
  virtual std::int32_t QueryValueEx(RegKey key, const std::u16string& name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExW(key, name, 0, type, data, size)
  virtual std::int32_t SetValueEx(RegKey key, const std::u16string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) = 0;
  // RegDeleteValueW(key, name)
  virtual std::int32_t DeleteValueOf(RegKey key, const std::u16string& name) = 0;
};

class CRegistry {
 public:
  CRegistry(RegistryApi& api, SystemMessages& messages, Clock& clock);
  ~CRegistry();
  CRegistry(const CRegistry&) = delete;
  CRegistry& operator=(const CRegistry&) = delete;

  bool CreateKey(RegKey root, const std::u16string& subKey);
  bool OpenKey(RegKey root, const std::u16string& subKey);
  bool CloseKey();

  // On the open key. A failed read leaves `value` untouched.
  bool GetValue(const std::u16string& name, std::uint32_t& value);
  bool SetValue(const std::u16string& name, std::uint32_t value);

  // Self-opening forms: open root\subKey first and leave it open.
  bool SetValue(RegKey root, const std::u16string& subKey, const std::u16string& name, std::uint32_t value);
  bool SetValue(RegKey root, const std::u16string& subKey, const std::u16string& name,
                const std::u16string& data);
  bool DeleteValue(RegKey root, const std::u16string& subKey, const std::u16string& name);

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }

  std::int32_t Status() const { return status_; }
  RegKey Key() const { return key_; }
  std::uint32_t ValueType() const { return valueType_; }
  std::uint32_t ValueSize() const { return valueSize_; }

 private:
  bool SetNumber(const std::u16string& name, std::uint32_t value);
  void ReleaseHeldKey();

  RegistryApi& api_;
  std::int32_t status_ = reg::kSuccess;
  RegKey key_ = 0;
  std::uint32_t valueType_ = 0;
  std::uint32_t valueSize_ = 0;
  ErrorLog log_;
};

}  // namespace varnolet
