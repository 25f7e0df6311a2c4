#include "AttachmentProp.h"

#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QLineEdit>

namespace qel {

TAttachPrp::TAttachPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Attachment");
}

void TAttachPrp::ShowItem(TAttachItem* Item) {
  if (Item != GetItem()) Attachment = Item;
  ED_Caption->show();
  TPropertyFrm::ShowItem();
}

bool TAttachPrp::UpdateItem(bool Store) {
  TAttachItem* attachment = Attachment.Get();
  if (ClosedBecauseGone(!attachment || (Container && !Container->HasAttachment(attachment)))) return true;
  if (Store)
    attachment->SetCaption(FromQString(ED_Caption->text()));
  else
    ED_Caption->setText(ToQString(attachment->Data.Caption));
  return TPropertyFrm::UpdateItem(Store);
}

} // namespace qel
