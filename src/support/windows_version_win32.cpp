#include "support/windows_version_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

namespace {

using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);

GetProductInfoFn LookUpProductInfo() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<GetProductInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")));
}

}  // namespace

// The codes the core chooses the names by, as the system defines them.
static_assert(version_code::kPlatformWindows == VER_PLATFORM_WIN32_WINDOWS &&
              version_code::kPlatformNt == VER_PLATFORM_WIN32_NT);
static_assert(version_code::kWorkstation == VER_NT_WORKSTATION && version_code::kServer == VER_NT_SERVER);
static_assert(version_code::kSuiteEnterprise == VER_SUITE_ENTERPRISE &&
              version_code::kSuiteDataCenter == VER_SUITE_DATACENTER &&
              version_code::kSuitePersonal == VER_SUITE_PERSONAL &&
              version_code::kSuiteBlade == VER_SUITE_BLADE &&
              version_code::kSuiteWhsServer == VER_SUITE_WH_SERVER);
static_assert(version_code::kServerR2Metric == SM_SERVERR2);
static_assert(version_code::kUltimate == PRODUCT_ULTIMATE && version_code::kHomeBasic == PRODUCT_HOME_BASIC &&
              version_code::kHomePremium == PRODUCT_HOME_PREMIUM &&
              version_code::kEnterprise == PRODUCT_ENTERPRISE &&
              version_code::kHomeBasicN == PRODUCT_HOME_BASIC_N &&
              version_code::kBusiness == PRODUCT_BUSINESS && version_code::kStarter == PRODUCT_STARTER &&
              version_code::kBusinessN == PRODUCT_BUSINESS_N &&
              version_code::kHomePremiumN == PRODUCT_HOME_PREMIUM_N &&
              version_code::kEnterpriseN == PRODUCT_ENTERPRISE_N &&
              version_code::kUltimateN == PRODUCT_ULTIMATE_N);
static_assert(version_code::kStandardServer == PRODUCT_STANDARD_SERVER &&
              version_code::kStandardServerCore == PRODUCT_STANDARD_SERVER_CORE &&
              version_code::kDataCenterServer == PRODUCT_DATACENTER_SERVER &&
              version_code::kDataCenterServerCore == PRODUCT_DATACENTER_SERVER_CORE &&
              version_code::kEnterpriseServer == PRODUCT_ENTERPRISE_SERVER &&
              version_code::kEnterpriseServerCore == PRODUCT_ENTERPRISE_SERVER_CORE &&
              version_code::kEnterpriseServerIa64 == PRODUCT_ENTERPRISE_SERVER_IA64 &&
              version_code::kWebServer == PRODUCT_WEB_SERVER);

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

bool Win32VersionApi::HasProductInfo() {
  return LookUpProductInfo() != nullptr;
}

bool Win32VersionApi::ProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t spMajor,
                                  std::uint32_t spMinor, std::uint32_t* productType) {
  GetProductInfoFn getProductInfo = LookUpProductInfo();
  if (getProductInfo == nullptr) return false;
  DWORD type = 0;
  const BOOL ok = getProductInfo(major, minor, spMajor, spMinor, &type);
  *productType = type;
  return ok != FALSE;
}

int Win32VersionApi::SystemMetrics(int index) {
  return GetSystemMetrics(index);
}

}  // namespace varnolet
