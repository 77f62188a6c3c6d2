#pragma once

#include "input/raw_input.h"

namespace varnolet {

class Win32RawInputApi final : public RawInputApi {
 public:
  bool RegisterDevice(const RawInputDevice& device) override;
  std::uint32_t ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) override;
  std::int16_t KeyState(int virtualKey) override;
};

}  // namespace varnolet
