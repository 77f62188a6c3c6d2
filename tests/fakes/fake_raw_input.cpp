#include "fakes/fake_raw_input.h"

#include <algorithm>
#include <cstring>

namespace varnolet::fakes {

namespace {
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kInsufficientBuffer = 122;
constexpr std::uint32_t kInvalidWindowHandle = 1400;

void Put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> Header(std::uint32_t type, std::size_t size) {
  std::vector<std::uint8_t> bytes(size, 0);
  Put32(bytes, raw_layout::kType, type);
  Put32(bytes, raw_layout::kSize, static_cast<std::uint32_t>(size));
  Put32(bytes, 8, 0x10055);  // a device handle
  return bytes;
}
}  // namespace

std::vector<std::uint8_t> KeyboardRecord(std::uint16_t makeCode, std::uint16_t flags,
                                         std::uint16_t virtualKey, std::uint32_t message) {
  std::vector<std::uint8_t> bytes = Header(raw_layout::kTypeKeyboard, raw_layout::kKeyboardRecordSize);
  Put16(bytes, raw_layout::kMakeCode, makeCode);
  Put16(bytes, raw_layout::kKeyFlags, flags);
  Put16(bytes, raw_layout::kVirtualKey, virtualKey);
  Put32(bytes, raw_layout::kMessage, message);
  return bytes;
}

std::vector<std::uint8_t> MouseRecord(std::uint16_t flags, std::uint16_t buttonFlags,
                                      std::uint16_t buttonData, std::int32_t lastX, std::int32_t lastY) {
  std::vector<std::uint8_t> bytes = Header(raw_layout::kTypeMouse, raw_layout::kMouseRecordSize);
  Put16(bytes, raw_layout::kMouseFlags, flags);
  Put16(bytes, raw_layout::kButtonFlags, buttonFlags);
  Put16(bytes, raw_layout::kButtonData, buttonData);
  Put32(bytes, raw_layout::kLastX, static_cast<std::uint32_t>(lastX));
  Put32(bytes, raw_layout::kLastY, static_cast<std::uint32_t>(lastY));
  return bytes;
}

bool FakeRawInput::Error(std::uint32_t code) {
  system_.lastError = code;
  return false;
}

bool FakeRawInput::RegisterDevice(const RawInputDevice& device) {
  calls.push_back(device);
  if (auto code = failures.Take("RegisterDevice")) return Error(*code);
  auto same = [&device](const RawInputDevice& d) {
    return d.usagePage == device.usagePage && d.usage == device.usage;
  };
  if ((device.flags & raw_flags::kRemove) != 0) {
    // Removing takes no target; removing a class that is not registered fails.
    if (device.target != 0) return Error(kInvalidParameter);
    auto found = std::find_if(registered_.begin(), registered_.end(), same);
    if (found == registered_.end()) return Error(kInvalidParameter);
    registered_.erase(found);
    return true;
  }
  if ((device.flags & raw_flags::kInputSink) != 0 && device.target == 0) return Error(kInvalidParameter);
  if (device.target == 0xDEAD) return Error(kInvalidWindowHandle);  // a window that does not exist
  auto found = std::find_if(registered_.begin(), registered_.end(), same);
  if (found != registered_.end())
    *found = device;
  else
    registered_.push_back(device);
  return true;
}

std::uint32_t FakeRawInput::ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) {
  if (auto code = failures.Take(data == nullptr ? "SizeQuery" : "ReadInputData")) {
    Error(*code);
    return raw_flags::kReadFailed;
  }
  auto record = records_.find(handle);
  if (record == records_.end()) {
    Error(kInvalidHandle);
    return raw_flags::kReadFailed;
  }
  const auto length = static_cast<std::uint32_t>(record->second.size());
  if (data == nullptr) {
    *size = length;
    return 0;
  }
  if (*size < length) {
    *size = length;
    Error(kInsufficientBuffer);
    return raw_flags::kReadFailed;
  }
  if (length != 0) std::memcpy(data, record->second.data(), length);
  return length;
}

std::int16_t FakeRawInput::KeyState(int virtualKey) {
  auto found = keyStates.find(virtualKey);
  return found == keyStates.end() ? 0 : found->second;
}

std::uintptr_t FakeRawInput::Deliver(std::vector<std::uint8_t> record) {
  const std::uintptr_t handle = nextHandle_;
  nextHandle_ += 4;
  records_[handle] = std::move(record);
  return handle;
}

}  // namespace varnolet::fakes
