// An in-memory registry under HKEY_CURRENT_USER with the registry API's status
// codes, call recording and failure injection (operations "CreateKeyEx",
// "OpenKeyEx", "CloseKey", "QueryValueEx", "SetValueEx", "DeleteValue").
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/failure_script.h"
#include "support/registry.h"

namespace varnolet::fakes {

class FakeRegistry final : public RegistryApi {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
  };

  std::int32_t CreateKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t options,
                           std::uint32_t access, RegKey* key) override;
  std::int32_t OpenKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t access,
                         RegKey* key) override;
  std::int32_t CloseKeyHandle(RegKey key) override;
  std::int32_t QueryValueEx(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
  std::int32_t SetValueEx(RegKey key, const std::u16string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t DeleteValueOf(RegKey key, const std::u16string& name) override;

  // Direct access for tests; paths are below HKEY_CURRENT_USER, case-insensitive.
  void AddKey(const std::u16string& path);
  bool HasKey(const std::u16string& path) const;
  void SetDword(const std::u16string& path, const std::u16string& name, std::uint32_t value);
  void SetString(const std::u16string& path, const std::u16string& name, const std::u16string& text,
                 bool withTerminator = true);
  std::optional<Value> Get(const std::u16string& path, const std::u16string& name) const;
  std::optional<std::uint32_t> GetDword(const std::u16string& path, const std::u16string& name) const;
  std::optional<std::u16string> GetString(const std::u16string& path, const std::u16string& name) const;
  int OpenHandleCount() const { return static_cast<int>(handles_.size()); }

  FailureScript failures;

 private:
  static std::u16string Fold(const std::u16string& text);
  std::optional<std::u16string> PathOf(RegKey root) const;
  static std::u16string Join(const std::u16string& parent, const std::u16string& child);
  RegKey NewHandle(const std::u16string& path);

  // Keys by folded path ("" is HKEY_CURRENT_USER); values by folded name.
  std::map<std::u16string, std::map<std::u16string, Value>> keys_{{u"", {}}};
  std::map<RegKey, std::u16string> handles_;
  RegKey nextHandle_ = 0x1000;
};

}  // namespace varnolet::fakes
