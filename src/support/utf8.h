// Port: UTF-8 conversion as the system does it (WideCharToMultiByte and
// MultiByteToWideChar with CP_UTF8).
#pragma once

#include <string>
#include <string_view>

namespace varnolet {

class Utf8Codec {
 public:
  virtual ~Utf8Codec() = default;
  // Encodes UTF-16; a lone surrogate becomes U+FFFD, as the system does.
  virtual std::string Encode(std::u16string_view text) = 0;
  // Decodes strictly: false (and `text` empty) for bytes that are not UTF-8.
  virtual bool Decode(std::string_view bytes, std::u16string& text) = 0;
};

}  // namespace varnolet
