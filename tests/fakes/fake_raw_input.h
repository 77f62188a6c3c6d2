// A scripted raw input system: records by handle, the registered device
// classes as the system keeps them, lock-key states, call recording and
// failure injection. Operations for FailureScript: "RegisterDevice",
// "SizeQuery" (GetRawInputData without a buffer), "ReadInputData" (with one).
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "fakes/failure_script.h"
#include "fakes/fake_system.h"
#include "input/raw_input.h"

namespace varnolet::fakes {

// Builders of raw input records in the x86_64 layout.
std::vector<std::uint8_t> KeyboardRecord(std::uint16_t makeCode, std::uint16_t flags,
                                         std::uint16_t virtualKey, std::uint32_t message);
std::vector<std::uint8_t> MouseRecord(std::uint16_t flags, std::uint16_t buttonFlags,
                                      std::uint16_t buttonData, std::int32_t lastX, std::int32_t lastY);

inline constexpr std::uint32_t kKeyDown = 0x0100;     // WM_KEYDOWN
inline constexpr std::uint32_t kKeyUp = 0x0101;       // WM_KEYUP
inline constexpr std::uint32_t kSysKeyDown = 0x0104;  // WM_SYSKEYDOWN
inline constexpr std::uint32_t kSysKeyUp = 0x0105;    // WM_SYSKEYUP

class FakeRawInput final : public RawInputApi {
 public:
  explicit FakeRawInput(FakeSystem& system) : system_(system) {}

  bool RegisterDevice(const RawInputDevice& device) override;
  std::uint32_t ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) override;
  std::int16_t KeyState(int virtualKey) override;

  // Puts a record behind a handle; returns the handle.
  std::uintptr_t Deliver(std::vector<std::uint8_t> record);
  // Frees a record, as the system does once its WM_INPUT message is handled.
  void Retire(std::uintptr_t handle) { records_.erase(handle); }
  // Records delivered and not yet retired.
  int Pending() const { return static_cast<int>(records_.size()); }
  // Registered device classes, as GetRegisteredRawInputDevices would list them.
  const std::vector<RawInputDevice>& Registered() const { return registered_; }

  std::map<int, std::int16_t> keyStates;  // GetKeyState results by virtual key
  std::vector<RawInputDevice> calls;      // every descriptor passed to RegisterDevice
  FailureScript failures;

 private:
  bool Error(std::uint32_t code);

  FakeSystem& system_;
  std::map<std::uintptr_t, std::vector<std::uint8_t>> records_;
  std::uintptr_t nextHandle_ = 0x1000;
  std::vector<RawInputDevice> registered_;
};

}  // namespace varnolet::fakes
