#pragma once

#include "support/utf8.h"

namespace varnolet {

class Win32Utf8Codec final : public Utf8Codec {
 public:
  std::string Encode(std::u16string_view text) override;
  bool Decode(std::string_view bytes, std::u16string& text) override;
};

}  // namespace varnolet
