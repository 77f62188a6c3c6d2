#pragma once

#include "support/windows_version.h"

namespace varnolet {

class Win32VersionApi final : public VersionApi {
 public:
  bool QueryVersion(OsVersionInfo& info) override;
  bool QueryVersionEx(OsVersionInfoEx& info) override;
  bool HasProductInfo() override;
  bool ProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t spMajor, std::uint32_t spMinor,
                   std::uint32_t* productType) override;
  int SystemMetrics(int index) override;
};

}  // namespace varnolet
