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
// A name as the text of a menu entry or button: every "&" doubled, so none marks a shortcut
// and the name shows as it is.
QString MenuText(const QString& name);

} // namespace qel
