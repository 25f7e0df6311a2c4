#pragma once
// The program's logo picture, painted at any size: three notes on a sheet joined by links,
// and the program's name; its icon is the sheet alone.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace qel {

QPixmap PaintLogo(const QSize& size);
// The windows' icon, at the sizes title bars and task bars ask for.
QIcon ProgramIcon();

} // namespace qel
