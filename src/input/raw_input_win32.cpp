#include "input/raw_input_win32.h"

#include <windows.h>

#include <cstddef>

namespace varnolet {

// The core decodes the records of this build's layout.
static_assert(sizeof(RAWINPUTDEVICE) == raw_layout::kDeviceSize);
static_assert(sizeof(RAWINPUTHEADER) == raw_layout::kHeaderSize);
static_assert(offsetof(RAWINPUTHEADER, dwType) == raw_layout::kType);
static_assert(offsetof(RAWINPUTHEADER, dwSize) == raw_layout::kSize);
static_assert(offsetof(RAWINPUT, data.keyboard.MakeCode) == raw_layout::kMakeCode);
static_assert(offsetof(RAWINPUT, data.keyboard.Flags) == raw_layout::kKeyFlags);
static_assert(offsetof(RAWINPUT, data.keyboard.VKey) == raw_layout::kVirtualKey);
static_assert(offsetof(RAWINPUT, data.keyboard.Message) == raw_layout::kMessage);
static_assert(sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD) == raw_layout::kKeyboardRecordSize);
static_assert(offsetof(RAWINPUT, data.mouse.usFlags) == raw_layout::kMouseFlags);
static_assert(offsetof(RAWINPUT, data.mouse.usButtonFlags) == raw_layout::kButtonFlags);
static_assert(offsetof(RAWINPUT, data.mouse.usButtonData) == raw_layout::kButtonData);
static_assert(offsetof(RAWINPUT, data.mouse.lLastX) == raw_layout::kLastX);
static_assert(offsetof(RAWINPUT, data.mouse.lLastY) == raw_layout::kLastY);
static_assert(sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE) == raw_layout::kMouseRecordSize);
static_assert(RIM_TYPEMOUSE == raw_layout::kTypeMouse && RIM_TYPEKEYBOARD == raw_layout::kTypeKeyboard);
static_assert(RI_KEY_E0 == raw_flags::kKeyE0 && RI_KEY_E1 == raw_flags::kKeyE1);
static_assert(WM_KEYDOWN == raw_flags::kKeyDown && WM_SYSKEYDOWN == raw_flags::kSysKeyDown);
static_assert(MOUSE_MOVE_ABSOLUTE == raw_flags::kMoveAbsolute);
static_assert(
    RI_MOUSE_LEFT_BUTTON_DOWN == raw_flags::kLeftDown && RI_MOUSE_LEFT_BUTTON_UP == raw_flags::kLeftUp &&
    RI_MOUSE_RIGHT_BUTTON_DOWN == raw_flags::kRightDown && RI_MOUSE_RIGHT_BUTTON_UP == raw_flags::kRightUp &&
    RI_MOUSE_MIDDLE_BUTTON_DOWN == raw_flags::kMiddleDown &&
    RI_MOUSE_MIDDLE_BUTTON_UP == raw_flags::kMiddleUp && RI_MOUSE_BUTTON_4_DOWN == raw_flags::kXButton1Down &&
    RI_MOUSE_BUTTON_4_UP == raw_flags::kXButton1Up && RI_MOUSE_BUTTON_5_DOWN == raw_flags::kXButton2Down &&
    RI_MOUSE_BUTTON_5_UP == raw_flags::kXButton2Up);
static_assert(RIDEV_INPUTSINK == raw_flags::kInputSink && RIDEV_REMOVE == raw_flags::kRemove);
static_assert(VK_CAPITAL == raw_flags::kVirtualCapital && VK_SCROLL == raw_flags::kVirtualScroll &&
              VK_NUMLOCK == raw_flags::kVirtualNumLock);
static_assert(raw_flags::kReadFailed == static_cast<UINT>(-1));

bool Win32RawInputApi::RegisterDevice(const RawInputDevice& device) {
  RAWINPUTDEVICE descriptor;
  descriptor.usUsagePage = device.usagePage;
  descriptor.usUsage = device.usage;
  descriptor.dwFlags = device.flags;
  descriptor.hwndTarget = reinterpret_cast<HWND>(device.target);
  return RegisterRawInputDevices(&descriptor, 1, sizeof(RAWINPUTDEVICE)) != FALSE;
}

std::uint32_t Win32RawInputApi::ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) {
  UINT bytes = *size;
  const UINT result =
      GetRawInputData(reinterpret_cast<HRAWINPUT>(handle), RID_INPUT, data, &bytes, sizeof(RAWINPUTHEADER));
  *size = bytes;
  return result;
}

std::int16_t Win32RawInputApi::KeyState(int virtualKey) {
  return GetKeyState(virtualKey);
}

}  // namespace varnolet
