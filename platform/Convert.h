#pragma once
// Integer text conversions of the run-time library.
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// Decimal text to a 32-bit signed integer: optional leading blanks, an optional sign, digits.
// Anything else, or a value out of range, raises EConvertError.
int32_t StrToInt(std::string_view text);
// As StrToInt, without raising: false when the text is no integer.
bool TryStrToInt(std::string_view text, int32_t& value);
std::string IntToStr(long long value);

} // namespace qel
