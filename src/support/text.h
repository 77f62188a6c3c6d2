// Small text helpers of the portable core. Text is UTF-16 (std::u16string)
// everywhere, as in the system; conversion to the 16-bit wchar_t of Win32
// happens only in the adapters (wide_win32.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnolet {

// Widens 7-bit ASCII to UTF-16 (for numbers and fixed ASCII texts).
std::u16string Ascii(std::string_view ascii);

// Narrows UTF-16 to 7-bit ASCII, '?' for anything else (test output, diagnostics).
std::string Narrow(std::u16string_view text);

// Plain decimal without leading zeros or separators ("-12", "0", "7601").
std::u16string Decimal(std::int64_t value);

// Lower-case hexadecimal, at least `width` digits, zero-padded.
std::u16string HexLower(std::uint32_t value, int width);

// Upper/lower case of one UTF-16 unit, as the wide-character case functions do
// for the characters a path can hold (ASCII and the Latin-1/Greek/Cyrillic letters).
char16_t UpperChar(char16_t c);
char16_t LowerChar(char16_t c);

}  // namespace varnolet
