#pragma once
// The program's logo picture, painted at any size: three notes on a sheet joined by links,
// and the program's name.
#include <QPixmap>
#include <QSize>

namespace qel {

QPixmap PaintLogo(const QSize& size);

} // namespace qel
