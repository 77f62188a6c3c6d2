#include "support/registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::FakeRegistry;
using fakes::FakeSystem;
using fakes::kStamp;

constexpr char16_t kKey[] = u"Software\\Kestrova Technologies\\Varnolet 7";
constexpr char16_t kRun[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

class RegistryTest : public testing::Test {
 protected:
  FakeSystem system;
  FakeRegistry api;
  CRegistry registry{api, system, system};
};

TEST_F(RegistryTest, ValueOperationsWithoutAKeyAreRefusedBeforeTheRegistry) {
  std::uint32_t value = 77;
  EXPECT_FALSE(registry.GetValue(u"Language", value));
  EXPECT_EQ(value, 77u);
  EXPECT_FALSE(registry.SetValue(u"Language", 1));
  EXPECT_TRUE(api.failures.Calls().empty());
  ASSERT_EQ(registry.Log().Entries().size(), 2u);
  EXPECT_EQ(registry.Log().Entries()[0], Line(u"CRegistry,GetValue(),NULL,NULL,No open registry key"));
  EXPECT_EQ(registry.Log().Entries()[1], Line(u"CRegistry,SetValue(),NULL,NULL,No open registry key"));
  EXPECT_EQ(registry.GetLastErrorText(), u"No open registry key");
}

TEST_F(RegistryTest, AfterCloseKeyTheGuardHoldsAndDestructionMakesNoSecondCall) {
  {
    CRegistry local(api, system, system);
    ASSERT_TRUE(local.CreateKey(reg::kCurrentUser, kKey));
    ASSERT_TRUE(local.CloseKey());
    std::uint32_t value = 0;
    EXPECT_FALSE(local.GetValue(u"Language", value));
    EXPECT_EQ(local.GetLastErrorText(), u"No open registry key");
  }
  EXPECT_EQ(api.failures.CountOf("CloseKey"), 1);
  EXPECT_EQ(api.OpenHandleCount(), 0);
}

TEST_F(RegistryTest, DestructionClosesAHeldKey) {
  {
    CRegistry local(api, system, system);
    ASSERT_TRUE(local.CreateKey(reg::kCurrentUser, kKey));
  }
  EXPECT_EQ(api.OpenHandleCount(), 0);
}

TEST_F(RegistryTest, CreateKeyCreatesAMissingKeyAndOpensAnExistingOne) {
  EXPECT_FALSE(api.HasKey(kKey));
  EXPECT_TRUE(registry.CreateKey(reg::kCurrentUser, kKey));
  EXPECT_TRUE(api.HasKey(kKey));
  EXPECT_TRUE(api.HasKey(u"Software\\Kestrova Technologies"));
  EXPECT_TRUE(registry.CreateKey(reg::kCurrentUser, kKey));
  // The key held before is closed, not leaked.
  EXPECT_EQ(api.OpenHandleCount(), 1);
  EXPECT_TRUE(registry.Log().Entries().empty());
}

TEST_F(RegistryTest, NumberRoundTripOnTheOpenKey) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, kKey));
  EXPECT_TRUE(registry.SetValue(u"Role", 11));
  std::uint32_t value = 0;
  EXPECT_TRUE(registry.GetValue(u"Role", value));
  EXPECT_EQ(value, 11u);
  EXPECT_EQ(registry.ValueType(), reg::kTypeDword);
  EXPECT_EQ(registry.ValueSize(), 4u);
  EXPECT_EQ(api.Get(kKey, u"Role")->data, (std::vector<std::uint8_t>{11, 0, 0, 0}));
}

TEST_F(RegistryTest, ShortValueOfAnotherTypeReadsAsLittleEndianNumber) {
  api.SetString(kKey, u"Language", u"1");  // 31 00 00 00
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, kKey));
  std::uint32_t value = 0;
  EXPECT_TRUE(registry.GetValue(u"Language", value));
  EXPECT_EQ(value, 49u);
  EXPECT_EQ(registry.ValueType(), reg::kTypeString);
}

TEST_F(RegistryTest, LongerValueFailsWithMoreDataAndKeepsTheDefault) {
  api.SetString(kKey, u"Hotkeys", u"enabled");
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, kKey));
  std::uint32_t value = 1;
  EXPECT_FALSE(registry.GetValue(u"Hotkeys", value));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(registry.Status(), reg::kMoreData);
  EXPECT_EQ(registry.Log().Entries().back(),
            Line(u"CRegistry,GetValue(),RegQueryValueEx(),DWORD," + system.Text(reg::kMoreData)));
}

TEST_F(RegistryTest, StringValueIsStoredWithItsTerminator) {
  api.AddKey(kRun);
  EXPECT_TRUE(registry.SetValue(reg::kCurrentUser, kRun, u"Varnolet 7", u"C:\\a.exe"));
  const auto stored = api.Get(kRun, u"Varnolet 7");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, reg::kTypeString);
  EXPECT_EQ(stored->data.size(), 18u);  // eight characters and the null character
  EXPECT_EQ(stored->data[16], 0);
  EXPECT_EQ(stored->data[17], 0);
  EXPECT_EQ(*api.GetString(kRun, u"Varnolet 7"), u"C:\\a.exe");
  EXPECT_NE(registry.Key(), 0u);  // the self-opened key stays open
}

TEST_F(RegistryTest, SelfOpeningFormsRecordTheirFailures) {
  struct Case {
    const char* name;
    std::function<bool(CRegistry&)> call;
    std::vector<std::u16string> entries;
    std::u16string lastText;
  };
  FakeSystem texts;
  const std::u16string openEntry = u"CRegistry,OpenKey(),RegOpenKey(),NULL," + texts.Text(2);
  const Case cases[] = {
      {"number",
       [](CRegistry& r) { return r.SetValue(reg::kCurrentUser, kKey, u"Role", 1); },
       {openEntry, u"CRegistry,SetValue(),OpenKey(),NULL,Function failed"},
       u"Function failed"},
      {"string",
       [](CRegistry& r) { return r.SetValue(reg::kCurrentUser, kRun, u"Varnolet 7", u"x"); },
       {openEntry, u"CRegistry,SetValue(),OpenKey(),NULL,Function failed"},
       u"Function failed"},
      {"delete",
       [](CRegistry& r) { return r.DeleteValue(reg::kCurrentUser, kRun, u"Varnolet 7"); },
       {openEntry},
       texts.Text(2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem sys;
    FakeRegistry missing;  // neither key exists
    CRegistry r(missing, sys, sys);
    EXPECT_FALSE(c.call(r));
    ASSERT_EQ(r.Log().Entries().size(), c.entries.size());
    for (std::size_t i = 0; i < c.entries.size(); ++i) EXPECT_EQ(r.Log().Entries()[i], Line(c.entries[i]));
    EXPECT_EQ(r.GetLastErrorText(), c.lastText);
    EXPECT_EQ(missing.failures.CountOf("SetValueEx") + missing.failures.CountOf("DeleteValue"), 0);
  }
}

TEST_F(RegistryTest, DeleteOfAMissingValueRecordsFileNotFoundAndKeepsTheKeyOpen) {
  api.AddKey(kRun);
  EXPECT_FALSE(registry.DeleteValue(reg::kCurrentUser, kRun, u"Varnolet 7"));
  EXPECT_EQ(registry.Status(), reg::kFileNotFound);
  EXPECT_EQ(registry.Log().Entries().back(),
            Line(u"CRegistry,DeleteValue(),RegDeleteValue(),NULL," + system.Text(2)));
  EXPECT_EQ(registry.GetLastErrorText(), system.Text(2));
  EXPECT_NE(registry.Key(), 0u);
  EXPECT_EQ(api.OpenHandleCount(), 1);
}

TEST_F(RegistryTest, FailedCallsLeaveTheirStatusAndEntry) {
  struct Case {
    const char* op;
    std::int32_t status;
    std::function<bool(CRegistry&)> call;
    std::u16string entry;
  };
  const Case cases[] = {
      {"CreateKeyEx", 5, [](CRegistry& r) { return r.CreateKey(reg::kCurrentUser, kKey); },
       u"CRegistry,CreateKey(),RegCreateKeyEx(),NULL,"},
      {"OpenKeyEx", 5, [](CRegistry& r) { return r.OpenKey(reg::kCurrentUser, kKey); },
       u"CRegistry,OpenKey(),RegOpenKey(),NULL,"},
      {"CloseKey", 6, [](CRegistry& r) { return r.CloseKey(); }, u"CRegistry,CloseKey(),RegCloseKey(),NULL,"},
      {"QueryValueEx", 5,
       [](CRegistry& r) {
         std::uint32_t v = 0;
         return r.GetValue(u"Role", v);
       },
       u"CRegistry,GetValue(),RegQueryValueEx(),DWORD,"},
      {"SetValueEx", 5, [](CRegistry& r) { return r.SetValue(u"Role", 1); },
       u"CRegistry,SetValue(),RegSetValueEx(),DWORD,"},
      {"SetValueEx", 5, [](CRegistry& r) { return r.SetValue(reg::kCurrentUser, kKey, u"Role", 1); },
       u"CRegistry,SetValue(),RegSetValueEx(),DWORD,"},
      {"SetValueEx", 5, [](CRegistry& r) { return r.SetValue(reg::kCurrentUser, kKey, u"Varnolet 7", u"x"); },
       u"CRegistry,SetValue(),RegSetValueEx(),String,"},
      {"DeleteValue", 5, [](CRegistry& r) { return r.DeleteValue(reg::kCurrentUser, kKey, u"Role"); },
       u"CRegistry,DeleteValue(),RegDeleteValue(),NULL,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.entry));
    FakeSystem sys;
    FakeRegistry fake;
    fake.SetDword(kKey, u"Role", 11);
    CRegistry r(fake, sys, sys);
    ASSERT_TRUE(r.CreateKey(reg::kCurrentUser, kKey));
    fake.failures.FailNext(c.op, static_cast<std::uint32_t>(c.status));
    EXPECT_FALSE(c.call(r));
    EXPECT_EQ(r.Status(), c.status);
    EXPECT_EQ(r.Log().Entries().back(), Line(c.entry + sys.Text(static_cast<std::uint32_t>(c.status))));
    EXPECT_EQ(r.GetLastErrorText(), sys.Text(static_cast<std::uint32_t>(c.status)));
  }
}

}  // namespace
}  // namespace varnolet
