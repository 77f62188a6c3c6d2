#include "support/error_log.h"

#include <gtest/gtest.h>

#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeSystem;
using fakes::kStamp;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

// One row per component family: a failing and a succeeding result, and where
// the message number comes from.
struct RuleCase {
  const char* component;
  ErrorRule rule;
  std::int64_t failure;
  std::int64_t success;
  bool numberIsResult;
};

class ErrorRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(ErrorRuleTest, FailureRecordsTheSystemTextAndSuccessKeepsIt) {
  const RuleCase& c = GetParam();
  FakeSystem system;
  system.lastError = 5;
  ErrorLog log(system, system, c.rule);

  EXPECT_EQ(log.GetLastErrorText(), u"");
  EXPECT_FALSE(log.CheckResult(c.failure, u"CX,Op(),Call(),NULL,"));
  const std::uint32_t number = c.numberIsResult ? static_cast<std::uint32_t>(c.failure) : 5u;
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Entries()[0], Line(u"CX,Op(),Call(),NULL," + system.Text(number)));
  EXPECT_EQ(log.GetLastErrorText(), system.Text(number));
  EXPECT_EQ(system.asked.back().second, MessageWidth::Unbroken);

  // A later success records nothing and keeps the old text.
  system.lastError = 0;
  EXPECT_TRUE(log.CheckResult(c.success, u"CX,Op(),Call(),NULL,"));
  EXPECT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.GetLastErrorText(), system.Text(number));
}

TEST_P(ErrorRuleTest, SecondFailureReplacesOrAccumulates) {
  const RuleCase& c = GetParam();
  FakeSystem system;
  ErrorLog log(system, system, c.rule);
  system.lastError = 2;
  const std::int64_t first = c.numberIsResult ? 2 : c.failure;
  const std::int64_t second = c.numberIsResult ? 5 : c.failure;
  log.CheckResult(first, u"CX,A(),B(),NULL,");
  system.lastError = 5;
  log.CheckResult(second, u"CX,A(),B(),NULL,");
  const std::u16string expected = c.rule.accumulate ? system.Text(2) + system.Text(5) : system.Text(5);
  EXPECT_EQ(log.GetLastErrorText(), expected);
  EXPECT_EQ(log.Entries().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Components, ErrorRuleTest,
                         testing::Values(RuleCase{"CEnumerationInterface", error_rules::kEnumeration,
                                                  static_cast<std::int64_t>(0x80070490u), 0, true},
                                         RuleCase{"CDrive", error_rules::kDrive, 0, 1, false},
                                         RuleCase{"CPrivileges", error_rules::kPrivileges, 0, 1, false},
                                         RuleCase{"CProcesses", error_rules::kProcesses, 0, 1, false},
                                         RuleCase{"CRawInput", error_rules::kRawInput, 0xFFFFFFFF, 40, false},
                                         RuleCase{"CRegistry", error_rules::kRegistry, 2, 0, true},
                                         RuleCase{"CWindowsVersion", error_rules::kWindowsVersion, 0, 1,
                                                  false}),
                         [](const testing::TestParamInfo<RuleCase>& row) { return row.param.component; });

TEST(ErrorLogTest, RawInputFailsOnlyOnAllOnes) {
  FakeSystem system;
  ErrorLog log(system, system, error_rules::kRawInput);
  EXPECT_TRUE(log.CheckResult(0, u"CDevice,Query(),x,NULL,"));  // 0 bytes is a success for raw input
  EXPECT_TRUE(log.CheckResult(-2, u"CDevice,Query(),x,NULL,"));
  EXPECT_FALSE(log.CheckResult(-1, u"CDevice,Query(),x,NULL,"));  // -1 and 0xFFFFFFFF are the same failure
}

TEST(ErrorLogTest, RegistryRecordsTheStatusText) {
  FakeSystem system;
  ErrorLog log(system, system, error_rules::kRegistry);
  EXPECT_FALSE(log.CheckResult(2, u"CRegistry,DeleteValue(),RegDeleteValue(),NULL,"));
  EXPECT_EQ(log.Entries().back(), Line(u"CRegistry,DeleteValue(),RegDeleteValue(),NULL," + system.Text(2)));
  EXPECT_EQ(log.GetLastErrorText(), system.Text(2));
}

TEST(ErrorLogTest, AddErrorTakesTheTextAfterTheLastComma) {
  struct Case {
    std::u16string_view entry;
    std::u16string_view text;
  };
  const Case cases[] = {
      {u"CHotkeys,Register(),NULL,Item,Specified hotkey is already registerd",
       u"Specified hotkey is already registerd"},
      {u"CCollectionInterface,GetDevicesCount(),NULL,NULL,Collection interface is not initialized",
       u"Collection interface is not initialized"},
      // An entry ending in a comma leaves an empty text.
      {u"CWindowsVersion,Intialize(),GetProcAdress(),NULL,Could not load a needed module from Kernel32.dll,",
       u""},
  };
  for (const Case& c : cases) {
    FakeSystem system;
    ErrorLog log(system, system, error_rules::kHotkeys);
    log.AddError(c.entry);
    EXPECT_EQ(log.GetLastErrorText(), c.text);
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0], Line(c.entry));
  }
}

TEST(ErrorLogTest, AddErrorReplacesEvenForRawInput) {
  FakeSystem system;
  system.lastError = 5;
  ErrorLog log(system, system, error_rules::kRawInput);
  log.CheckResult(-1, u"CDevice,Register(),RegisterRawInputDevices(),Specified window,");
  log.AddError(u"CDevice,UnRegister(),RegisterRawInputDevices(),NULL,Function failed");
  EXPECT_EQ(log.GetLastErrorText(), u"Function failed");
}

TEST(ErrorLogTest, ComStatusIsRecordedWithItsOwnTextOrInHexadecimal) {
  FakeSystem system;
  system.lastError = 0;  // COM calls leave it alone
  ErrorLog log(system, system, error_rules::kProcesses);
  log.RecordStatus(0x80070005u, u"CProcesses,Notify(),CoSetProxyBlanket(),All Processes,");
  EXPECT_EQ(log.GetLastErrorText(), system.Text(0x80070005u));
  log.RecordStatus(0x80040153u, u"CProcesses,Notify(),CoCreateInstance() (2nd call),All Processes,");
  EXPECT_EQ(log.Entries().back(),
            Line(u"CProcesses,Notify(),CoCreateInstance() (2nd call),All Processes,0x80040153"));
  EXPECT_EQ(log.GetLastErrorText(), u"0x80040153");
}

TEST(ErrorLogTest, EmptySystemMessageEndsTheEntryAtItsFourthComma) {
  FakeSystem system;
  system.lastError = 0x1234;  // no text for this code
  ErrorLog replacing(system, system, error_rules::kDrive);
  replacing.AddError(u"CFile,Close(),NULL,NULL,No file currently open");
  replacing.CheckResult(0, u"CFile,Open(),CreateFile(),NULL,");
  EXPECT_EQ(replacing.Entries().back(), Line(u"CFile,Open(),CreateFile(),NULL,"));
  EXPECT_EQ(replacing.GetLastErrorText(), u"");

  ErrorLog accumulating(system, system, error_rules::kRawInput);
  accumulating.AddError(u"CDevice,UnRegister(),RegisterRawInputDevices(),NULL,Function failed");
  accumulating.CheckResult(-1, u"CDevice,Register(),RegisterRawInputDevices(),Specified window,");
  EXPECT_EQ(accumulating.GetLastErrorText(), u"Function failed");
}

TEST(ErrorLogTest, TimeStampHasNoLeadingZeros) {
  struct Case {
    LocalTime time;
    std::u16string_view text;
  };
  const Case cases[] = {
      {{2027, 1, 1, 0, 0, 5}, u"1/1/2027 0:0:5"},
      {{2026, 12, 8, 9, 5, 3}, u"8/12/2026 9:5:3"},
      {{2026, 10, 31, 23, 59, 59}, u"31/10/2026 23:59:59"},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeStampText(c.time), c.text);
}

TEST(ErrorLogTest, EntriesTakeTheStampOfTheirMoment) {
  FakeSystem system;
  ErrorLog log(system, system, error_rules::kHotkeys);
  system.now = {2027, 1, 1, 0, 0, 5};
  log.AddError(u"CHotkeys,Register(),NULL,List,Could not register specified items");
  EXPECT_EQ(log.Entries()[0],
            u"1/1/2027 0:0:5: CHotkeys,Register(),NULL,List,Could not register specified items");
}

}  // namespace
}  // namespace varnolet
