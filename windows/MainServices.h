#pragma once
// What the windows ask of the main window. The main window implements it and sets MainServices
// when it is made; a window made without a main window (a test, a tool) finds it null.
//
// Keeping windows in step: after a change to the project, call RefreshNavigators (a new or
// changed item, or null) and RefreshSheetWindows, which also sends Notices()->ItemChanged so
// every property window refills what its user has not changed. Before the project is freed,
// Notices() sends ProjectReleasing: a window that keeps the project or one of its items drops
// it there.
#include <QIcon>
#include <QList>
#include <QObject>
#include <string>

#include <memory>

class QComboBox;
class QMenuBar;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace qel {

class TContainer;
class TPoolItem;
class TSheetItem;

// The main window's notices to the windows.
class TMainNotices : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;
signals:
  // Every window with pending edits stores them into its items now.
  void PendingEditsRequested();
  // An item (null: any item) changed: every window showing it shows the new values of the
  // fields its user has not changed there.
  void ItemChanged(const void* item);
  // The project is about to be freed: drop every reference to it and its items.
  void ProjectReleasing(qel::TContainer* project);
};

// Kept by a window's command that lets events run while it works (see HoldProject).
class TProjectHold {
public:
  virtual ~TProjectHold() = default;
};

class IMainServices {
public:
  virtual ~IMainServices() = default;

  // The main window itself (the owner of free windows, the widget whose updates a long
  // operation holds back).
  virtual QWidget* MainWidget() = 0;
  virtual TMainNotices* Notices() = 0;
  // The multiple-document area that holds the child windows.
  virtual QMdiArea* ChildArea() const = 0;
  // The menu bar, whose shortcuts free windows pass on.
  virtual QMenuBar* MainMenu() const = 0;
  // The zoom box of the tool bar.
  virtual QComboBox* ZoomBox() const = 0;
  // The item icons the navigator, the property windows and the search results share.
  virtual QList<QIcon>& ItemImages() = 0;

  // Hands a new or changed item (or null) to every navigator window.
  virtual void RefreshNavigators(TPoolItem* Item) = 0;
  // Redraws every sheet window; closes one whose sheet has left the project.
  virtual void RefreshSheetWindows() = 0;
  // Makes every navigator store its shown property page.
  virtual void StoreNavigatorEdits() = 0;
  // Whether a sheet window shows the sheet.
  virtual bool IsSheetOpen(const TSheetItem* Sheet) const = 0;
  // Aggregation notes follow their sheets' names and colours.
  virtual void SyncSheetNotes() = 0;
  // Lays out the children: the navigator at the left, every other child beside it.
  virtual void TB_FitToScreenClick() = 0;
  // Makes a window a child of the multiple-document area and shows it.
  virtual QMdiSubWindow* AddChildWindow(QWidget* window) = 0;
  // The folder a picture chosen for a note is copied into: the project's own; empty while the
  // project has no name (its first save copies the pictures into its folder).
  virtual std::string PictureFolder() const = 0;
  // Client size: the main window less its menu bar (tool bars included).
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual int ToolBarMainHeight() const = 0;

  // Places a free property window at its size (250 wide, as high as the client less the tool
  // bar) below the tool bar, beside the window the user worked in (WorkedIn, or the one with
  // the focus when null) rather than over it.
  virtual void PlacePropertyWindow(QWidget* window, const QWidget* WorkedIn = nullptr) const = 0;

  // While the hold lives the project counts as busy: the commands that replace it or close the
  // main window wait and run once the last hold is gone. Null when nothing needs holding.
  virtual std::unique_ptr<TProjectHold> HoldProject() { return nullptr; }
};

// Set by the main window while it lives.
extern IMainServices* MainServices;

} // namespace qel
