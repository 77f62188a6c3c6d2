// Raw keyboard input: the held-key record DEVICEINPUT, the table-driven decode
// of one raw input record into it, and CRawInput, which registers a device
// class for raw input and reads the records the system delivers with WM_INPUT.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/error_log.h"

namespace varnolet {

// Key positions: the index of a key's flag in DEVICEINPUT::KEYBOARD::keys. The
// order binds the hotkey file and the Options dialog's key lists: letter V
// stands before U, keypad 6 before keypad 5 and 4.
namespace key {
inline constexpr std::size_t kCount = 108;
inline constexpr int kF1 = 0;  // F1 to F10: 0-9
inline constexpr int kF11 = 10;
inline constexpr int kF12 = 11;
inline constexpr int kDigit0 = 12;
inline constexpr int kDigit1 = 13;   // digits 1 to 9: 13-21
inline constexpr int kLetterA = 22;  // letters A to T: 22-41
inline constexpr int kLetterV = 42;
inline constexpr int kLetterU = 43;
inline constexpr int kLetterW = 44;  // W, X, Y, Z: 44-47
inline constexpr int kGrave = 48;
inline constexpr int kComma = 49;
inline constexpr int kFullStop = 50;
inline constexpr int kSlash = 51;
inline constexpr int kSemicolon = 52;
inline constexpr int kApostrophe = 53;
inline constexpr int kRightBracket = 54;
inline constexpr int kLeftBracket = 55;
inline constexpr int kBackslash = 56;
inline constexpr int kEquals = 57;
inline constexpr int kMinus = 58;
inline constexpr int kEsc = 59;
inline constexpr int kEnter = 60;
inline constexpr int kSpace = 61;
inline constexpr int kBackspace = 62;
inline constexpr int kCapsLock = 63;
inline constexpr int kTab = 64;
inline constexpr int kRightAlt = 65;
inline constexpr int kLeftAlt = 66;
inline constexpr int kAlt = 67;  // derived: either Alt
inline constexpr int kRightCtrl = 68;
inline constexpr int kLeftCtrl = 69;
inline constexpr int kCtrl = 70;  // derived: either Ctrl
inline constexpr int kRightShift = 71;
inline constexpr int kLeftShift = 72;
inline constexpr int kShift = 73;  // derived: either Shift
inline constexpr int kRightWindows = 74;
inline constexpr int kLeftWindows = 75;
inline constexpr int kWindows = 76;  // derived: either Windows key
inline constexpr int kApplications = 77;
inline constexpr int kPrintScreen = 78;
inline constexpr int kScrollLock = 79;
inline constexpr int kPause = 80;
inline constexpr int kInsert = 81;
inline constexpr int kDelete = 82;
inline constexpr int kHome = 83;
inline constexpr int kEnd = 84;
inline constexpr int kPageUp = 85;
inline constexpr int kPageDown = 86;
inline constexpr int kUp = 87;
inline constexpr int kDown = 88;
inline constexpr int kLeft = 89;
inline constexpr int kRight = 90;
inline constexpr int kNumLock = 91;
inline constexpr int kKeypad0 = 92;
inline constexpr int kKeypad1 = 93;
inline constexpr int kKeypad2 = 94;
inline constexpr int kKeypad3 = 95;
inline constexpr int kKeypad6 = 96;
inline constexpr int kKeypad5 = 97;
inline constexpr int kKeypad4 = 98;
inline constexpr int kKeypad7 = 99;
inline constexpr int kKeypad8 = 100;
inline constexpr int kKeypad9 = 101;
inline constexpr int kKeypadPlus = 102;
inline constexpr int kKeypadMinus = 103;
inline constexpr int kKeypadAsterisk = 104;
inline constexpr int kKeypadSlash = 105;
inline constexpr int kKeypadDecimal = 106;
inline constexpr int kKeypadEnter = 107;
// The keys a hotkey can be made of: digits and letters, 12-47.
inline constexpr int kFirstHotkeyKey = kDigit0;
inline constexpr int kLastHotkeyKey = 47;
}  // namespace key

// The held state of the keyboard and the mouse.
struct DEVICEINPUT {
  struct MOUSE {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t wheel = 0;
    std::uint8_t rightButton = 0;
    std::uint8_t middleButton = 0;
    std::uint8_t leftButton = 0;
    std::uint8_t xButton1 = 0;
    std::uint8_t xButton2 = 0;

    bool operator==(const MOUSE&) const = default;
    bool ButtonsEqual(const MOUSE& other) const {
      return rightButton == other.rightButton && middleButton == other.middleButton &&
             leftButton == other.leftButton && xButton1 == other.xButton1 && xButton2 == other.xButton2;
    }
  };

  struct KEYBOARD {
    std::array<std::uint8_t, key::kCount> keys{};
    std::uint8_t capsLockOn = 0;
    std::uint8_t scrollLockOn = 0;
    std::uint8_t numLockOn = 0;
    std::uint8_t released = 0;  // the last event was a release
    std::uint8_t pressed = 0;   // the last event was a press
    std::uint16_t virtualKey = 0;
  };

  DEVICEINPUT() = default;
  DEVICEINPUT(const DEVICEINPUT&) = default;
  DEVICEINPUT& operator=(const DEVICEINPUT&) = default;
  virtual ~DEVICEINPUT() = default;

  // Equal mouse parts, equal keys except the four derived modifiers, equal
  // lock states; released, pressed and virtualKey are not compared.
  virtual bool Equals(const DEVICEINPUT& other) const;

  MOUSE mouse;
  KEYBOARD keyboard;
};

// Raw input records as the x86_64 system lays them out (RAWINPUT): a 24-byte
// header, then RAWKEYBOARD (16 bytes) or RAWMOUSE (24 bytes).
namespace raw_layout {
inline constexpr std::uint32_t kTypeMouse = 0;     // RIM_TYPEMOUSE
inline constexpr std::uint32_t kTypeKeyboard = 1;  // RIM_TYPEKEYBOARD
inline constexpr std::size_t kHeaderSize = 24;     // sizeof(RAWINPUTHEADER)
inline constexpr std::size_t kDeviceSize = 16;     // sizeof(RAWINPUTDEVICE)
inline constexpr std::size_t kKeyboardRecordSize = 40;
inline constexpr std::size_t kMouseRecordSize = 48;
// Header
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kSize = 4;
// RAWKEYBOARD
inline constexpr std::size_t kMakeCode = 24;
inline constexpr std::size_t kKeyFlags = 26;
inline constexpr std::size_t kVirtualKey = 30;
inline constexpr std::size_t kMessage = 32;
// RAWMOUSE
inline constexpr std::size_t kMouseFlags = 24;
inline constexpr std::size_t kButtonFlags = 28;
inline constexpr std::size_t kButtonData = 30;
inline constexpr std::size_t kLastX = 36;
inline constexpr std::size_t kLastY = 40;
}  // namespace raw_layout

namespace raw_flags {
inline constexpr std::uint16_t kKeyE0 = 0x2;               // RI_KEY_E0
inline constexpr std::uint16_t kKeyE1 = 0x4;               // RI_KEY_E1
inline constexpr std::uint32_t kKeyDown = 0x0100;          // WM_KEYDOWN
inline constexpr std::uint32_t kSysKeyDown = 0x0104;       // WM_SYSKEYDOWN
inline constexpr std::uint16_t kMoveAbsolute = 0x1;        // MOUSE_MOVE_ABSOLUTE
inline constexpr std::uint16_t kLeftDown = 0x0001;         // RI_MOUSE_LEFT_BUTTON_DOWN
inline constexpr std::uint16_t kLeftUp = 0x0002;           // RI_MOUSE_LEFT_BUTTON_UP
inline constexpr std::uint16_t kRightDown = 0x0004;        // RI_MOUSE_RIGHT_BUTTON_DOWN
inline constexpr std::uint16_t kRightUp = 0x0008;          // RI_MOUSE_RIGHT_BUTTON_UP
inline constexpr std::uint16_t kMiddleDown = 0x0010;       // RI_MOUSE_MIDDLE_BUTTON_DOWN
inline constexpr std::uint16_t kMiddleUp = 0x0020;         // RI_MOUSE_MIDDLE_BUTTON_UP
inline constexpr std::uint16_t kXButton1Down = 0x0040;     // RI_MOUSE_BUTTON_4_DOWN
inline constexpr std::uint16_t kXButton1Up = 0x0080;       // RI_MOUSE_BUTTON_4_UP
inline constexpr std::uint16_t kXButton2Down = 0x0100;     // RI_MOUSE_BUTTON_5_DOWN
inline constexpr std::uint16_t kXButton2Up = 0x0200;       // RI_MOUSE_BUTTON_5_UP
inline constexpr std::uint32_t kInputSink = 0x100;         // RIDEV_INPUTSINK
inline constexpr std::uint32_t kRemove = 0x1;              // RIDEV_REMOVE
inline constexpr int kVirtualCapital = 0x14;               // VK_CAPITAL
inline constexpr int kVirtualScroll = 0x91;                // VK_SCROLL
inline constexpr int kVirtualNumLock = 0x90;               // VK_NUMLOCK
inline constexpr std::uint32_t kReadFailed = 0xFFFFFFFFu;  // GetRawInputData's (UINT)-1
}  // namespace raw_flags

// One keyboard event as RAWKEYBOARD carries it.
struct RawKeyboardEvent {
  std::uint16_t makeCode = 0;
  std::uint16_t flags = 0;
  std::uint16_t virtualKey = 0;
  std::uint32_t message = 0;
};

// One mouse event as RAWMOUSE carries it.
struct RawMouseEvent {
  std::uint16_t flags = 0;
  std::uint16_t buttonFlags = 0;
  std::uint16_t buttonData = 0;
  std::int32_t lastX = 0;
  std::int32_t lastY = 0;
};

// The three lock toggles after an event (low bit of GetKeyState).
struct LockStates {
  bool capsLock = false;
  bool scrollLock = false;
  bool numLock = false;
};

// The key position a make code and its prefix flags select; -1 for none
// (make codes 00, 55, 56, 59, 5A, above 5D, and the fake shift 2A with E0).
int KeyPosition(std::uint16_t makeCode, std::uint16_t flags);

// The keyboard update of one event: last event, key flag, derived modifiers, locks.
void UpdateKeyboard(DEVICEINPUT::KEYBOARD& keyboard, const RawKeyboardEvent& event, const LockStates& locks);

// The mouse update of one event: position and wheel, then presses, then releases.
void UpdateMouse(DEVICEINPUT::MOUSE& mouse, const RawMouseEvent& event);

// What a raw input record holds. A record too short for its type holds nothing usable.
enum class RawRecordKind { Mouse, Keyboard, Other };
RawRecordKind ParseRawRecord(const std::uint8_t* record, std::size_t size, RawKeyboardEvent& keyboard,
                             RawMouseEvent& mouse);

// A raw-input device descriptor (RAWINPUTDEVICE); the target is a window handle.
struct RawInputDevice {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint32_t flags = 0;
  std::uintptr_t target = 0;
};

// Port: the raw input calls.
class RawInputApi {
 public:
  virtual ~RawInputApi() = default;
  // RegisterRawInputDevices with this one descriptor and sizeof(RAWINPUTDEVICE).
  virtual bool RegisterDevice(const RawInputDevice& device) = 0;
  // GetRawInputData(handle, RID_INPUT, data, size, sizeof(RAWINPUTHEADER)): with no
  // buffer 0 and the record size in *size; with one the bytes copied; (UINT)-1 on failure.
  virtual std::uint32_t ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) = 0;
  // GetKeyState
  virtual std::int16_t KeyState(int virtualKey) = 0;
};

class CRawInput {
 public:
  // One device class, acting on its descriptor inside the owning CRawInput.
  class CDevice {
   public:
    static constexpr std::uint32_t kInlineBufferSize = 48;

    CDevice(CRawInput& owner, std::int32_t index) : owner_(owner), index_(index) {}
    CDevice(const CDevice&) = delete;
    CDevice& operator=(const CDevice&) = delete;

    // Registers the device class with the window as target; mode 1 receives
    // input while the window is not in the foreground (RIDEV_INPUTSINK).
    bool Register(std::uintptr_t window, int mode);
    bool UnRegister();
    // Reads the record behind a WM_INPUT handle and updates `state` in place.
    // Records up to 48 bytes are read into the device's own buffer.
    bool Query(std::uintptr_t handle, DEVICEINPUT& state);

    std::int32_t Index() const { return index_; }
    std::uint32_t Size() const { return size_; }

   private:
    bool Decode(const std::uint8_t* record, std::size_t size, DEVICEINPUT& state);

    CRawInput& owner_;
    std::int32_t index_;
    std::uint32_t size_ = 0;
    alignas(8) std::uint8_t buffer_[kInlineBufferSize] = {};
  };

  CRawInput(RawInputApi& api, SystemMessages& messages, Clock& clock);
  CRawInput(const CRawInput&) = delete;
  CRawInput& operator=(const CRawInput&) = delete;

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }
  const RawInputDevice& Descriptor(std::int32_t index) const {
    return devices_[static_cast<std::size_t>(index)];
  }

 private:
  RawInputApi& api_;
  std::array<RawInputDevice, 2> devices_;
  ErrorLog log_;

 public:
  CDevice Mouse;
  CDevice Keyboard;
};

}  // namespace varnolet
