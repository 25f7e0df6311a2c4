#pragma once
// A document's paragraphs and runs with every format rich text carries, as one string, so that
// tests compare what a reader made of RTF.
#include <string>
#include <vector>

class QTextDocument;

namespace qel::test {

std::string DescribeRtfDocument(const QTextDocument& document);

// A note through the control: it shows `shown` (as DescribeRtfDocument gives it), an unedited
// store gives its bytes back, one character typed at the start keeps everything (the store holds
// each of `stored`), and the control reads what it stored the same and writes it alike.
// Returns what was stored.
std::string ExpectKeptThroughAnEdit(const std::string& rtf, const std::string& shown,
                                    const std::vector<const char*>& stored);

} // namespace qel::test
