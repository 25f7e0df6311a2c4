#pragma once
// A document's paragraphs and runs with every format rich text carries, as one string, so that
// tests compare what a reader made of RTF.
#include <string>

class QTextDocument;

namespace qel::test {

std::string DescribeRtfDocument(const QTextDocument& document);

} // namespace qel::test
