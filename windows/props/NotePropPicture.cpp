// The note window's "&Properties" page: picture, logo and colour of the note's box.
#include "NoteProp.h"
#include "graphics/PictureCache.h"
#include "model/Container.h"
#include "model/NotePictures.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qel {
namespace {

constexpr const char* kLogoMime = "application/x-qel-note-logo";

QPoint PlaceOf(int place) { return QPoint((place % 3) * 140, (place / 3) * 60); }

// Why a file the note refers to is not shown, or empty when it is shown or there is none.
std::string FileTrouble(const std::string& what, const std::string& file, bool shown) {
  if (file.empty() || shown) return {};
  return "The " + what + " file " + (FileExists(file) ? "cannot be shown: " : "does not exist: ") + file;
}

} // namespace

void TNotePrp::CreatePropertiesPage() {
  TS_NoteProp = new QWidget(PC_Note);
  PC_Note->addTab(TS_NoteProp, "&Properties");
  auto* GB_Picture = new QGroupBox(TS_NoteProp);
  auto* page = new QVBoxLayout(TS_NoteProp);
  page->setContentsMargins(0, 0, 0, 0);
  page->addWidget(GB_Picture);
  auto* column = new QVBoxLayout(GB_Picture);
  CreatePictureArea();
  column->addWidget(SB_Picture, 1);
  LB_PictureWarning = new QLabel(GB_Picture);
  LB_PictureWarning->setWordWrap(true);
  LB_PictureWarning->setStyleSheet("color: #b00000;");
  LB_PictureWarning->hide();
  column->addWidget(LB_PictureWarning);
  // The buttons in two columns, so a narrow window reaches every one of them.
  auto* Panel12 = new QWidget(GB_Picture);
  column->addWidget(Panel12);
  auto* grid = new QGridLayout(Panel12);
  grid->setContentsMargins(0, 0, 0, 0);
  btn_SwitchPictureMode = new QPushButton("&Stretch Image", Panel12);
  btn_SwitchPictureMode->setEnabled(false);
  btn_LoadImage = new QPushButton("Load &Image", Panel12);
  btn_LoadLogo = new QPushButton("L&oad Logo", Panel12);
  btn_clearimage = new QPushButton("&Clear Image", Panel12);
  btn_clearlogo = new QPushButton("Cle&ar Logo", Panel12);
  auto* colorRow = new QHBoxLayout;
  auto* Label22 = new QLabel("C&olor", Panel12);
  PN_NoteColor = new TColorPanel(Panel12);
  PN_NoteColor->setFixedSize(41, 20);
  Label22->setBuddy(PN_NoteColor);
  colorRow->addWidget(Label22);
  colorRow->addWidget(PN_NoteColor);
  colorRow->addStretch(1);
  grid->addWidget(btn_LoadImage, 0, 0);
  grid->addWidget(btn_clearimage, 0, 1);
  grid->addWidget(btn_LoadLogo, 1, 0);
  grid->addWidget(btn_clearlogo, 1, 1);
  grid->addWidget(btn_SwitchPictureMode, 2, 0);
  grid->addLayout(colorRow, 2, 1);
  connect(btn_SwitchPictureMode, &QPushButton::clicked, this, &TNotePrp::btn_SwitchPictureModeClick);
  connect(btn_LoadImage, &QPushButton::clicked, this, &TNotePrp::BTN_LoadImageClick);
  connect(btn_LoadLogo, &QPushButton::clicked, this, &TNotePrp::BTN_LoadLogoClick);
  connect(btn_clearimage, &QPushButton::clicked, this, &TNotePrp::btn_clearimageClick);
  connect(btn_clearlogo, &QPushButton::clicked, this, &TNotePrp::btn_clearlogoClick);
  connect(PN_NoteColor, &TColorPanel::Clicked, this, &TNotePrp::PN_NoteColorClick);
  connect(PN_NoteColor, &TColorPanel::DoubleClicked, this, &TNotePrp::PN_NoteColorDblClick);
  PictureDialog.DefaultExt = "bmp";
  PictureDialog.Filter = IconDialog.Filter = "Bitmaps (*.bmp)|*.bmp";
}

void TNotePrp::CreatePictureArea() {
  SB_Picture = new QScrollArea(this);
  auto* area = new QWidget(SB_Picture);
  area->setMinimumSize(320, 160);
  SB_Picture->setWidget(area);
  SB_Picture->setWidgetResizable(true);
  IM_Picture = new QLabel(area);
  IM_Picture->setToolTip("Notes on open Sheets are visualized as 'yellows'. Here you can color them, or put icons in "
                         "them for instant recognition in any Sheet.");
  IM_Picture->hide();
  for (int place = 0; place < 9; ++place) {
    Targets[place] = new QFrame(area);
    Targets[place]->setGeometry(QRect(PlaceOf(place), QSize(40, 40)));
    Targets[place]->setAcceptDrops(true);
    Targets[place]->installEventFilter(this);
  }
  IM_Logo = new QLabel(area);
  IM_Logo->setGeometry(280, 120, 40, 40);
  IM_Logo->setScaledContents(true);
  IM_Logo->setCursor(Qt::PointingHandCursor);
  IM_Logo->setAcceptDrops(true);
  IM_Logo->installEventFilter(this);
  IM_Logo->hide();
  SetTargetsDotted(false);
}

void TNotePrp::ShowFile(QLabel* image, const std::string& file, bool& shown) {
  const QImage picture = FileExists(file) ? DecodePicture(file) : QImage();
  shown = !picture.isNull();
  image->setPixmap(shown ? QPixmap::fromImage(picture) : QPixmap());
  image->setVisible(shown);
}

void TNotePrp::ShowPicture() {
  const TNoteItem* note = Note.Get();
  const std::string file = note ? note->Data.ImageFile : std::string();
  bool shown = false;
  ShowFile(IM_Picture, file, shown);
  // A missing or unreadable picture can still be cleared.
  btn_clearimage->setEnabled(!file.empty());
  btn_SwitchPictureMode->setEnabled(shown);
  IM_Picture->setScaledContents(FPictureStretched);
  IM_Picture->setGeometry(QRect(QPoint(0, 0), FPictureStretched ? SB_Picture->viewport()->size()
                                                                 : IM_Picture->pixmap().size()));
  IM_Picture->lower();
  ShowPictureWarning();
}

// Says which of the note's files is missing or unreadable, where the picture would be.
void TNotePrp::ShowPictureWarning() {
  const TNoteItem* note = Note.Get();
  std::string text;
  if (note) {
    const std::string picture = FileTrouble("picture", note->Data.ImageFile, !IM_Picture->isHidden());
    const std::string logo = FileTrouble("logo", note->Data.LogoFile, !IM_Logo->isHidden());
    text = picture + (picture.empty() || logo.empty() ? "" : "\n") + logo;
  }
  LB_PictureWarning->setText(ToQString(text));
  LB_PictureWarning->setVisible(!text.empty());
}

// The logo stands at the note's own place.
void TNotePrp::ShowLogo() {
  const TNoteItem* note = Note.Get();
  const std::string file = note ? note->Data.LogoFile : std::string();
  bool shown = false;
  ShowFile(IM_Logo, file, shown);
  btn_clearlogo->setEnabled(!file.empty());
  if (note && note->Data.LogoPos >= 0 && note->Data.LogoPos < 9) IM_Logo->move(PlaceOf(note->Data.LogoPos));
  IM_Logo->raise();
  ShowPictureWarning();
}

// A named project takes a copy into its folder at once; a project without a name refers to
// the file where it is until its first save copies it.
std::string TNotePrp::CopyIntoProject(const std::string& file) {
  if (!Container) return file;
  const std::string folder = MainServices ? MainServices->PictureFolder() : Container->Directory;
  if (folder.empty()) return file;
  std::string target;
  if (Reported([&] { target = CopyPictureInto(file, folder); })) return target;
  return {};
}

TNoteItem* TNotePrp::ChoosePicture(TFileDialogRequest& dialog, std::string& target) {
  if (CloseIfGone()) return nullptr;
  dialog.InitialDir = Container ? Container->Directory : std::string();
  if (!Dialogs().OpenDialog(dialog) || !FileExists(dialog.FileName)) return nullptr;
  target = CopyIntoProject(dialog.FileName);
  TNoteItem* note = Note.Get();
  if (target.empty() || ItemGone()) return nullptr;
  return note;
}

void TNotePrp::BTN_LoadImageClick() {
  std::string target;
  TNoteItem* note = ChoosePicture(PictureDialog, target);
  if (!note) return;
  note->SetImage(target);
  UpdateItem(true); // the other windows and the sheets show the picture too
  ShowPicture();
  if (IM_Picture->isHidden()) MessageDlg("Cannot show the picture " + target, TMsgDlgType::mtError, mbOK);
}

void TNotePrp::BTN_LoadLogoClick() {
  std::string target;
  TNoteItem* note = ChoosePicture(IconDialog, target);
  if (!note) return;
  note->SetLogo(target);
  note->SetLogoPos(8);
  IM_Logo->move(PlaceOf(8));
  UpdateItem(true);
  ShowLogo();
  if (IM_Logo->isHidden()) MessageDlg("Cannot show the picture " + target, TMsgDlgType::mtError, mbOK);
}

void TNotePrp::btn_clearimageClick() {
  if (CloseIfGone()) return;
  if (Dialogs().MessageBox({TMsgDlgType::mtConfirmation, "Clear Image", "Are you sure ?", mbYesNo}) != mrYes) return;
  if (TNoteItem* note = Note.Get()) note->SetImage("");
  UpdateItem(true);
  ShowPicture();
}

void TNotePrp::btn_clearlogoClick() {
  if (CloseIfGone()) return;
  if (Dialogs().MessageBox({TMsgDlgType::mtConfirmation, "Clear Logo", "Are you sure ?", mbYesNo}) != mrYes) return;
  if (TNoteItem* note = Note.Get()) note->SetLogo("");
  UpdateItem(true);
  ShowLogo();
}

void TNotePrp::btn_SwitchPictureModeClick() {
  FPictureStretched = !FPictureStretched;
  btn_SwitchPictureMode->setText(FPictureStretched ? "&Original Image" : "&Stretch Image");
  btn_SwitchPictureMode->resize(std::max(82, btn_SwitchPictureMode->sizeHint().width()), 25);
  ShowPicture();
}

void TNotePrp::SetTargetsDotted(bool dotted) {
  for (QFrame* target : Targets) target->setStyleSheet(dotted ? "border: 1px dotted black;" : "border: none;");
}

void TNotePrp::IM_LogoStartDrag() {
  if (CloseIfGone()) return;
  LogoDragging = true;
  SetTargetsDotted(true);
}

void TNotePrp::posDragOver(int Place) {
  TNoteItem* note = Note.Get();
  if (!LogoDragging || !note || Place < 0 || Place > 8) return;
  note->SetLogoPos(Place);
  IM_Logo->move(PlaceOf(Place));
}

void TNotePrp::IM_LogoEndDrag() {
  const bool dragging = LogoDragging;
  LogoDragging = false;
  SetTargetsDotted(false);
  if (dragging) UpdateItem(true);
}

bool TNotePrp::LogoEvent(QEvent* event) {
  switch (event->type()) {
  case QEvent::MouseButtonPress: FLogoPress = static_cast<QMouseEvent*>(event)->position().toPoint(); return false;
  case QEvent::MouseMove: {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!(mouse->buttons() & Qt::LeftButton) ||
        (mouse->position().toPoint() - FLogoPress).manhattanLength() < QApplication::startDragDistance())
      return false;
    IM_LogoStartDrag();
    if (!LogoDragging) return true;
    auto* drag = new QDrag(IM_Logo);
    auto* data = new QMimeData;
    data->setData(kLogoMime, {});
    drag->setMimeData(data);
    drag->setPixmap(IM_Logo->pixmap());
    drag->exec(Qt::MoveAction);
    IM_LogoEndDrag();
    return true;
  }
  case QEvent::DragEnter:
  case QEvent::DragMove: static_cast<QDropEvent*>(event)->acceptProposedAction(); return true;
  default: return false;
  }
}

bool TNotePrp::TargetEvent(int place, QEvent* event) {
  if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove) return false;
  auto* drag = static_cast<QDropEvent*>(event);
  if (!drag->mimeData()->hasFormat(kLogoMime)) return false;
  posDragOver(place);
  drag->acceptProposedAction();
  return true;
}

// The colour picked is stored with the next store, whatever page is shown then.
void TNotePrp::PN_NoteColorClick() {
  if (CloseIfGone()) return;
  TColor color = ColorDialogColor;
  if (!Dialogs().ColorDialog(color)) return;
  ColorDialogColor = color;
  PN_NoteColor->SetColor(color);
  MarkEdited(PN_NoteColor);
}

void TNotePrp::PN_NoteColorDblClick() {
  if (CloseIfGone()) return;
  PN_NoteColorClick();
  UpdateItem(true);
}

} // namespace qel
