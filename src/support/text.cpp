#include "support/text.h"

namespace varnolet {

std::u16string Ascii(std::string_view ascii) {
  std::u16string out;
  out.reserve(ascii.size());
  for (char c : ascii) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return out;
}

std::string Narrow(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::u16string Decimal(std::int64_t value) {
  char16_t digits[24];
  int n = 0;
  const bool negative = value < 0;
  // Work with the magnitude as unsigned so that the smallest value does not overflow.
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::u16string out;
  out.reserve(static_cast<std::size_t>(n) + 1);
  if (negative) out.push_back(u'-');
  while (n > 0) out.push_back(digits[--n]);
  return out;
}

std::u16string HexLower(std::uint32_t value, int width) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(out.size()) < width) out.insert(out.begin(), u'0');
  return out;
}

char16_t UpperChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if ((c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  return c;
}

char16_t LowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if ((c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
  return c;
}

}  // namespace varnolet
