#pragma once
// A QTextDocument as rich text: the writer under the rich-text control.
#include <string>

class QTextDocument;

namespace qel {

// The whole document as an RTF string of ASCII characters in the form the rich-text control
// of the data files writes: "{\rtf1\ansi\ansicpg1252\deff0...", a font table (the document's
// default font first, each font with its charset) and, when colours are used, a colour table;
// then the paragraphs and table rows with their formats and lists, the runs with theirs, and
// pictures and objects as the groups they were read from (others as PNG pictures). Characters
// of Windows-1252 above ASCII are written as "\'hh", others, and all non-ASCII text of a font
// of another code page, as "\uN" with that code page's byte or "?" after it. ReadRtf reads it
// back to the same text and formats.
std::string WriteRtf(const QTextDocument& document);

} // namespace qel
