// The note window's list of the note's attachments.
#include "AttachmentProp.h"
#include "NoteProp.h"
#include "windows/sheet/DragObjects.h"
#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"

#include <QEventLoop>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>

namespace qel {

void TNotePrp::CreateAttachmentList() {
  LV_Contents = new TDragView<QListWidget>(this);
  LV_Contents->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LV_Contents->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LV_Contents->OnStartDrag = [this] { return LV_ContentsStartDrag(); };
  cmn_addattachment = new QMenu(this);
  cmn_addattachment->addAction("&Add Attachment", this, &TNotePrp::MI_AddAttachmentClick);
  cmn_addattachment->addSeparator();
  cmn_addattachment->addAction("&Open Attachment", this, [this] { MI_OpenAttachmentClick(); });
  LV_Contents->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(LV_Contents, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { cmn_addattachment->popup(LV_Contents->viewport()->mapToGlobal(at)); });
  connect(LV_Contents, &QListWidget::itemDoubleClicked, this, [this] { LV_ContentsDblClick(); });
}

void TNotePrp::FillAttachments() {
  LV_Contents->clear();
  FAttachments.clear();
  if (IL_Property.size() > 9) IL_Property.resize(9);
  const TNoteItem* note = Note.Get();
  if (!note) return;
  for (TPoolItem* item : note->Attachments) {
    auto* attachment = static_cast<TAttachItem*>(item);
    FAttachments.emplace_back(attachment);
    new QListWidgetItem(IL_Property.value(SetAttachmentIcon(attachment)), ToQString(attachment->Data.Caption),
                        LV_Contents);
  }
}

int TNotePrp::SetAttachmentIcon(const TAttachItem* Attachment) {
  if (!FileExists(Attachment->Data.Location)) return 3;
  const QFileInfo file(QString::fromStdString(ToNativePath(Attachment->Data.Location)));
  IL_Property.append(QFileIconProvider().icon(file));
  return static_cast<int>(IL_Property.size() - 1);
}

TAttachPrp* TNotePrp::NewAttachmentWindow(TAttachItem* attachment) {
  auto* window = new TAttachPrp(this);
  window->Container = Container;
  window->ShowItem(attachment);
  return window;
}

TAttachPrp* TNotePrp::LV_ContentsDblClick() {
  if (CloseIfGone()) return nullptr;
  for (int row = 0; row < LV_Contents->count() && row < static_cast<int>(FAttachments.size()); ++row) {
    TAttachItem* attachment = FAttachments[row].Get();
    if (!LV_Contents->item(row)->isSelected() || !attachment) continue;
    TAttachPrp* window = NewAttachmentWindow(attachment);
    ShowFreeWindow(window, true);
    return window;
  }
  return nullptr;
}

QMimeData* TNotePrp::LV_ContentsStartDrag() {
  if (ItemGone()) return nullptr;
  auto attachments = std::make_unique<TDragAttach>(this);
  for (int row = 0; row < LV_Contents->count() && row < static_cast<int>(FAttachments.size()); ++row)
    if (TAttachItem* attachment = FAttachments[row].Get(); attachment && LV_Contents->item(row)->isSelected())
      attachments->Add(attachment);
  if (attachments->Count() == 0) return nullptr;
  return new TDragMimeData(std::move(attachments));
}

void TNotePrp::MI_AddAttachmentClick() {
  if (CloseIfGone()) return;
  TNoteItem* note = Note.Get();
  if (!note || !Container) return;
  TAttachment record;
  record.Note = note;
  TAttachItem* attachment = Container->AddAttachment(record);
  if (!attachment) return;
  QPointer<TAttachPrp> window = NewAttachmentWindow(attachment);
  window->setWindowModality(Qt::ApplicationModal);
  ShowFreeWindow(window, true); // above the stay-on-top windows, as a dialog
  QEventLoop modal;
  connect(window, &QObject::destroyed, &modal, &QEventLoop::quit);
  // This window may be freed meanwhile (its project replaced): then nothing is left to do.
  QPointer<TNotePrp> self = this;
  if (window) modal.exec();
  if (self) Reload();
}

} // namespace qel
