#pragma once
// Windows-1252 text: the program's strings are std::string of single-byte ANSI characters.
#include <string>
#include <string_view>

namespace qel {

// Lower-case of one Windows-1252 byte (A-Z, the accented capitals, Š Œ Ž Ÿ).
unsigned char AnsiLowerChar(unsigned char c);
std::string AnsiLowerCase(std::string_view text);

// UTF-16 code unit of a Windows-1252 byte. The five bytes the code page leaves undefined
// map to the C1 control of the same value, so every byte survives a round trip.
char16_t AnsiCharToUtf16(unsigned char c);
std::u16string AnsiToUtf16(std::string_view text);
// Characters the code page cannot hold become "?" (a surrogate pair becomes one "?").
std::string Utf16ToAnsi(std::u16string_view text);

// UTF-8 forms, for file names and tests.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view utf8);

} // namespace qel
