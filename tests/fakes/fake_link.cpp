#include "fakes/fake_link.h"

#include <optional>

namespace varnolet::fakes {

namespace {

std::optional<std::uint32_t> Hex(const std::u16string& text, std::size_t at, std::size_t digits) {
  std::uint32_t value = 0;
  for (std::size_t i = at; i < at + digits; ++i) {
    const char16_t c = text[i];
    std::uint32_t digit = 0;
    if (c >= u'0' && c <= u'9')
      digit = static_cast<std::uint32_t>(c - u'0');
    else if (c >= u'a' && c <= u'f')
      digit = static_cast<std::uint32_t>(c - u'a' + 10);
    else if (c >= u'A' && c <= u'F')
      digit = static_cast<std::uint32_t>(c - u'A' + 10);
    else
      return std::nullopt;
    value = value << 4 | digit;
  }
  return value;
}

std::optional<ComGuid> Parse(const std::u16string& text) {
  if (text.size() != 38 || text[0] != u'{' || text[37] != u'}' || text[9] != u'-' || text[14] != u'-' ||
      text[19] != u'-' || text[24] != u'-')
    return std::nullopt;
  ComGuid guid;
  const auto data1 = Hex(text, 1, 8);
  const auto data2 = Hex(text, 10, 4);
  const auto data3 = Hex(text, 15, 4);
  if (!data1 || !data2 || !data3) return std::nullopt;
  guid.data1 = *data1;
  guid.data2 = static_cast<std::uint16_t>(*data2);
  guid.data3 = static_cast<std::uint16_t>(*data3);
  const std::size_t starts[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    const auto byte = Hex(text, starts[i], 2);
    if (!byte) return std::nullopt;
    guid.data4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(*byte);
  }
  return guid;
}

}  // namespace

std::int32_t FakeClsid::ClsidFromText(const std::u16string& text, ComGuid* guid) {
  texts.push_back(text);
  if (auto code = failures.Take("ClsidFromText")) return static_cast<std::int32_t>(*code);
  const std::optional<ComGuid> parsed = Parse(text);
  if (!parsed) return clsid_status::kClassString;
  *guid = *parsed;
  return 0;
}

ComGuid GuidOf(const std::u16string& text) {
  return Parse(text).value_or(ComGuid{});
}

}  // namespace varnolet::fakes
