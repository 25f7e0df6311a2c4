#pragma once
// Stand-in for the sheet window until the full one is built: a multiple-document child bound
// to one sheet that paints the sheet's colour and name and follows its zoom. No notes, links
// or mouse handling yet.
#include "model/PoolItem.h"

#include <QWidget>

namespace qel {

class TContainer;
class TSheetItem;

class TDrawSheet : public QWidget {
  Q_OBJECT
public:
  explicit TDrawSheet(QWidget* parent = nullptr);
  ~TDrawSheet() override;

  // Binds the window to a sheet of the project, right after creation.
  void SetSheet(TContainer* container, TSheetItem* sheet);
  // The sheet shown; null once it has been deleted or its project freed.
  TSheetItem* GetSheet() const { return Sheet.Get(); }
  // Repaints; with Notify also refreshes the navigators and the other sheet windows.
  void Redraw(bool Notify);
  void ZoomIn();
  void ZoomOut();
  void SetZoom(int Percent);

  TContainer* Container = nullptr; // not owned
  TItemRef<TSheetItem> Sheet;

protected:
  void paintEvent(QPaintEvent* event) override;
};

// The sheet window made last by the main window, the navigator or the search window.
extern TDrawSheet* DrawSheet;

} // namespace qel
