#include "Navigator.h"

#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTreeWidget>

namespace qel {

TNavForm* NavForm = nullptr;

namespace {

constexpr int kSplitterWidth = 6;
constexpr int kMinimumPane = 349;

void AddBranch(QTreeWidgetItem* root, const char* caption, const QStringList& names) {
  auto* branch = new QTreeWidgetItem(root, QStringList(caption));
  for (const QString& name : names) new QTreeWidgetItem(branch, QStringList(name));
}

} // namespace

TNavForm::TNavForm(QWidget* parent) : QWidget(parent) {
  setWindowTitle("Tree");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new QWidget(this);
  Panel1->setFixedWidth(250);
  auto* treeLayout = new QHBoxLayout(Panel1);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  TV_Container = new QTreeWidget(Panel1);
  TV_Container->setHeaderHidden(true);
  treeLayout->addWidget(TV_Container);
  Splitter1 = new QWidget(this);
  Splitter1->setFixedWidth(kSplitterWidth);
  Panel2 = new QLabel("Properties", this);
  Panel2->setMinimumWidth(0);
  layout->addWidget(Panel1);
  layout->addWidget(Splitter1);
  layout->addWidget(Panel2, 1);
  if (QELMain) resize(QELMain->ClientWidth() - 181, QELMain->ClientHeight() - QELMain->ToolBarMainHeight() - 4);
}

TNavForm::~TNavForm() {
  if (NavForm == this) NavForm = nullptr;
}

QWidget* TNavForm::Frame() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  return sub ? static_cast<QWidget*>(sub) : this;
}

void TNavForm::SetContainer(TContainer* container) {
  Container = container;
  TV_Container->clear();
  if (Container) {
    auto* root = new QTreeWidgetItem(TV_Container, QStringList(ToQString(ExtractFileName(Container->FileName))));
    QStringList sheets, notes, attachments;
    for (int i = 0; i < Container->SheetCount(); ++i) sheets << ToQString(Container->GetSheet(i)->Data.Name);
    for (int i = 0; i < Container->NoteCount(); ++i) notes << ToQString(Container->GetNote(i)->Data.Name);
    for (int i = 0; i < Container->AttachmentCount(); ++i)
      attachments << ToQString(Container->GetAttachment(i)->Data.Caption);
    AddBranch(root, "Sheets", sheets);
    AddBranch(root, "Notes", notes);
    AddBranch(root, "Attachments", attachments);
    root->setExpanded(true);
  }
  RefreshItem(nullptr, false);
}

void TNavForm::RefreshItem(TPoolItem* Item, bool NotifySheets) {
  // The stand-in rebuilds its plain tree for any new item.
  if (Item && Container) {
    TContainer* container = Container;
    Container = nullptr;
    SetContainer(container);
  }
  if (NotifySheets && QELMain) QELMain->RefreshSheetWindows();
}

void TNavForm::StoreProperties() {}

void TNavForm::btn_togglepropClick() {
  QWidget* frame = Frame();
  if (PaneShown) {
    PaneWidth = Panel2->width() + Splitter1->width();
    frame->resize(frame->width() - PaneWidth, frame->height());
    PaneShown = false;
  } else {
    if (PaneWidth - Splitter1->width() < kMinimumPane) PaneWidth = Splitter1->width() + kMinimumPane;
    frame->resize(frame->width() + PaneWidth, frame->height());
    PaneShown = true;
  }
}

} // namespace qel
