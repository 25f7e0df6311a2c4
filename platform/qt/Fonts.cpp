#include "Fonts.h"

#include <QFontDatabase>

namespace qel {

QString WithoutFoundry(const QString& family) {
  const qsizetype open = family.lastIndexOf(" [");
  if (open > 0 && family.endsWith(']')) return family.left(open);
  return family;
}

QStringList FontFamilyNames() {
  QStringList names;
  for (const QString& family : QFontDatabase::families())
    names.append(WithoutFoundry(family));
  names.sort();
  names.removeDuplicates();
  return names;
}

} // namespace qel
