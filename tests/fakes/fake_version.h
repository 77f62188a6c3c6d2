// Scripted version queries: the two records, GetProductInfo and the metrics.
#pragma once

#include <cstdint>
#include <map>

#include "fakes/fake_system.h"
#include "support/windows_version.h"

namespace varnolet::fakes {

class FakeVersion final : public VersionApi {
 public:
  explicit FakeVersion(FakeSystem& system) : system_(system) {}

  bool QueryVersion(OsVersionInfo& info) override {
    if (basicError != 0) return system_.lastError = basicError, false;
    info = static_cast<const OsVersionInfo&>(record);
    return true;
  }
  bool QueryVersionEx(OsVersionInfoEx& info) override {
    if (extendedError != 0) return system_.lastError = extendedError, false;
    info = record;
    return true;
  }
  bool HasProductInfo() override { return hasProductInfo; }
  bool ProductInfo(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t* type) override {
    *type = productType;
    return productInfoResult;
  }
  int SystemMetrics(int index) override {
    auto found = metrics.find(index);
    return found == metrics.end() ? 0 : found->second;
  }

  // Windows 7 Ultimate SP1 unless a test says otherwise.
  OsVersionInfoEx record = [] {
    OsVersionInfoEx r;
    r.majorVersion = 6;
    r.minorVersion = 1;
    r.buildNumber = 7601;
    r.platformId = 2;
    r.csdVersion = u"Service Pack 1";
    r.servicePackMajor = 1;
    r.productType = 1;
    return r;
  }();
  std::uint32_t basicError = 0;     // non-zero: the basic query fails with this code
  std::uint32_t extendedError = 0;  // non-zero: the extended query fails with this code
  bool hasProductInfo = true;
  bool productInfoResult = true;
  std::uint32_t productType = 1;
  std::map<int, int> metrics;

 private:
  FakeSystem& system_;
};

}  // namespace varnolet::fakes
