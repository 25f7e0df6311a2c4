#include "AttachPoolProp.h"

#include "model/Pools.h"
#include "platform/qt/FileIcon.h"

namespace qel {
namespace {

constexpr int kKeptImages = 5; // the item icons; file icons follow them
constexpr int kAttachImage = 3;

} // namespace

TAttachPoolPrp::TAttachPoolPrp(QWidget* parent, Qt::WindowFlags flags) : TPoolPrp(parent, flags) {
  setWindowTitle("Attachments");
}

void TAttachPoolPrp::ShowItem(TAttachPool* Item) {
  if (Item != Pool) Pool = Item;
  TPropertyFrm::ShowItem();
}

bool TAttachPoolPrp::UpdateItem(bool Store) {
  if (Store || !Pool) return true;
  BeginFill("Project Attachments", Pool->Count());
  IL_Property.resize(kKeptImages); // file icons always come after the item icons
  for (int i = 0; i < Pool->Count(); ++i) {
    TAttachItem* attachment = Pool->GetItem(i);
    int image = kAttachImage;
    const QIcon icon = AssociatedFileIcon(attachment->Data.Location);
    if (!icon.isNull()) {
      IL_Property.append(icon);
      image = static_cast<int>(IL_Property.size()) - 1;
    }
    AddRow(attachment, attachment->Data.Caption, image);
  }
  EndFill();
  return true;
}

} // namespace qel
