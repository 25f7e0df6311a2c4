#pragma once
// Rich text into a QTextDocument: the reader under the rich-text control.
#include <string>
#include <string_view>

class QString;
class QTextDocument;

namespace qel {

// Replaces the document's content with the text and formats of an RTF string ("{\rtf1..."),
// read by the same scanner as the search's plain text (platform/RtfTextScanner): paragraphs,
// line breaks and tabs; bold, italic, underline, strike-out, font (with its charset), size,
// colour, highlight, shading, super- and subscript, raised and lowered text; alignment,
// indents, spacing, line spacing, tab stops, bullet and numbered lists; tables; pictures
// and objects, shown as images and kept as the groups they were read from. Text is decoded in
// the code page of its font's charset (or "\ansicpg"); "\uN" is read with its fallback skipped,
// "\upr" by its Unicode half. Hidden text ("\v") is kept in objects that do not show.
// Destinations without text (style sheet, information, ...) are skipped, unknown words ignored.
// Text that does not start with "{\rtf" is taken as plain Windows-1252 text.
// Bad or truncated input ends the text where the input ends; nothing is thrown.
void ReadRtf(std::string_view rtf, QTextDocument& document);

// The Windows-1252 text of a document in the form RtfToPlainText gives for the RTF it was read
// from: paragraphs and line breaks end with CR LF, table cells with a tab and rows with CR LF;
// pictures are no text.
std::string PlainTextOf(const QTextDocument& document);
// The same text with every character the document holds.
QString PlainUnicodeOf(const QTextDocument& document);

} // namespace qel
