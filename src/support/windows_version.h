// CWindowsVersion: the running system's version, read once at start, and the
// display texts made from it.
#pragma once

#include <cstdint>
#include <string>

#include "support/error_log.h"

namespace varnolet {

// The fields of the system's OSVERSIONINFOW record.
struct OsVersionInfo {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  std::u16string csdVersion;
};

// The further fields of OSVERSIONINFOEXW.
struct OsVersionInfoEx : OsVersionInfo {
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
};

// The system's codes the version names are chosen by.
namespace version_code {
// Platforms (dwPlatformId) and product types (wProductType).
inline constexpr std::uint32_t kPlatformWindows = 1;
inline constexpr std::uint32_t kPlatformNt = 2;
inline constexpr std::uint8_t kWorkstation = 1;
inline constexpr std::uint8_t kServer = 3;
// Suite bits (wSuiteMask).
inline constexpr std::uint16_t kSuiteEnterprise = 0x2;
inline constexpr std::uint16_t kSuiteDataCenter = 0x80;
inline constexpr std::uint16_t kSuitePersonal = 0x200;
inline constexpr std::uint16_t kSuiteBlade = 0x400;
inline constexpr std::uint16_t kSuiteWhsServer = 0x8000;
// The system metric that is non-zero on Windows Server 2003 R2.
inline constexpr int kServerR2Metric = 89;
// Products (GetProductInfo).
inline constexpr std::uint32_t kUltimate = 1;
inline constexpr std::uint32_t kHomeBasic = 2;
inline constexpr std::uint32_t kHomePremium = 3;
inline constexpr std::uint32_t kEnterprise = 4;
inline constexpr std::uint32_t kHomeBasicN = 5;
inline constexpr std::uint32_t kBusiness = 6;
inline constexpr std::uint32_t kStandardServer = 7;
inline constexpr std::uint32_t kDataCenterServer = 8;
inline constexpr std::uint32_t kEnterpriseServer = 10;
inline constexpr std::uint32_t kStarter = 11;
inline constexpr std::uint32_t kDataCenterServerCore = 12;
inline constexpr std::uint32_t kStandardServerCore = 13;
inline constexpr std::uint32_t kEnterpriseServerCore = 14;
inline constexpr std::uint32_t kEnterpriseServerIa64 = 15;
inline constexpr std::uint32_t kBusinessN = 16;
inline constexpr std::uint32_t kWebServer = 17;
inline constexpr std::uint32_t kHomePremiumN = 26;
inline constexpr std::uint32_t kEnterpriseN = 27;
inline constexpr std::uint32_t kUltimateN = 28;
}  // namespace version_code

// Port: version queries.
class VersionApi {
 public:
  virtual ~VersionApi() = default;
  // GetVersionExW with the basic record (size 276) and the extended one (284).
  virtual bool QueryVersion(OsVersionInfo& info) = 0;
  virtual bool QueryVersionEx(OsVersionInfoEx& info) = 0;
  // GetModuleHandleW(L"kernel32.dll") + GetProcAddress("GetProductInfo").
  virtual bool HasProductInfo() = 0;
  virtual bool ProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t spMajor,
                           std::uint32_t spMinor, std::uint32_t* productType) = 0;
  virtual int SystemMetrics(int index) = 0;
};

class CWindowsVersion {
 public:
  CWindowsVersion(VersionApi& api, SystemMessages& messages, Clock& clock);

  bool Initialize();
  bool IsVistaOrLater() const { return basic_.majorVersion >= 6; }
  bool IsVistaWorkstation() const;
  std::u16string GetName() const { return name_; }
  std::u16string GetDescription() const { return description_; }
  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }

  const ErrorLog& Log() const { return log_; }
  const std::u16string& Edition() const { return edition_; }
  const std::u16string& Build() const { return build_; }
  const std::u16string& ServicePack() const { return servicePack_; }
  std::uint32_t ProductType() const { return productType_; }

 private:
  void ChooseNames();

  VersionApi& api_;
  std::int32_t status_ = 0;
  OsVersionInfo basic_;
  OsVersionInfoEx extended_;
  std::uint32_t productType_ = 0;
  std::u16string name_;
  std::u16string edition_;
  std::u16string build_;
  std::u16string servicePack_;
  std::u16string description_;
  ErrorLog log_;
};

}  // namespace varnolet
