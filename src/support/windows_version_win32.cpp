#include "support/windows_version_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

namespace {

using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);

GetProductInfoFn LookUpProductInfo() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<GetProductInfoFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")));
}

}  // namespace

// GetVersionExW is deprecated in newer SDK headers but is what the system offers on Vista.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

bool Win32VersionApi::QueryVersion(OsVersionInfo& info) {
  OSVERSIONINFOW record{};
  record.dwOSVersionInfoSize = sizeof record;
  static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW layout");
  if (!GetVersionExW(&record)) return false;
  info.majorVersion = record.dwMajorVersion;
  info.minorVersion = record.dwMinorVersion;
  info.buildNumber = record.dwBuildNumber;
  info.platformId = record.dwPlatformId;
  info.csdVersion = from_wide(record.szCSDVersion);
  return true;
}

bool Win32VersionApi::QueryVersionEx(OsVersionInfoEx& info) {
  OSVERSIONINFOEXW record{};
  record.dwOSVersionInfoSize = sizeof record;
  static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW layout");
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&record))) return false;
  info.majorVersion = record.dwMajorVersion;
  info.minorVersion = record.dwMinorVersion;
  info.buildNumber = record.dwBuildNumber;
  info.platformId = record.dwPlatformId;
  info.csdVersion = from_wide(record.szCSDVersion);
  info.servicePackMajor = record.wServicePackMajor;
  info.servicePackMinor = record.wServicePackMinor;
  info.suiteMask = record.wSuiteMask;
  info.productType = record.wProductType;
  return true;
}

#pragma GCC diagnostic pop

bool Win32VersionApi::HasProductInfo() { return LookUpProductInfo() != nullptr; }

bool Win32VersionApi::ProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t spMajor,
                                  std::uint32_t spMinor, std::uint32_t* productType) {
  GetProductInfoFn getProductInfo = LookUpProductInfo();
  if (getProductInfo == nullptr) return false;
  DWORD type = 0;
  const BOOL ok = getProductInfo(major, minor, spMajor, spMinor, &type);
  *productType = type;
  return ok != FALSE;
}

int Win32VersionApi::SystemMetrics(int index) { return GetSystemMetrics(index); }

}  // namespace varnolet
