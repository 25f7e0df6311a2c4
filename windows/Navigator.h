#pragma once
// Stand-in for the navigator window until the full one is built: it binds the project, lists
// its sheets, notes and attachments in a plain tree, and has the property pane whose width the
// main window's layout command toggles. No property pages, editing or drag and drop yet.
#include <QWidget>

class QTreeWidget;

namespace qel {

class TContainer;
class TPoolItem;

class TNavForm : public QWidget {
  Q_OBJECT
public:
  explicit TNavForm(QWidget* parent = nullptr);
  ~TNavForm() override;

  // Binds a project and rebuilds the tree. Null unbinds it and empties the tree; the main
  // window does this before it frees a project.
  void SetContainer(TContainer* container);
  // A new or changed item (or null): its node is added or updated; with NotifySheets the
  // sheet windows are refreshed too.
  void RefreshItem(TPoolItem* Item, bool NotifySheets);
  // Stores the shown property page into its item (the stand-in has no pages).
  void StoreProperties();
  bool PropertiesVisible() const { return PaneShown; }
  // Hides the property pane by narrowing the window, or shows it by widening it again.
  void btn_togglepropClick();

  TContainer* Container = nullptr;
  bool PaneShown = true;
  int PaneWidth = 0;
  QWidget* Panel1;    // the tree panel, fixed width
  QWidget* Splitter1; // between the panels
  QWidget* Panel2;    // the property pane, takes what is left
  QTreeWidget* TV_Container;

private:
  // The window frame: the multiple-document sub-window when the window is one.
  QWidget* Frame();
};

extern TNavForm* NavForm;

} // namespace qel
