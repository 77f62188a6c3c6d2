#include "fakes/fake_utf8.h"

#include <cstdint>

namespace varnolet::fakes {

namespace {

void Put(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string FakeUtf8::Encode(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      Put(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      Put(out, 0xFFFD);
    } else {
      Put(out, unit);
    }
  }
  return out;
}

bool FakeUtf8::Decode(std::string_view bytes, std::u16string& text) {
  text.clear();
  std::u16string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::uint32_t cp = 0;
    int more = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      cp = lead & 0x1F, more = 1, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      cp = lead & 0x0F, more = 2, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      cp = lead & 0x07, more = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(more) >= bytes.size() && more != 0) return false;
    for (int k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      cp = cp << 6 | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<std::size_t>(more) + 1;
  }
  text = std::move(out);
  return true;
}

}  // namespace varnolet::fakes
