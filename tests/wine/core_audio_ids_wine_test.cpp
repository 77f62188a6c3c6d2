// The Core Audio identifiers of the program's one header against the system's
// own: the friendly-name key as the system's header defines it, the registry
// text forms as COM reads them back.
#include <gtest/gtest.h>

#include <windows.h>
#include <wtypes.h>
#include <initguid.h>
#include <functiondiscoverykeys_devpkey.h>
#include <objbase.h>

#include <string>

#include "audio/core_audio_ids_win32.h"

namespace varnolet {
namespace {

TEST(CoreAudioIdsWineTest, FriendlyNameKeyIsTheSystems) {
  EXPECT_TRUE(IsEqualGUID(core_audio::kFriendlyNameKey.fmtid, PKEY_Device_FriendlyName.fmtid));
  EXPECT_EQ(core_audio::kFriendlyNameKey.pid, PKEY_Device_FriendlyName.pid);
}

TEST(CoreAudioIdsWineTest, RegistryTextsReadBackAsTheirClasses) {
  struct Case {
    std::wstring text;
    GUID guid;
  };
  for (const Case& c : {Case{core_audio::kPolicyVistaClassText.data(), core_audio::kPolicyVistaClass},
                        Case{core_audio::kPolicy7ClassText.data(), core_audio::kPolicy7Class},
                        Case{core_audio::RegistryText(core_audio::kDeviceEnumeratorClass).data(),
                             core_audio::kDeviceEnumeratorClass}}) {
    SCOPED_TRACE(testing::Message() << c.text);
    EXPECT_EQ(c.text.size(), 38u);
    CLSID read{};
    EXPECT_EQ(CLSIDFromString(c.text.c_str(), &read), S_OK);
    EXPECT_TRUE(IsEqualGUID(read, c.guid));
  }
}

}  // namespace
}  // namespace varnolet
