// CRegistry on Wine's real registry.
#include <gtest/gtest.h>

#include "support/registry.h"
#include "support/clock_win32.h"
#include "support/registry_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

class RegistryWineTest : public testing::Test {
 protected:
  void SetUp() override {
    key = u"Software\\Varnolet Tests\\" +
          Ascii(testing::UnitTest::GetInstance()->current_test_info()->name()) +
          Decimal(GetCurrentProcessId());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, as_wide(key)); }

  std::vector<std::uint8_t> RawValue(const std::u16string& name, DWORD* type) {
    std::vector<std::uint8_t> data(256);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_CURRENT_USER, as_wide(key), as_wide(name), RRF_RT_ANY | RRF_NOEXPAND, type,
                     data.data(), &size) != ERROR_SUCCESS)
      return {};
    data.resize(size);
    return data;
  }

  Win32RegistryApi api;
  Win32SystemMessages messages;
  CrtClock clock;
  CRegistry registry{api, messages, clock};
  std::u16string key;
};

TEST_F(RegistryWineTest, CreateOpenAndNumberRoundTrip) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  EXPECT_TRUE(registry.SetValue(u"Role", 11));
  ASSERT_TRUE(registry.CloseKey());
  ASSERT_TRUE(registry.OpenKey(reg::kCurrentUser, key));
  std::uint32_t value = 0;
  EXPECT_TRUE(registry.GetValue(u"Role", value));
  EXPECT_EQ(value, 11u);
  EXPECT_EQ(registry.ValueType(), static_cast<std::uint32_t>(REG_DWORD));
  DWORD type = 0;
  EXPECT_EQ(RawValue(u"Role", &type), (std::vector<std::uint8_t>{11, 0, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  // Creating an existing key opens it.
  EXPECT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  EXPECT_TRUE(registry.Log().Entries().empty());
}

TEST_F(RegistryWineTest, OneCharacterStringWithTerminatorReadsAs49) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  ASSERT_TRUE(registry.SetValue(reg::kCurrentUser, key, u"Language", u"1"));
  DWORD type = 0;
  EXPECT_EQ(RawValue(u"Language", &type), (std::vector<std::uint8_t>{0x31, 0, 0, 0}));
  std::uint32_t value = 0;
  EXPECT_TRUE(registry.GetValue(u"Language", value));
  EXPECT_EQ(value, 49u);
}

TEST_F(RegistryWineTest, EightCharacterStringStoresEighteenBytes) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  ASSERT_TRUE(registry.SetValue(reg::kCurrentUser, key, u"Varnolet 7", u"C:\\a.exe"));
  DWORD type = 0;
  const std::vector<std::uint8_t> data = RawValue(u"Varnolet 7", &type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ASSERT_EQ(data.size(), 18u);
  EXPECT_EQ(data[16], 0);
  EXPECT_EQ(data[17], 0);
}

TEST_F(RegistryWineTest, LongerStringFailsTheNumberReadWithMoreData) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  ASSERT_TRUE(registry.SetValue(reg::kCurrentUser, key, u"Hotkeys", u"on"));
  std::uint32_t value = 1;
  EXPECT_FALSE(registry.GetValue(u"Hotkeys", value));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(registry.Status(), ERROR_MORE_DATA);
  EXPECT_EQ(registry.GetLastErrorText(), messages.MessageText(ERROR_MORE_DATA, MessageWidth::Unbroken));
}

TEST_F(RegistryWineTest, DeletingAMissingValueRecordsTheSystemTextForError2) {
  ASSERT_TRUE(registry.CreateKey(reg::kCurrentUser, key));
  EXPECT_FALSE(registry.DeleteValue(reg::kCurrentUser, key, u"Varnolet 7"));
  EXPECT_EQ(registry.Status(), ERROR_FILE_NOT_FOUND);
  const std::u16string text = wine::SystemText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(registry.GetLastErrorText(), text);
  const std::u16string& entry = registry.Log().Entries().back();
  const std::u16string tail = u": CRegistry,DeleteValue(),RegDeleteValue(),NULL," + text;
  ASSERT_GE(entry.size(), tail.size());
  EXPECT_EQ(entry.substr(entry.size() - tail.size()), tail);
  EXPECT_NE(registry.Key(), 0u);
}

TEST_F(RegistryWineTest, OpeningAMissingKeyFails) {
  EXPECT_FALSE(registry.OpenKey(reg::kCurrentUser, key + u"\\missing"));
  EXPECT_EQ(registry.Status(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry.Key(), 0u);
  std::uint32_t value = 0;
  EXPECT_FALSE(registry.GetValue(u"Role", value));
  EXPECT_EQ(registry.GetLastErrorText(), u"No open registry key");
}

}  // namespace
}  // namespace varnolet
