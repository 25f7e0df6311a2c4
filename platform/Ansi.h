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
// Windows-1252 byte of a character, or -1 when the code page has none.
int AnsiByteOf(char32_t c);
// Characters the code page cannot hold become "?" (a surrogate pair becomes one "?").
std::string Utf16ToAnsi(std::u16string_view text);

// UTF-8 forms, for file names, the search and tests.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view utf8);
// Appends the UTF-8 form of Windows-1252 text, of UTF-16 text (a lone surrogate becomes
// U+FFFD) or of one code point.
void AppendAnsiAsUtf8(std::string_view text, std::string& out);
void AppendUtf16AsUtf8(std::u16string_view text, std::string& out);
void AppendUtf8(char32_t codePoint, std::string& out);
// Writes the UTF-8 form of a code point (1 to 4 bytes) and returns its length.
size_t EncodeUtf8(char32_t codePoint, char* to);

} // namespace qel
