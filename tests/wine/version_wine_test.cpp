// CWindowsVersion on what Wine reports.
#include <gtest/gtest.h>

#include "support/clock_win32.h"
#include "support/system_messages_win32.h"
#include "support/windows_version.h"
#include "support/windows_version_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
OSVERSIONINFOEXW Reported() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
  return info;
}
#pragma GCC diagnostic pop

TEST(VersionWineTest, DescribesTheReportedSystem) {
  Win32VersionApi api;
  Win32SystemMessages messages;
  CrtClock clock;
  CWindowsVersion version(api, messages, clock);
  const OSVERSIONINFOEXW info = Reported();

  EXPECT_TRUE(version.Log().Entries().empty());
  EXPECT_EQ(version.IsVistaOrLater(), info.dwMajorVersion >= 6);
  EXPECT_EQ(version.Build(), u"Build " + Decimal(info.dwBuildNumber));
  EXPECT_EQ(version.ServicePack(), from_wide(info.szCSDVersion));
  EXPECT_EQ(version.GetDescription(), version.GetName() + u" " + version.Edition() + u" " +
                                          version.ServicePack() + u" " + version.Build());
  // Wine's default prefix reports Windows 7 SP1 as a workstation.
  if (info.dwMajorVersion == 6 && info.dwMinorVersion == 1 && info.wProductType == VER_NT_WORKSTATION) {
    EXPECT_EQ(version.GetName(), u"Microsoft Windows 7");
    EXPECT_FALSE(version.IsVistaWorkstation());
  }
  DWORD product = 0;
  ASSERT_TRUE(GetProductInfo(info.dwMajorVersion, info.dwMinorVersion, info.wServicePackMajor,
                             info.wServicePackMinor, &product));
  EXPECT_EQ(version.ProductType(), product);
}

}  // namespace
}  // namespace varnolet
