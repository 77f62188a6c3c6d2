#include "support/windows_version.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/text.h"

#include "fakes/fake_system.h"
#include "fakes/fake_version.h"

namespace varnolet {
namespace {

using fakes::FakeSystem;
using fakes::FakeVersion;
using fakes::kStamp;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

struct NamingCase {
  const char* name;
  std::uint32_t platform;
  std::uint32_t major;
  std::uint32_t minor;
  std::uint8_t productType;
  std::uint16_t suite;
  std::u16string servicePack;
  std::uint32_t productCode;
  int serverR2;
  std::u16string expectedName;
  std::u16string expectedEdition;
};

class NamingTest : public testing::TestWithParam<NamingCase> {};

TEST_P(NamingTest, NameAndEditionFollowTheTable) {
  const NamingCase& c = GetParam();
  FakeSystem system;
  FakeVersion api(system);
  api.record.platformId = c.platform;
  api.record.majorVersion = c.major;
  api.record.minorVersion = c.minor;
  api.record.productType = c.productType;
  api.record.suiteMask = c.suite;
  api.record.csdVersion = c.servicePack;
  api.productType = c.productCode;
  api.metrics[89] = c.serverR2;
  CWindowsVersion version(api, system, system);
  EXPECT_EQ(version.GetName(), c.expectedName);
  EXPECT_EQ(version.Edition(), c.expectedEdition);
  EXPECT_TRUE(version.Log().Entries().empty());
}

const std::u16string k2003 = u"Micorosoft Windows Server 2003";

INSTANTIATE_TEST_SUITE_P(
    Rows, NamingTest,
    testing::Values(
        NamingCase{"Win95", 1, 4, 0, 0, 0, u"", 0, 0, u"Microsoft Windows 95", u""},
        NamingCase{"Win95B", 1, 4, 0, 0, 0, u"B", 0, 0, u"Microsoft Windows 95", u"OSR2"},
        NamingCase{"Win95C", 1, 4, 0, 0, 0, u"C", 0, 0, u"Microsoft Windows 95", u"OSR2"},
        NamingCase{"Win95BC", 1, 4, 0, 0, 0, u"BC", 0, 0, u"Microsoft Windows 95", u""},
        NamingCase{"Win98", 1, 4, 10, 0, 0, u"", 0, 0, u"Microsoft Windows 98", u""},
        NamingCase{"Win98SE", 1, 4, 10, 0, 0, u"A", 0, 0, u"Microsoft Windows 98", u"Second Edition"},
        NamingCase{"WinMe", 1, 4, 90, 0, 0, u"", 0, 0, u"Microsoft Windows Millenium", u""},
        NamingCase{"Nt35", 2, 3, 51, 1, 0, u"", 0, 0, u"Microsoft Windows NT 3,5", u""},
        NamingCase{"Nt4Workstation", 2, 4, 0, 1, 0, u"", 0, 0, u"Microsoft Windows NT 4,0", u"Workstation"},
        NamingCase{"Nt4ServerEnterprise", 2, 4, 0, 3, 0x2, u"", 0, 0, u"Microsoft Windows NT 4,0",
                   u"Server Enterprice"},
        NamingCase{"Nt4Server", 2, 4, 0, 3, 0, u"", 0, 0, u"Microsoft Windows NT 4,0", u"Server Standard"},
        NamingCase{"Nt4DomainController", 2, 4, 0, 2, 0, u"", 0, 0, u"Microsoft Windows NT 4,0", u""},
        NamingCase{"W2kDataCenter", 2, 5, 0, 3, 0x82, u"", 0, 0, u"Microsoft Windows 2000", u"DataCenter"},
        NamingCase{"W2kAdvanced", 2, 5, 0, 3, 0x2, u"", 0, 0, u"Microsoft Windows 2000", u"Advanced"},
        NamingCase{"W2k", 2, 5, 0, 1, 0, u"", 0, 0, u"Microsoft Windows 2000", u""},
        NamingCase{"XpHome", 2, 5, 1, 1, 0x200, u"", 0, 0, u"Microsoft Windows XP", u"Home Edition"},
        NamingCase{"XpProfessional", 2, 5, 1, 1, 0, u"Service Pack 3", 0, 0, u"Microsoft Windows XP",
                   u"Professional"},
        NamingCase{"HomeServer", 2, 5, 2, 3, 0x8002, u"", 0, 0, u"Microsoft Windows Home Server", u""},
        NamingCase{"S2003Enterprise", 2, 5, 2, 3, 0x82, u"", 0, 0, k2003, u"Enterprice"},
        NamingCase{"S2003DataCenter", 2, 5, 2, 3, 0x480, u"", 0, 0, k2003, u"Data Center"},
        NamingCase{"S2003Web", 2, 5, 2, 3, 0x400, u"", 0, 1, k2003, u"Web Edition"},
        NamingCase{"S2003R2", 2, 5, 2, 3, 0, u"", 0, 1, k2003, u"R2"},
        NamingCase{"S2003R2MetricOnWorkstation", 2, 5, 2, 1, 0, u"", 0, 1, k2003, u"Standard"},
        NamingCase{"S2003Standard", 2, 5, 2, 3, 0, u"", 0, 0, k2003, u"Standard"},
        NamingCase{"NtFive3", 2, 5, 3, 1, 0, u"", 0, 0, u"", u""},
        NamingCase{"VistaBusiness", 2, 6, 0, 1, 0, u"", 6, 0, u"Microsoft Windows Vista", u"Business"},
        NamingCase{"VistaUnknownCode", 2, 6, 0, 1, 0, u"", 48, 0, u"Microsoft Windows Vista", u""},
        NamingCase{"VistaDomainController", 2, 6, 0, 2, 0, u"", 6, 0, u"", u""},
        NamingCase{"Server2008", 2, 6, 0, 3, 0, u"", 7, 0, u"Microsoft Windows Server 2008", u"Standard"},
        NamingCase{"Server2008Core", 2, 6, 0, 3, 0, u"", 13, 0, u"Microsoft Windows Server 2008",
                   u"Standard"},
        NamingCase{"Server2008DataCenter", 2, 6, 0, 3, 0, u"", 12, 0, u"Microsoft Windows Server 2008",
                   u"Data Center"},
        NamingCase{"Server2008Enterprise", 2, 6, 0, 3, 0, u"", 14, 0, u"Microsoft Windows Server 2008",
                   u"Enterprice"},
        NamingCase{"Server2008Itanium", 2, 6, 0, 3, 0, u"", 15, 0, u"Microsoft Windows Server 2008",
                   u"Enterprice IA64"},
        NamingCase{"Server2008Web", 2, 6, 0, 3, 0, u"", 17, 0, u"Microsoft Windows Server 2008",
                   u"Web Server"},
        NamingCase{"Server2008ClientCode", 2, 6, 0, 3, 1, u"", 1, 0, u"Microsoft Windows Server 2008", u""},
        NamingCase{"Win7HomePremium", 2, 6, 1, 1, 0, u"", 3, 0, u"Microsoft Windows 7", u"Premium"},
        NamingCase{"Win7UltimateN", 2, 6, 1, 1, 0, u"", 28, 0, u"Microsoft Windows 7", u"Ultimate N"},
        NamingCase{"Win7Starter", 2, 6, 1, 1, 0, u"", 11, 0, u"Microsoft Windows 7", u"Starter"},
        NamingCase{"Server2008R2", 2, 6, 1, 3, 0, u"", 7, 0, u"Microsoft Windows Server 2008 R2", u""},
        NamingCase{"Win8", 2, 6, 2, 1, 0, u"", 48, 0, u"", u""},
        NamingCase{"Win10", 2, 10, 0, 1, 0, u"", 48, 0, u"", u""},
        NamingCase{"OtherPlatform", 3, 6, 1, 1, 0, u"", 1, 0, u"", u""}),
    [](const testing::TestParamInfo<NamingCase>& row) { return row.param.name; });

TEST(WindowsVersionTest, DescriptionJoinsTheFourPartsWithSingleBlanks) {
  struct Case {
    std::uint32_t major, minor, build, productCode;
    std::u16string servicePack;
    std::u16string description;
    bool vistaOrLater;
  };
  const Case cases[] = {
      {5, 1, 2600, 0, u"Service Pack 3", u"Microsoft Windows XP Professional Service Pack 3 Build 2600",
       false},
      {6, 1, 7600, 3, u"", u"Microsoft Windows 7 Premium  Build 7600", true},
      {6, 1, 7601, 1, u"Service Pack 1", u"Microsoft Windows 7 Ultimate Service Pack 1 Build 7601", true},
      {6, 2, 9200, 48, u"", u"   Build 9200", true},
      {10, 0, 19045, 48, u"", u"   Build 19045", true},
  };
  for (const Case& c : cases) {
    FakeSystem system;
    FakeVersion api(system);
    api.record.majorVersion = c.major;
    api.record.minorVersion = c.minor;
    api.record.buildNumber = c.build;
    api.record.csdVersion = c.servicePack;
    api.productType = c.productCode;
    CWindowsVersion version(api, system, system);
    EXPECT_EQ(version.GetDescription(), c.description);
    EXPECT_EQ(version.Build(), u"Build " + Decimal(c.build));
    EXPECT_EQ(version.IsVistaOrLater(), c.vistaOrLater);
  }
}

TEST(WindowsVersionTest, VistaWorkstationIsVersionSixZeroOnAWorkstation) {
  struct Case {
    std::uint32_t major, minor;
    std::uint8_t type;
    bool expected;
  };
  const Case cases[] = {{6, 0, 1, true}, {6, 0, 3, false}, {6, 1, 1, false}, {5, 1, 1, false}};
  for (const Case& c : cases) {
    FakeSystem system;
    FakeVersion api(system);
    api.record.majorVersion = c.major;
    api.record.minorVersion = c.minor;
    api.record.productType = c.type;
    CWindowsVersion version(api, system, system);
    EXPECT_EQ(version.IsVistaWorkstation(), c.expected)
        << c.major << "." << c.minor << " type " << int(c.type);
  }
}

TEST(WindowsVersionTest, FailuresAreRecordedAndLeaveTheTextsEmpty) {
  struct Case {
    const char* name;
    std::function<void(FakeVersion&)> arrange;
    std::vector<std::u16string> entries;
    bool vistaOrLater;
  };
  FakeSystem texts;
  const std::u16string failed = u"CWindowsVersion,CWindowsVersion(),Initialize(),NULL,Function failed";
  const Case cases[] = {
      {"BasicQuery",
       [](FakeVersion& v) { v.basicError = 87; },
       {u"CWindowsVersion,Initialize(),GetVersionEx(),OSVERSIONINFO," + texts.Text(87), failed},
       false},
      {"ExtendedQuery",
       [](FakeVersion& v) { v.extendedError = 87; },
       {u"CWindowsVersion,Initialize(),GetVersionEx(),OSVERIONINFOEX," + texts.Text(87), failed},
       true},
      {"NoProductInfo",
       [](FakeVersion& v) { v.hasProductInfo = false; },
       {u"CWindowsVersion,Intialize(),GetProcAdress(),NULL,Could not load a needed module from Kernel32.dll,",
        failed},
       true},
      {"ProductInfoFails",
       [](FakeVersion& v) { v.productInfoResult = false; },
       {u"CWindowsVersion,Intialize(),GetProductInfo(),NULL,One or more parameters is invalid", failed},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem system;
    FakeVersion api(system);
    c.arrange(api);
    CWindowsVersion version(api, system, system);
    std::vector<std::u16string> expected;
    for (const std::u16string& entry : c.entries) expected.push_back(Line(entry));
    EXPECT_EQ(version.Log().Entries(), expected);
    EXPECT_EQ(version.GetName(), u"");
    EXPECT_EQ(version.GetDescription(), u"");
    EXPECT_EQ(version.IsVistaOrLater(), c.vistaOrLater);
    EXPECT_EQ(version.GetLastErrorText(), u"Function failed");
  }
}

TEST(WindowsVersionTest, VersionsBeforeSixDoNotAskForTheProductCode) {
  FakeSystem system;
  FakeVersion api(system);
  api.record.majorVersion = 5;
  api.record.minorVersion = 1;
  api.hasProductInfo = false;  // would fail if it were asked
  CWindowsVersion version(api, system, system);
  EXPECT_TRUE(version.Log().Entries().empty());
  EXPECT_EQ(version.ProductType(), 0u);
}

}  // namespace
}  // namespace varnolet
