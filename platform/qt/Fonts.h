#pragma once
// The font families a font box offers.
#include <QStringList>

namespace qel {

// The installed families by name alone, sorted, each once: a family that several foundries
// supply ("C059 [UKWN]", "C059 [URW]") is listed as "C059", the name a font is chosen by.
QStringList FontFamilyNames();
// The family name without a foundry in brackets at its end.
QString WithoutFoundry(const QString& family);

} // namespace qel
