// Opening sheets from the navigator: a sheet node opens its sheet, a note under Notes the sheet
// of the same name (after asking) or "New Sheet"; the New Sheet button.
#include "Navigator.h"

#include "ItemTreeWidget.h"
#include "windows/sheet/SheetForm.h"
#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace qel {
namespace {

const std::string kNewSheet = "New Sheet";

} // namespace

TNavForm::TWindowLock::TWindowLock() {
  if (!MainServices) return;
  FWasEnabled = MainServices->MainWidget()->updatesEnabled();
  MainServices->MainWidget()->setUpdatesEnabled(false);
}

TNavForm::TWindowLock::~TWindowLock() {
  if (MainServices) MainServices->MainWidget()->setUpdatesEnabled(FWasEnabled);
}

std::vector<QMdiSubWindow*> TNavForm::Children() const {
  if (!MainServices) return {};
  const QList<QMdiSubWindow*> list = MainServices->ChildArea()->subWindowList();
  return {list.begin(), list.end()};
}

std::vector<TSheetItem*> TNavForm::SheetsNamed(const std::string& name) const {
  std::vector<TSheetItem*> sheets;
  if (!Container) return sheets;
  for (int i = 0; i < Container->SheetCount(); ++i)
    if (Container->GetSheet(i)->Data.Name == name) sheets.push_back(Container->GetSheet(i));
  return sheets;
}

TSheetItem* TNavForm::NoteSheet() const {
  if (!LastNode) return nullptr;
  const std::vector<TSheetItem*> sheets = SheetsNamed(FromQString(LastNode->text(0)));
  return sheets.empty() ? nullptr : sheets.back();
}

bool TNavForm::NewSheetOpen() const { return !SheetsNamed(kNewSheet).empty(); }

bool TNavForm::NewSheetWindowOpen() const {
  for (QMdiSubWindow* child : Children())
    if (child->windowTitle().contains(ToQString(kNewSheet), Qt::CaseInsensitive)) return true;
  return false;
}

TDrawSheet* TNavForm::OpenSheetWindow(TSheetItem* sheet) {
  if (!MainServices || !sheet) return nullptr;
  // A label still being edited is stored now: storing it later refreshes the sheet windows,
  // which would close the new one before it shows its sheet.
  TV_Container->FinishEditing();
  QPointer<QMdiSubWindow> sub;
  try {
    auto* window = new TDrawSheet();
    DrawSheet = window;
    sub = MainServices->AddChildWindow(window);
    window->SetSheet(Container, sheet);
    MainServices->TB_FitToScreenClick();
    return window;
  } catch (...) {
    delete sub.data(); // no half-made window stays
    MessageDlg("Your system is too low on memory to open another sheet.\rClose one or more sheets.",
               TMsgDlgType::mtError, mbOK);
    return nullptr;
  }
}

void TNavForm::BringToFront(QWidget* window) {
  auto* sub = qobject_cast<QMdiSubWindow*>(window);
  if (!sub && window) sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
  if (!sub || !MainServices) return;
  MainServices->ChildArea()->setActiveSubWindow(sub);
  sub->raise();
}

void TNavForm::ProcessPendingEvents() {
  const std::unique_ptr<TProjectHold> hold = MainServices ? MainServices->HoldProject() : nullptr;
  QCoreApplication::processEvents();
}

void TNavForm::BringSelfToFront() {
  ProcessPendingEvents();
  BringToFront(this);
}

void TNavForm::KeepKeysInTree() {
  auto* own = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!own || !MainServices) return;
  ProcessPendingEvents(); // a window opened is activated by then
  QMdiSubWindow* front = MainServices->ChildArea()->activeSubWindow();
  if (front != own && !own->isMaximized() && !(front && front->isMaximized())) {
    BringToFront(own);
    if (front) front->raise();
  }
  if (MainServices->ChildArea()->activeSubWindow() == own) TV_Container->setFocus();
}

// ---- Open

void TNavForm::MI_OpenClick() {
  TNavNode* node = Selected();
  LastNode = node;
  if (!node || !Container) return;
  if (TSheetItem* sheet = node->Sheet())
    OpenSheetNode(sheet, node->text(0));
  else if (node->Note() && node->Level() == 2)
    OpenNoteNode(node->text(0));
}

void TNavForm::OpenSheetNode(TSheetItem* sheet, const QString& text) {
  if (!MainServices || !MainServices->IsSheetOpen(sheet)) {
    OpenSheetWindow(sheet);
    return;
  }
  for (QMdiSubWindow* child : Children())
    if (child->windowTitle().contains(text, Qt::CaseInsensitive)) BringToFront(child);
}

void TNavForm::OpenNoteNode(const QString& text) {
  TSheetItem* sheet = NoteSheet();
  if (sheet && MainServices && MainServices->IsSheetOpen(sheet)) {
    const std::vector<QMdiSubWindow*> children = Children();
    for (QMdiSubWindow* child : children)
      if (child->windowTitle().contains(text, Qt::CaseInsensitive)) {
        BringToFront(child);
        BringSelfToFront();
        return;
      }
    if (!NewSheetOpen() && !children.empty()) {
      if (children.front()->windowTitle() == ToQString(kNewSheet)) BringToFront(children.front());
      return;
    }
  } else {
    if (OpenNamedSheet(text)) return;
    OpenNewSheets();
  }
  AddNewSheet();
}

bool TNavForm::OpenNamedSheet(const QString& text) {
  const std::string name = FromQString(text);
  std::vector<TItemRef<TSheetItem>> sheets;
  for (TSheetItem* sheet : SheetsNamed(name)) sheets.emplace_back(sheet);
  for (const TItemRef<TSheetItem>& sheet : sheets) {
    const std::string question = "Do you want to open the SHEET called \"" + name +
                                 "\" together with the NOTE called \"" + name + "\"?";
    if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) continue;
    if (!sheet) continue; // deleted while the question was open
    if (TDrawSheet* window = OpenSheetWindow(sheet.Get())) {
      BringToFront(window);
      btn_togglepropClick();
    }
    BringSelfToFront();
    return true;
  }
  return false;
}

void TNavForm::OpenNewSheets() {
  if (!NewSheetWindowOpen())
    for (TSheetItem* sheet : SheetsNamed(kNewSheet))
      if (OpenSheetWindow(sheet)) btn_togglepropClick();
  BringSelfToFront();
}

void TNavForm::AddNewSheet() {
  if (NewSheetOpen() || !Container) return;
  TSheetItem* sheet = Container->AddSheet(TSheet());
  sheet->SetName(kNewSheet);
  if (TDrawSheet* window = OpenSheetWindow(sheet)) {
    BringToFront(window);
    btn_togglepropClick();
  }
  BringSelfToFront();
}

// ---- New Sheet

void TNavForm::TB_NewSheetClick() {
  if (!Container) return;
  TV_Container->FinishEditing();
  TV_Container->repaint();
  if (NewSheetWindowOpen()) {
    const std::vector<TSheetItem*> named = SheetsNamed(kNewSheet);
    if (!named.empty()) {
      const TWindowLock lock;
      if (TDrawSheet* window = OpenSheetWindow(named.front())) BringToFront(window);
      return;
    }
  }
  TSheetItem* sheet = Container->AddSheet(TSheet());
  TNavNode* added = Tree->NodeOf(sheet);
  const TNavTree::TWatch watch(*Tree, added);
  if (TDrawSheet* window = OpenSheetWindow(sheet)) BringToFront(window);
  SelectAndEdit(added);
}

void TNavForm::SelectAndEdit(TNavNode* node) {
  const TNavTree::TWatch watch(*Tree, node);
  if (node) {
    TV_Container->scrollToItem(node); // opens the branches above it
    TV_Container->setCurrentItem(node);
  }
  RefreshItem(nullptr, false); // before the edit, so loading the page ends no edit
  if (node) TV_Container->editItem(node);
}

} // namespace qel
