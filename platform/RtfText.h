#pragma once
// Plain text of rich text: what a reader sees of an RTF string, without its markup.
#include <string>
#include <string_view>

namespace qel {

// True when the text starts with "{\rtf" and is therefore read as rich text.
bool IsRtfText(std::string_view text);

// The Windows-1252 text of an RTF string, as the editor shows it (RtfTextScanner reads both).
// Tables, information, "{\*...}" destinations, list marks, pictures, binary data and hidden
// text ("\v") are skipped; text and "\'hh" bytes are decoded in the code page of their font's
// charset (or "\ansicpg"), "\uN" with its "\ucN" fallback, "\upr" by its Unicode half; "\par",
// "\row" and "\line" become CR LF,
// "\tab" and "\cell" a tab. Characters that Windows-1252 lacks become "?". Truncated or unbalanced input
// ends the text where the input ends; nothing is read past it and nothing is thrown.
// Text that does not start with "{\rtf" is returned unchanged.
std::string RtfToPlainText(std::string_view rtf);
// The same, written into out (replacing its content) so that a caller can reuse its buffer.
void RtfToPlainText(std::string_view rtf, std::string& out);
// The same text in Unicode (UTF-8), as the editor shows it: every character is kept (a
// non-breaking hyphen is a hyphen, a lone surrogate U+FFFD). Text that does not start with
// "{\rtf" is Windows-1252 and is converted.
void RtfToPlainUtf8(std::string_view rtf, std::string& out);

} // namespace qel
