// Raw keyboard input registration on a real window under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "input/raw_input.h"
#include "input/raw_input_win32.h"
#include "support/clock_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

// The device classes this process has registered for raw input.
std::vector<RAWINPUTDEVICE> RegisteredDevices() {
  UINT count = 0;
  if (GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE)) == static_cast<UINT>(-1) ||
      count == 0)
    return {};
  std::vector<RAWINPUTDEVICE> devices(count);
  const UINT got = GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE));
  if (got == static_cast<UINT>(-1)) return {};
  devices.resize(got);
  return devices;
}

const RAWINPUTDEVICE* Keyboard(const std::vector<RAWINPUTDEVICE>& devices) {
  for (const RAWINPUTDEVICE& device : devices)
    if (device.usUsagePage == 1 && device.usUsage == 6) return &device;
  return nullptr;
}

class RawInputWineTest : public testing::Test {
 protected:
  void SetUp() override {
    // A hidden top-level window, as the main form's.
    window = CreateWindowExW(0, L"STATIC", L"raw input target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    RAWINPUTDEVICE remove{1, 6, RIDEV_REMOVE, nullptr};
    RegisterRawInputDevices(&remove, 1, sizeof remove);
    if (window != nullptr) DestroyWindow(window);
  }

  Win32RawInputApi api;
  Win32SystemMessages messages;
  CrtClock clock;
  CRawInput raw{api, messages, clock};
  HWND window = nullptr;
};

TEST_F(RawInputWineTest, RegisterTheKeyboardAsAnInputSinkThenUnRegisterIt) {
  ASSERT_TRUE(raw.Keyboard.Register(reinterpret_cast<std::uintptr_t>(window), 1))
      << Narrow(raw.GetLastErrorText());
  const std::vector<RAWINPUTDEVICE> registered = RegisteredDevices();
  const RAWINPUTDEVICE* keyboard = Keyboard(registered);
  ASSERT_NE(keyboard, nullptr);
  EXPECT_EQ(keyboard->hwndTarget, window);
  EXPECT_EQ(keyboard->dwFlags & RIDEV_INPUTSINK, static_cast<DWORD>(RIDEV_INPUTSINK));

  ASSERT_TRUE(raw.Keyboard.UnRegister());
  EXPECT_EQ(Keyboard(RegisteredDevices()), nullptr);
  EXPECT_TRUE(raw.Log().Entries().empty());
}

TEST_F(RawInputWineTest, AnInputSinkWithoutAWindowIsRefusedWithTheSystemsText) {
  EXPECT_FALSE(raw.Keyboard.Register(0, 1));
  const DWORD error = GetLastError();
  EXPECT_EQ(Keyboard(RegisteredDevices()), nullptr);
  ASSERT_EQ(raw.Log().Entries().size(), 1u);
  const std::u16string entry = raw.Log().Entries()[0];
  const std::u16string expected =
      u"CDevice,Register(),RegisterRawInputDevices(),Specified window," + wine::SystemText(error);
  EXPECT_EQ(entry.substr(entry.size() - expected.size()), expected);
  EXPECT_EQ(raw.GetLastErrorText(), wine::SystemText(error));
}

// Keys sent to the desktop arrive as WM_INPUT records the core decodes.
TEST_F(RawInputWineTest, SentKeysArriveAsRecordsTheQueryDecodes) {
  ASSERT_TRUE(raw.Keyboard.Register(reinterpret_cast<std::uintptr_t>(window), 1));
  INPUT inputs[4] = {};
  const WORD scanCodes[2] = {0x1D, 0x2F};  // left Ctrl, V
  const WORD keys[2] = {VK_LCONTROL, 'V'};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    const int k = i < 2 ? i : 3 - i;  // Ctrl down, V down, V up, Ctrl up
    inputs[i].ki.wVk = keys[k];
    inputs[i].ki.wScan = scanCodes[k];
    inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }

  DEVICEINPUT state;
  std::vector<DEVICEINPUT> seen;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(SendInput(1, &inputs[i], sizeof(INPUT)), 1u);
    // Generous: a loaded machine may take seconds to hand an event over; the
    // loop ends as soon as it arrives.
    const DWORD deadline = GetTickCount() + 10000;
    bool arrived = false;
    while (!arrived && GetTickCount() < deadline) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_INPUT) {
          EXPECT_TRUE(raw.Keyboard.Query(static_cast<std::uintptr_t>(message.lParam), state));
          seen.push_back(state);
          arrived = true;
        }
        DispatchMessageW(&message);
      }
      if (!arrived) Sleep(10);
    }
    ASSERT_TRUE(arrived) << "no WM_INPUT for event " << i;
  }
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(raw.Keyboard.Size(), sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD));
  EXPECT_EQ(seen[1].keyboard.keys[key::kLeftCtrl], 1);
  EXPECT_EQ(seen[1].keyboard.keys[key::kCtrl], 1);
  EXPECT_EQ(seen[1].keyboard.keys[key::kLetterV], 1);
  EXPECT_EQ(seen[1].keyboard.virtualKey, 'V');
  EXPECT_EQ(seen[1].keyboard.pressed, 1);
  EXPECT_EQ(seen[2].keyboard.keys[key::kLetterV], 0);
  EXPECT_EQ(seen[2].keyboard.released, 1);
  EXPECT_EQ(seen[3].keyboard.keys[key::kCtrl], 0);
  EXPECT_TRUE(raw.Log().Entries().empty());
}

TEST_F(RawInputWineTest, QueryOfAnUnknownHandleFailsWithoutTouchingTheState) {
  DEVICEINPUT state;
  state.keyboard.keys[key::kLetterV] = 1;
  EXPECT_FALSE(raw.Keyboard.Query(0x12345, state));
  EXPECT_EQ(state.keyboard.keys[key::kLetterV], 1);
  ASSERT_EQ(raw.Log().Entries().size(), 1u);
  EXPECT_EQ(raw.GetLastErrorText(), u"Could not determine needed buffer size");
}

}  // namespace
}  // namespace varnolet
