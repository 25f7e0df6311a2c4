#pragma once
// A QTextDocument as rich text: the writer under the rich-text control.
#include <string>

class QTextDocument;

namespace qel {

// The whole document as an RTF string of ASCII characters in the form the rich-text control
// of the data files writes: "{\rtf1\ansi\ansicpg1252\deff0...", a font table (the document's
// default font first) and, when colours are used, a colour table; then the paragraphs with
// their alignment, indents and bullets, and the runs with font, size, bold, italic, underline,
// strike-out and colour. Characters of Windows-1252 above ASCII are written as "\'hh", others
// as "\uN?". ReadRtf reads it back to the same text and formats.
std::string WriteRtf(const QTextDocument& document);

} // namespace qel
