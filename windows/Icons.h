#pragma once
// The main window's images, painted by the program: the tool-bar images (IL_QELMain) and the
// item icons shared by the navigator and the search results (IL_Nav).
#include <QIcon>
#include <QList>

namespace qel {

// Tool-bar images 0 to 20 (unused places are empty).
QList<QIcon> ToolBarImages();
// Item icons: 0 project, 1 sheet, 2 note not placed on the sheet in question, 3 attachment,
// 4 note placed on it, 5 and 6 the hidden and shown property pane, 7 and 8 further buttons.
QList<QIcon> NavigatorImages();

} // namespace qel
