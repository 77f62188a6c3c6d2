#include "support/registry_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

// The registry constants of the core, as the system defines them (the root
// key is mapped by ToHkey below, not by its value).
static_assert(reg::kAllAccess == KEY_ALL_ACCESS && reg::kOptionNonVolatile == REG_OPTION_NON_VOLATILE);
static_assert(reg::kTypeString == REG_SZ && reg::kTypeDword == REG_DWORD);
static_assert(reg::kSuccess == ERROR_SUCCESS && reg::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              reg::kMoreData == ERROR_MORE_DATA);

namespace {

// The core names the root keys by their 32-bit values; Win32 sign-extends them.
HKEY ToHkey(RegKey key) {
  if (key == reg::kCurrentUser) return HKEY_CURRENT_USER;
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

std::int32_t Win32RegistryApi::CreateKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t options,
                                           std::uint32_t access, RegKey* key) {
  HKEY opened = nullptr;
  const LONG status =
      RegCreateKeyExW(ToHkey(root), as_wide(subKey), 0, nullptr, options, access, nullptr, &opened, nullptr);
  *key = reinterpret_cast<RegKey>(opened);
  return status;
}

std::int32_t Win32RegistryApi::OpenKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t access,
                                         RegKey* key) {
  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExW(ToHkey(root), as_wide(subKey), 0, access, &opened);
  *key = reinterpret_cast<RegKey>(opened);
  return status;
}

std::int32_t Win32RegistryApi::CloseKeyHandle(RegKey key) {
  return RegCloseKey(ToHkey(key));
}

std::int32_t Win32RegistryApi::QueryValueEx(RegKey key, const std::u16string& name, std::uint32_t* type,
                                            std::uint8_t* data, std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = *size;
  const LONG status = RegQueryValueExW(ToHkey(key), as_wide(name), nullptr, &valueType, data, &valueSize);
  *type = valueType;
  *size = valueSize;
  return status;
}

std::int32_t Win32RegistryApi::SetValueEx(RegKey key, const std::u16string& name, std::uint32_t type,
                                          const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExW(ToHkey(key), as_wide(name), 0, type, data, size);
}

std::int32_t Win32RegistryApi::DeleteValueOf(RegKey key, const std::u16string& name) {
  return RegDeleteValueW(ToHkey(key), as_wide(name));
}

}  // namespace varnolet
