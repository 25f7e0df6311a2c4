#pragma once
// Rich text into a QTextDocument: the reader under the rich-text control.
#include <string>
#include <string_view>

class QTextDocument;

namespace qel {

// Replaces the document's content with the text and formats of an RTF string ("{\rtf1..."):
// font and colour tables, paragraphs, line breaks and tabs, bold, italic, underline,
// strike-out, font, size, colour, alignment, indents and bullets; "\'hh" bytes are
// Windows-1252, "\uN" is read with its fallback skipped. "{\*...}" groups and destinations
// without text (pictures, style sheet, information, ...) are skipped, unknown words ignored.
// Text that does not start with "{\rtf" is taken as plain Windows-1252 text.
// Bad or truncated input ends the text where the input ends; nothing is thrown.
void ReadRtf(std::string_view rtf, QTextDocument& document);

// The Windows-1252 text of a document in the form RtfToPlainText gives for the RTF it was read
// from: paragraphs and line breaks end with CR LF; pictures are no text.
std::string PlainTextOf(const QTextDocument& document);

} // namespace qel
