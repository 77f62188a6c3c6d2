// The message-text adapter against FormatMessageW itself.
#include <gtest/gtest.h>

#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

TEST(MessagesWineTest, TextsAreTheSystemsOwn) {
  Win32SystemMessages messages;
  for (DWORD code : {2ul, 3ul, 5ul, 80ul, 183ul, 234ul}) {
    const std::u16string text = messages.MessageText(code, MessageWidth::Unbroken);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_EQ(text, wine::SystemText(code)) << code;
    EXPECT_EQ(text.find(u'\n'), std::u16string::npos) << code;
  }
}

TEST(MessagesWineTest, UnknownNumberGivesAnEmptyText) {
  Win32SystemMessages messages;
  EXPECT_EQ(messages.MessageText(0x2FFFFFFF, MessageWidth::Unbroken), u"");
  EXPECT_EQ(messages.MessageText(0x2FFFFFFF, MessageWidth::Width255), u"");
}

TEST(MessagesWineTest, LastErrorCodeIsTheThreads) {
  Win32SystemMessages messages;
  SetLastError(1234);
  EXPECT_EQ(messages.LastErrorCode(), 1234u);
}

}  // namespace
}  // namespace varnolet
