#include "AttachmentProp.h"

#include "NotePropCommon.h"
#include "windows/richedit/RichEditURL.h"
#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ShellOpen.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace qel {
namespace {

const QColor kWindowWhite(Qt::white);
const QColor kInactiveGrey(0xD4, 0xD0, 0xC8);

QPushButton* BrowseButton(QWidget* parent, int left, int top, const char* hint) {
  auto* button = new QPushButton("...", parent);
  button->setGeometry(left, top, 24, 21);
  button->setFont(QFont("Verdana", 8, QFont::Bold));
  button->setToolTip(hint);
  return button;
}

QLineEdit* ReadOnlyBox(QWidget* parent, int left, int top) {
  auto* box = new QLineEdit(parent);
  box->setGeometry(left, top, 200, 21);
  box->setReadOnly(true);
  return box;
}

} // namespace

TAttachPrp::TAttachPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Attachment");
  setGeometry(386, 188, 346, 319);
  CreatePanel();
  CreatePreview();
  QVBoxLayout* box = TakeBody(this);
  box->addWidget(Panel3);
  box->addWidget(pnl_OLE_container, 1);
  OpenDialog.FileMustExist = true;
  SetKindColors(true);
  ForgetProjectOnRelease(this);
  StoreWhenAsked();
}

void TAttachPrp::CreatePanel() {
  Panel3 = new QWidget(this);
  Panel3->setFixedHeight(129);
  Label6 = new QLabel("Filename", Panel3);
  Label6->move(8, 0);
  ED_AttachFile = ReadOnlyBox(Panel3, 3, 16);
  BTN_File = BrowseButton(Panel3, 210, 16, "Browse Attachment");
  Label1 = new QLabel("URL", Panel3);
  Label1->move(8, 48);
  ED_AttachURL = ReadOnlyBox(Panel3, 3, 64);
  BTN_URL = BrowseButton(Panel3, 210, 64, "Enter URL");
  PN_AttachWarning = new QFrame(Panel3);
  PN_AttachWarning->setGeometry(156, 39, 149, 18);
  auto* warning = new QHBoxLayout(PN_AttachWarning);
  warning->setContentsMargins(0, 0, 0, 0);
  auto* Image1 = new QLabel(PN_AttachWarning);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
  warning->addWidget(Image1);
  warning->addWidget(new QLabel("The file does not exist!  ", PN_AttachWarning), 1, Qt::AlignRight);
  PN_AttachWarning->hide();
  BTN_Preview = new QPushButton("&Preview", Panel3);
  BTN_Preview->setGeometry(5, 96, 75, 25);
  BTN_Open = new QPushButton("&Open", Panel3);
  BTN_Open->setGeometry(160, 96, 75, 25);
  BTN_OpenURL = new QPushButton("&Open URL", Panel3);
  BTN_OpenURL->setGeometry(159, 96, 75, 25);
  BTN_OpenURL->hide();
  connect(BTN_File, &QPushButton::clicked, this, &TAttachPrp::BTN_FileClick);
  connect(BTN_URL, &QPushButton::clicked, this, &TAttachPrp::BTN_URLClick);
  connect(BTN_Preview, &QPushButton::clicked, this, &TAttachPrp::BTN_PreviewClick);
  connect(BTN_Open, &QPushButton::clicked, this, &TAttachPrp::BTN_OpenClick);
  connect(BTN_OpenURL, &QPushButton::clicked, this, &TAttachPrp::BTN_OpenURLClick);
}

void TAttachPrp::CreatePreview() {
  pnl_OLE_container = new QFrame(this);
  auto* container = new QVBoxLayout(pnl_OLE_container);
  OLE_Attach = new QFrame(pnl_OLE_container);
  OLE_Attach->setFrameShape(QFrame::StyledPanel);
  container->addWidget(OLE_Attach);
  auto* object = new QVBoxLayout(OLE_Attach);
  OLE_Icon = new QLabel(OLE_Attach);
  OLE_Name = new QLabel(OLE_Attach);
  OLE_Name->setWordWrap(true);
  object->addStretch(1);
  object->addWidget(OLE_Icon, 0, Qt::AlignHCenter);
  object->addWidget(OLE_Name, 0, Qt::AlignHCenter);
  object->addStretch(1);
  OLE_Popup = new QMenu(this);
  MI_Edit = OLE_Popup->addAction("&Open", this, &TAttachPrp::MI_EditClick);
  MI_Edit->setStatusTip("Opens the attachment for editing");
  OLE_Attach->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(OLE_Attach, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { OLE_Popup->popup(OLE_Attach->mapToGlobal(at)); });
}

void TAttachPrp::ShowItem(TAttachItem* Item) {
  if (BindItem(Item)) {
    Attachment = Item;
    DestroyObject();
  }
  ED_Caption->show();
  UpdateKindDisplay();
  TPropertyFrm::ShowItem();
}

bool TAttachPrp::ItemGone() const {
  return MissingFrom(Container ? Container->AttachPool.get() : nullptr, Attachment.Get());
}

// An attachment of another kind than file (0) or address (1) is shown read-only and kept
// as it is.
bool TAttachPrp::KnownKind() const {
  const TAttachItem* attachment = Attachment.Get();
  return attachment && attachment->Data.Kind <= 1;
}

// Only what the user changed here is stored (the caption, or the file or address a button
// chose); the other fields show the attachment.
bool TAttachPrp::UpdateItem(bool Store) {
  if (CloseIfGone()) return true;
  TAttachItem* attachment = Attachment.Get();
  if (Store) {
    if (!KnownKind()) return TPropertyFrm::UpdateItem(Store);
    if (Edited(ED_Caption)) attachment->SetCaption(FromQString(ED_Caption->text()));
    if (Edited(ED_AttachFile)) {
      attachment->SetKind(IsGrey(ED_AttachFile) ? 1 : 0);
      attachment->SetLocation(FromQString(attachment->Data.Kind == 0 ? ED_AttachFile->text() : ED_AttachURL->text()));
    }
  } else {
    const TLoadGuard loading(this);
    const QString caption = ToQString(attachment->Data.Caption);
    if (!Edited(ED_Caption) && ED_Caption->text() != caption) ED_Caption->setText(caption);
    SetInfo("Attachment - " + caption);
    if (!Edited(ED_AttachFile)) {
      const QString location = ToQString(attachment->Data.Location);
      ED_AttachFile->setText(attachment->Data.Kind != 1 ? location : QString());
      ED_AttachURL->setText(attachment->Data.Kind == 1 ? location : QString());
      UpdateKindDisplay();
    }
  }
  return TPropertyFrm::UpdateItem(Store);
}

void TAttachPrp::UpdateKindDisplay() {
  const TAttachItem* attachment = Attachment.Get();
  if (!attachment) return;
  const uint8_t kind = attachment->Data.Kind;
  PN_AttachWarning->setVisible(kind == 0 && !FileExists(attachment->Data.Location) && !ED_AttachFile->text().isEmpty());
  const bool known = KnownKind();
  ED_Caption->setReadOnly(!known);
  for (QWidget* control : {static_cast<QWidget*>(BTN_File), static_cast<QWidget*>(BTN_URL),
                           static_cast<QWidget*>(BTN_Preview), static_cast<QWidget*>(BTN_Open)})
    control->setEnabled(known);
  if (!known) return;
  SetKindColors(kind == 0);
  BTN_OpenURL->setVisible(kind == 1);
  BTN_Preview->setVisible(kind == 0);
  BTN_Open->setVisible(kind == 0);
}

void TAttachPrp::SetKindColors(bool file) {
  for (QLineEdit* box : {ED_AttachFile, ED_AttachURL}) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, (box == ED_AttachFile) == file ? kWindowWhite : kInactiveGrey);
    box->setPalette(palette);
  }
}

bool TAttachPrp::IsGrey(const QLineEdit* box) const { return box->palette().color(QPalette::Base) == kInactiveGrey; }

void TAttachPrp::DestroyObject() {
  OLE_Link.clear();
  OLE_Icon->clear();
  OLE_Name->clear();
}

void TAttachPrp::Preview() {
  DestroyObject();
  if (CloseIfGone()) return;
  const TAttachItem* attachment = Attachment.Get();
  if (!attachment || attachment->Data.Kind != 0 || !FileExists(attachment->Data.Location)) return;
  OLE_Link = attachment->Data.Location;
  const QFileInfo file(QString::fromStdString(ToNativePath(OLE_Link)));
  OLE_Icon->setPixmap(QFileIconProvider().icon(file).pixmap(48, 48));
  OLE_Name->setText(file.fileName());
}

bool TAttachPrp::IsValidURL(const std::string& URL) {
  const QString lower = QString::fromLatin1(URL.data(), static_cast<qsizetype>(URL.size())).toLower();
  return lower.startsWith("www.") || lower.startsWith("http://") || lower.startsWith("https://");
}

bool TAttachPrp::IsWellFormedURL(const std::string& URL) {
  const QString text = ToQString(URL);
  static const QRegularExpression space(R"(\s)");
  if (!IsValidURL(URL) || !IsWebAddress(text) || text.contains(space)) return false;
  const QUrl url(text.startsWith("www.", Qt::CaseInsensitive) ? "http://" + text : text, QUrl::StrictMode);
  return url.isValid() && !url.host().isEmpty();
}

void TAttachPrp::BTN_FileClick() {
  if (CloseIfGone() || !KnownKind()) return;
  const TAttachItem* attachment = Attachment.Get();
  OpenDialog.FileName.clear();
  OpenDialog.InitialDir = attachment && FileExists(attachment->Data.Location)
                              ? ExtractFilePath(ExpandFileName(attachment->Data.Location))
                              : "./";
  if (!Dialogs().OpenDialog(OpenDialog)) return;
  SetKindColors(true);
  ED_AttachFile->setText(ToQString(OpenDialog.FileName));
  ED_AttachURL->clear();
  MarkEdited(ED_AttachFile); // the kind and the location
  UpdateItem(true);
  UpdateKindDisplay();
  DestroyObject();
}

void TAttachPrp::BTN_URLClick() {
  if (CloseIfGone() || !KnownKind()) return;
  std::string address;
  if (!Dialogs().InputQuery("Enter URL", "URL ", address)) return;
  if (!IsWellFormedURL(address)) {
    MessageDlg("\"" + address + "\" is not a well-formed URL.\rURLs start with www., http:// or https:// and hold no spaces",
               TMsgDlgType::mtError, mbOK);
    return;
  }
  SetKindColors(false);
  ED_AttachURL->setText(ToQString(address));
  ED_AttachFile->clear();
  MarkEdited(ED_AttachFile); // the kind and the location
  UpdateItem(true);
  UpdateKindDisplay();
  Preview();
}

void TAttachPrp::BTN_OpenURLClick() {
  if (CloseIfGone()) return;
  const TAttachItem* attachment = Attachment.Get();
  if (!attachment || attachment->Data.Kind != 1) return;
  if (IsValidURL(attachment->Data.Location))
    OpenURL(ToQString(attachment->Data.Location));
  else
    MessageDlg("The Specified URL is invalid...\rURLs start with www. or http://", TMsgDlgType::mtError, mbOK);
}

void TAttachPrp::BTN_OpenClick() {
  if (CloseIfGone()) return;
  if (OLE_Link.empty()) Preview();
  MI_EditClick();
}

void TAttachPrp::MI_EditClick() {
  if (CloseIfGone()) return;
  if (OLE_Link.empty() || !ShellOpen(OLE_Link)) MessageDlg("No File To Open...", TMsgDlgType::mtError, mbOK);
}

// The warning keeps to the right edge of a narrow window, so it can be read.
void TAttachPrp::resizeEvent(QResizeEvent* event) {
  TPropertyFrm::resizeEvent(event);
  const QRect warning = PN_AttachWarning->geometry();
  PN_AttachWarning->move(std::max(40, std::min(156, Panel3->width() - warning.width())), warning.y());
}

} // namespace qel
