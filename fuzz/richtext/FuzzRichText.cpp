// Any bytes: the reader must neither crash nor read past them, and what the writer makes of the
// document must read back to itself. The editor's reader and the search's agree on the text.
#include "platform/RtfText.h"
#include "windows/richedit/RtfReader.h"
#include "windows/richedit/RtfWriter.h"

#include <QGuiApplication>
#include <QString>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "fuzz_richtext";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  QTextDocument document;
  qel::ReadRtf(input, document);
  // The editor shows the text the search reads.
  if (qel::IsRtfText(input) && qel::PlainTextOf(document) != qel::RtfToPlainText(input)) __builtin_trap();
  QString shown = qel::PlainUnicodeOf(document);
  shown.replace(QChar(0x2011), QLatin1Char('-'));
  std::string searched;
  qel::RtfToPlainUtf8(input, searched);
  if (qel::IsRtfText(input) && shown.toStdString() != searched) __builtin_trap();
  const std::string written = qel::WriteRtf(document);
  QTextDocument again;
  qel::ReadRtf(written, again);
  if (qel::WriteRtf(again) != written) __builtin_trap();
  return 0;
}
