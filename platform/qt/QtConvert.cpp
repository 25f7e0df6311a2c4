#include "QtConvert.h"

#include "platform/Ansi.h"

namespace qel {

QString ToQString(std::string_view ansi) {
  std::u16string u = AnsiToUtf16(ansi);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString& text) {
  return Utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                         static_cast<size_t>(text.size())));
}

QColor ToQColor(TColor color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

TColor FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

QString MenuText(const QString& name) { return QString(name).replace('&', "&&"); }

} // namespace qel
