// A portable UTF-8 codec that behaves as the system's conversion does:
// lone surrogates encode as U+FFFD, decoding rejects anything that is not
// well-formed UTF-8 (overlong forms, encoded surrogates, values past U+10FFFF,
// truncated sequences).
#pragma once

#include "support/utf8.h"

namespace varnolet::fakes {

class FakeUtf8 final : public Utf8Codec {
 public:
  std::string Encode(std::u16string_view text) override;
  bool Decode(std::string_view bytes, std::u16string& text) override;
};

}  // namespace varnolet::fakes
