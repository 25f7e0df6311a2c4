#pragma once
// The property window of one attachment: its caption and either a file or a web address.
// The kind being edited is held in the colours of the two boxes (the current kind's box is
// white, the other grey). A file attachment is previewed by its icon and name (OLE_Attach)
// and opened with the program the desktop associates with it.
#include "PropertyForm.h"
#include "model/PoolItem.h"
#include "platform/qt/Dialogs.h"

#include <string>

class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QAction;

namespace qel {

class TAttachItem;

class TAttachPrp : public TPropertyFrm {
  Q_OBJECT
public:
  explicit TAttachPrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void ShowItem(TAttachItem* Attachment);
  const void* GetItem() const override { return Attachment.Get(); }
  bool UpdateItem(bool Store) override;
  bool ItemGone() const override;

  // The warning, box colours and buttons for the attachment's kind.
  void UpdateKindDisplay();
  // Drops the shown file; shows the attachment's file when it is a file that exists.
  void Preview();
  // Whether an address starts with "www.", "http://" or "https://" (in any case).
  static bool IsValidURL(const std::string& URL);
  // An address that can be opened as typed: a valid prefix, a host, no spaces.
  static bool IsWellFormedURL(const std::string& URL);

  void BTN_FileClick();
  void BTN_URLClick();
  void BTN_OpenURLClick();
  void BTN_PreviewClick() { Preview(); }
  void BTN_OpenClick();
  void MI_EditClick();

  TItemRef<TAttachItem> Attachment;

  QWidget* Panel3;
  QLabel* Label6;
  QLineEdit* ED_AttachFile;
  QPushButton* BTN_File;
  QLabel* Label1;
  QLineEdit* ED_AttachURL;
  QPushButton* BTN_URL;
  QFrame* PN_AttachWarning;
  QPushButton* BTN_Preview;
  QPushButton* BTN_Open;
  QPushButton* BTN_OpenURL;
  QFrame* pnl_OLE_container;
  // The preview: the linked file's icon and name; OLE_Link is the file, empty when none.
  QFrame* OLE_Attach;
  QLabel* OLE_Icon;
  QLabel* OLE_Name;
  std::string OLE_Link;
  QMenu* OLE_Popup;
  QAction* MI_Edit;
  TFileDialogRequest OpenDialog;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  bool KnownKind() const;
  void CreatePanel();
  void CreatePreview();
  void DestroyObject();
  void SetKindColors(bool file);
  bool IsGrey(const QLineEdit* box) const;
};

} // namespace qel
