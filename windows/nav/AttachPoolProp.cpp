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
  IL_Property.resize(kKeptImages); // file icons always come after the item icons
  Fill("Project Attachments", *Pool, [this](TPoolItem* item, std::string& caption, int& image) {
    auto* attachment = static_cast<TAttachItem*>(item);
    caption = attachment->Data.Caption;
    image = kAttachImage;
    const QIcon icon = AssociatedFileIcon(attachment->Data.Location);
    if (icon.isNull()) return;
    IL_Property.append(icon);
    image = static_cast<int>(IL_Property.size()) - 1;
  });
  return true;
}

} // namespace qel
