#include "Search.h"

#include "search/ContainerSearch.h"
#include "SearchResultsTree.h"
#include "TVEngine.h"
#include "model/Container.h"
#include "windows/Icons.h"
#include "windows/MainServices.h"
#include "windows/props/PropertyForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace qel {

TfrmSearch* frmSearch = nullptr;

TfrmSearch::TfrmSearch(QWidget* owner) : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Search");
  resize(181, 688);
  CreateComponents();
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this](TContainer* project) {
      if (project != Container) return;
      Unbind();
      close();
    });
}

TfrmSearch::~TfrmSearch() {
  if (frmSearch == this) frmSearch = nullptr;
  // Also the windows opened from those opened here, which Qt frees after this body.
  TPropertyFrm::StoreOwnedWindows(this);
  CloseOwnedWindows();
}

void TfrmSearch::SetContainer(TContainer* container) {
  Unbind();
  Container = container;
  if (!container) return;
  ContainerSearch = std::make_unique<TContainerSearch>(container);
  ContainerSearch->Tick = [this] { KeepPainted(); };
  if (!MainServices && FImages.isEmpty()) FImages = NavigatorImages();
  TVEngine =
      std::make_unique<TTVEngine>(container, trvSearchResults, MainServices ? &MainServices->ItemImages() : &FImages);
}

void TfrmSearch::Unbind() {
  trvSearchResults->clear();
  trvSearchResults->hide();
  TVEngine.reset();
  ContainerSearch.reset();
  Container = nullptr;
}

void TfrmSearch::SelectSearchKind(int kind) {
  if (kind < 0 || kind > 3) return;
  const QSignalBlocker quiet(SearchKind);
  SearchKind->setCurrentIndex(kind);
}

TfrmSearch::TFilterGuard::~TFilterGuard() {
  if (Project) Project->ClearFilters();
}

TfrmSearch::TBusy::TBusy(TfrmSearch* window)
    : FWindow(window), FFocus(QApplication::focusWidget()), FHold(MainServices ? MainServices->HoldProject() : nullptr) {
  FWindow->FBusy = true;
  FWindow->FPaintClock.invalidate();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (QWidget* button : {FWindow->btn_search, FWindow->btn_clear, FWindow->btnExport})
    button->setEnabled(false);
}

TfrmSearch::TBusy::~TBusy() {
  for (QWidget* button : {FWindow->btn_search, FWindow->btn_clear, FWindow->btnExport})
    button->setEnabled(true);
  if (FFocus) FFocus->setFocus(); // disabling a button may have moved the focus away
  QApplication::restoreOverrideCursor();
  FWindow->FBusy = false;
  // From the event loop, once the code that ran the command has returned.
  if (std::exchange(FWindow->FCloseWhenIdle, false)) QTimer::singleShot(0, FWindow, &QWidget::close);
}

void TfrmSearch::KeepPainted() {
  if (!FBusy || (FPaintClock.isValid() && FPaintClock.elapsed() < 100)) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  FPaintClock.start();
}

QString TfrmSearch::ActivePageName() const { return SearchKind->currentWidget()->objectName(); }

// The windows opened from the tree close first, so that they store what the user typed.
// A running command's code still works on this window: it closes when that is over.
void TfrmSearch::closeEvent(QCloseEvent* event) {
  if (FBusy) {
    FCloseWhenIdle = true;
    event->ignore();
    return;
  }
  TPropertyFrm::StoreOwnedWindows(this);
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isWindow() && child != ME_PopUp && child->isVisible()) child->close();
  CloseOwnedWindows();
  event->accept();
}

void TfrmSearch::CloseOwnedWindows() {
  for (QPointer<QWidget>& window : FSheetWindows) {
    if (!window) continue;
    QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!sub) {
      delete window.data();
      continue;
    }
    sub->close();
    delete sub.data();
  }
  FSheetWindows.clear();
}

} // namespace qel
