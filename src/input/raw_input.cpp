#include "input/raw_input.h"

#include <memory>

namespace varnolet {

namespace {

// The positions one make code selects: without and with the E0 prefix.
struct ScanCodeRow {
  std::int8_t plain = -1;
  std::int8_t extended = -1;
};

constexpr std::uint16_t kLastMakeCode = 0x5D;
constexpr std::uint16_t kCtrlMakeCode = 0x1D;
constexpr std::uint16_t kFakeShiftMakeCode = 0x2A;

using ScanCodeTable = std::array<ScanCodeRow, kLastMakeCode + 1>;

constexpr ScanCodeTable MakeScanCodeTable() {
  ScanCodeTable table{};
  // A key that sets its flag whatever the prefix.
  auto both = [&table](std::uint16_t code, int position) {
    table[code] = {static_cast<std::int8_t>(position), static_cast<std::int8_t>(position)};
  };
  // A key shared by two positions: one without the E0 prefix, one with it.
  auto split = [&table](std::uint16_t code, int plain, int extended) {
    table[code] = {static_cast<std::int8_t>(plain), static_cast<std::int8_t>(extended)};
  };

  for (int i = 0; i < 10; ++i) both(static_cast<std::uint16_t>(0x3B + i), key::kF1 + i);  // F1-F10
  both(0x57, key::kF11);
  both(0x58, key::kF12);
  // Digits and letters only without the prefix: multimedia keyboards send
  // their keys as E0 with a letter's make code (Mute E0 20 is D, Volume Up
  // E0 30 is B, Next E0 19 is P, ...), and those must not count as letters.
  split(0x0B, key::kDigit0, -1);
  for (int i = 0; i < 9; ++i) split(static_cast<std::uint16_t>(0x02 + i), key::kDigit1 + i, -1);  // 1-9
  // Letters A to T, then V, U, W, X, Y, Z.
  constexpr std::uint16_t kLetters[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                        0x1F, 0x14, 0x2F, 0x16, 0x11, 0x2D, 0x15, 0x2C};
  for (int i = 0; i < 26; ++i) split(kLetters[i], key::kLetterA + i, -1);
  both(0x29, key::kGrave);
  both(0x33, key::kComma);
  both(0x34, key::kFullStop);
  split(0x35, key::kSlash, key::kKeypadSlash);
  both(0x27, key::kSemicolon);
  both(0x28, key::kApostrophe);
  both(0x1B, key::kRightBracket);
  both(0x1A, key::kLeftBracket);
  both(0x2B, key::kBackslash);
  both(0x0D, key::kEquals);
  both(0x0C, key::kMinus);
  both(0x01, key::kEsc);
  split(0x1C, key::kEnter, key::kKeypadEnter);
  both(0x39, key::kSpace);
  both(0x0E, key::kBackspace);
  both(0x3A, key::kCapsLock);
  both(0x0F, key::kTab);
  split(0x38, key::kLeftAlt, key::kRightAlt);
  split(kCtrlMakeCode, key::kLeftCtrl, key::kRightCtrl);  // E1 (Pause) is tested before this row
  both(0x36, key::kRightShift);
  split(kFakeShiftMakeCode, key::kLeftShift, -1);  // 2A with E0 is the system's fake shift
  both(0x5C, key::kRightWindows);
  both(0x5B, key::kLeftWindows);
  both(0x5D, key::kApplications);
  split(0x37, key::kKeypadAsterisk, key::kPrintScreen);
  both(0x54, key::kPrintScreen);
  both(0x46, key::kScrollLock);
  split(0x52, key::kKeypad0, key::kInsert);
  split(0x53, key::kKeypadDecimal, key::kDelete);
  split(0x47, key::kKeypad7, key::kHome);
  split(0x4F, key::kKeypad1, key::kEnd);
  split(0x49, key::kKeypad9, key::kPageUp);
  split(0x51, key::kKeypad3, key::kPageDown);
  split(0x48, key::kKeypad8, key::kUp);
  split(0x50, key::kKeypad2, key::kDown);
  split(0x4B, key::kKeypad4, key::kLeft);
  split(0x4D, key::kKeypad6, key::kRight);
  both(0x45, key::kNumLock);
  both(0x4C, key::kKeypad5);
  both(0x4E, key::kKeypadPlus);
  both(0x4A, key::kKeypadMinus);
  return table;
}

constexpr ScanCodeTable kScanCodes = MakeScanCodeTable();

std::uint16_t Read16(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t Read32(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

}  // namespace

bool DEVICEINPUT::Equals(const DEVICEINPUT& other) const {
  if (!(mouse == other.mouse)) return false;
  const auto& a = keyboard.keys;
  const auto& b = other.keyboard.keys;
  for (std::size_t i = 0; i < key::kCount; ++i) {
    if (i == key::kAlt || i == key::kCtrl || i == key::kShift || i == key::kWindows) continue;
    if (a[i] != b[i]) return false;
  }
  return keyboard.capsLockOn == other.keyboard.capsLockOn &&
         keyboard.scrollLockOn == other.keyboard.scrollLockOn &&
         keyboard.numLockOn == other.keyboard.numLockOn;
}

int KeyPosition(std::uint16_t makeCode, std::uint16_t flags) {
  if (makeCode > kLastMakeCode) return -1;
  if (makeCode == kCtrlMakeCode && (flags & raw_flags::kKeyE1) != 0) return key::kPause;
  const ScanCodeRow& row = kScanCodes[makeCode];
  return (flags & raw_flags::kKeyE0) != 0 ? row.extended : row.plain;
}

void UpdateKeyboard(DEVICEINPUT::KEYBOARD& keyboard, const RawKeyboardEvent& event, const LockStates& locks) {
  keyboard.virtualKey = event.virtualKey;
  const bool down = event.message == raw_flags::kKeyDown || event.message == raw_flags::kSysKeyDown;
  keyboard.released = down ? 0 : 1;
  keyboard.pressed = down ? 1 : 0;
  const int position = KeyPosition(event.makeCode, event.flags);
  auto& keys = keyboard.keys;
  if (position >= 0) keys[static_cast<std::size_t>(position)] = down ? 1 : 0;
  keys[key::kAlt] = (keys[key::kRightAlt] | keys[key::kLeftAlt]) != 0 ? 1 : 0;
  keys[key::kCtrl] = (keys[key::kRightCtrl] | keys[key::kLeftCtrl]) != 0 ? 1 : 0;
  keys[key::kShift] = (keys[key::kRightShift] | keys[key::kLeftShift]) != 0 ? 1 : 0;
  keys[key::kWindows] = (keys[key::kRightWindows] | keys[key::kLeftWindows]) != 0 ? 1 : 0;
  keyboard.capsLockOn = locks.capsLock ? 1 : 0;
  keyboard.scrollLockOn = locks.scrollLock ? 1 : 0;
  keyboard.numLockOn = locks.numLock ? 1 : 0;
}

void UpdateMouse(DEVICEINPUT::MOUSE& mouse, const RawMouseEvent& event) {
  if ((event.flags & raw_flags::kMoveAbsolute) != 0) {
    mouse.x = event.lastX;
    mouse.y = event.lastY;
    mouse.wheel = event.buttonData;
  } else {
    // Relative movement accumulates; the sums wrap as the system's 32-bit fields do.
    mouse.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(mouse.x) +
                                        static_cast<std::uint32_t>(event.lastX));
    mouse.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(mouse.y) +
                                        static_cast<std::uint32_t>(event.lastY));
    mouse.wheel += event.buttonData;
  }
  const std::uint16_t b = event.buttonFlags;
  if (b & raw_flags::kLeftDown) mouse.leftButton = 1;
  if (b & raw_flags::kMiddleDown) mouse.middleButton = 1;
  if (b & raw_flags::kRightDown) mouse.rightButton = 1;
  if (b & raw_flags::kXButton1Down) mouse.xButton1 = 1;
  if (b & raw_flags::kXButton2Down) mouse.xButton2 = 1;
  if (b & raw_flags::kLeftUp) mouse.leftButton = 0;
  if (b & raw_flags::kMiddleUp) mouse.middleButton = 0;
  if (b & raw_flags::kRightUp) mouse.rightButton = 0;
  if (b & raw_flags::kXButton1Up) mouse.xButton1 = 0;
  if (b & raw_flags::kXButton2Up) mouse.xButton2 = 0;
}

RawRecordKind ParseRawRecord(const std::uint8_t* record, std::size_t size, RawKeyboardEvent& keyboard,
                             RawMouseEvent& mouse) {
  if (record == nullptr || size < raw_layout::kHeaderSize) return RawRecordKind::Other;
  const std::uint32_t type = Read32(record, raw_layout::kType);
  if (type == raw_layout::kTypeKeyboard && size >= raw_layout::kKeyboardRecordSize) {
    keyboard.makeCode = Read16(record, raw_layout::kMakeCode);
    keyboard.flags = Read16(record, raw_layout::kKeyFlags);
    keyboard.virtualKey = Read16(record, raw_layout::kVirtualKey);
    keyboard.message = Read32(record, raw_layout::kMessage);
    return RawRecordKind::Keyboard;
  }
  if (type == raw_layout::kTypeMouse && size >= raw_layout::kMouseRecordSize) {
    mouse.flags = Read16(record, raw_layout::kMouseFlags);
    mouse.buttonFlags = Read16(record, raw_layout::kButtonFlags);
    mouse.buttonData = Read16(record, raw_layout::kButtonData);
    mouse.lastX = static_cast<std::int32_t>(Read32(record, raw_layout::kLastX));
    mouse.lastY = static_cast<std::int32_t>(Read32(record, raw_layout::kLastY));
    return RawRecordKind::Mouse;
  }
  return RawRecordKind::Other;
}

// ---------------------------------------------------------------- CRawInput

CRawInput::CRawInput(RawInputApi& api, SystemMessages& messages, Clock& clock)
    : api_(api),
      devices_{RawInputDevice{1, 2, 0, 0}, RawInputDevice{1, 6, 0, 0}},
      log_(messages, clock, error_rules::kRawInput),
      Mouse(*this, 0),
      Keyboard(*this, 1) {}

bool CRawInput::CDevice::Register(std::uintptr_t window, int mode) {
  RawInputDevice& device = owner_.devices_[static_cast<std::size_t>(index_)];
  device.flags = mode == 1 ? raw_flags::kInputSink : 0;
  device.target = window;
  const bool registered = owner_.api_.RegisterDevice(device);
  // The raw input rule judges (UINT)-1 as failure.
  return owner_.log_.CheckResult(registered ? 1 : -1,
                                 u"CDevice,Register(),RegisterRawInputDevices(),Specified window,");
}

bool CRawInput::CDevice::UnRegister() {
  RawInputDevice& device = owner_.devices_[static_cast<std::size_t>(index_)];
  device.target = 0;
  device.flags = raw_flags::kRemove;
  if (owner_.api_.RegisterDevice(device)) return true;
  owner_.log_.AddError(u"CDevice,UnRegister(),RegisterRawInputDevices(),NULL,Function failed");
  return false;
}

bool CRawInput::CDevice::Query(std::uintptr_t handle, DEVICEINPUT& state) {
  size_ = 0;
  if (owner_.api_.ReadInputData(handle, nullptr, &size_) != 0) {
    owner_.log_.AddError(u"CDevice,Query(),GetRawInputData,NULL,Could not determine needed buffer size");
    return false;
  }
  if (size_ <= kInlineBufferSize) {
    std::uint32_t capacity = size_;
    const std::uint32_t copied = owner_.api_.ReadInputData(handle, buffer_, &capacity);
    if (copied == raw_flags::kReadFailed) {
      owner_.log_.AddError(u"CDevice,Query(),GetRawInputData(),Static buffer,Function failed");
      return false;
    }
    return Decode(buffer_, copied < size_ ? copied : size_, state);
  }
  // Only records larger than the inline buffer get a buffer of their own.
  std::unique_ptr<std::uint8_t[]> record(new std::uint8_t[size_]());
  std::uint32_t capacity = size_;
  const std::uint32_t copied = owner_.api_.ReadInputData(handle, record.get(), &capacity);
  if (copied == raw_flags::kReadFailed) {
    owner_.log_.AddError(u"CDevice,Query(),GetRawInputData(),Dynamic buffer,Function failed");
    return false;
  }
  return Decode(record.get(), copied < size_ ? copied : size_, state);
}

bool CRawInput::CDevice::Decode(const std::uint8_t* record, std::size_t size, DEVICEINPUT& state) {
  RawKeyboardEvent keyboard;
  RawMouseEvent mouse;
  switch (ParseRawRecord(record, size, keyboard, mouse)) {
    case RawRecordKind::Keyboard: {
      LockStates locks;
      locks.capsLock = (owner_.api_.KeyState(raw_flags::kVirtualCapital) & 1) != 0;
      locks.scrollLock = (owner_.api_.KeyState(raw_flags::kVirtualScroll) & 1) != 0;
      locks.numLock = (owner_.api_.KeyState(raw_flags::kVirtualNumLock) & 1) != 0;
      UpdateKeyboard(state.keyboard, keyboard, locks);
      break;
    }
    case RawRecordKind::Mouse:
      UpdateMouse(state.mouse, mouse);
      break;
    case RawRecordKind::Other:
      break;
  }
  return true;
}

}  // namespace varnolet
