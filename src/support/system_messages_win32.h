#pragma once

#include "support/system_messages.h"

namespace varnolet {

class Win32SystemMessages final : public SystemMessages {
 public:
  std::u16string MessageText(std::uint32_t code, MessageWidth width) override;
  std::uint32_t LastErrorCode() override;
};

}  // namespace varnolet
