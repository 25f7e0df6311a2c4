#pragma once
// The GUI boundary: Windows-1252 strings and colour values to and from Qt's types.
#include "platform/Colors.h"

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

namespace qel {

QString ToQString(std::string_view ansi);
// Characters Windows-1252 cannot hold become "?".
std::string FromQString(const QString& text);
// The colour's red, green and blue bytes (the high byte is ignored).
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

} // namespace qel
