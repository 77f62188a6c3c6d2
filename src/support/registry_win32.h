#pragma once

#include "support/registry.h"

namespace varnolet {

class Win32RegistryApi final : public RegistryApi {
 public:
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
};

}  // namespace varnolet
