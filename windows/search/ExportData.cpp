#include "ExportData.h"

#include "Search.h"
#include "search/SearchExport.h"
#include "platform/FileNames.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"

#include <QCloseEvent>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace qel {

TExpDataFrm* ExpDataFrm = nullptr;

namespace {

constexpr const char* kExportCaption = "&Export data !";

template <class T> T* Place(T* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

} // namespace

TExpDataFrm::TExpDataFrm(QWidget* parent) : QWidget(parent, Qt::Window) {
  KeepAbove(this);
  setWindowTitle("Export data");
  setFixedSize(711, 258);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
  RadioGroup1 = Place(new QGroupBox("Choose what data to export", this), 32, 32, 633, 43);
  rbNotAtt = Place(new QRadioButton("&Notes and Attachments", this), 119, 50, 217, 17);
  rbShNotLnkAtt = Place(new QRadioButton("&Sheets, Notes, Links and Attachments", this), 378, 50, 207, 17);
  rbNotAtt->setChecked(true);
  for (QRadioButton* choice : {rbNotAtt, rbShNotLnkAtt}) // the whole text shows in any font
    choice->resize(std::max(choice->width(), choice->sizeHint().width()), choice->height());
  GroupBox1 = Place(new QGroupBox("Choose a path and filename :", this), 32, 80, 633, 81);
  edtExFn = Place(new QLineEdit(this), 123, 128, 262, 21);
  lblFilename = new QLabel("&Filename :", GroupBox1);
  lblFilename->move(24, 51);
  lblFilename->setBuddy(edtExFn);
  btnExDir = Place(new QPushButton("&Path :", this), 59, 98, 43, 22);
  mExDir = Place(new QLineEdit(this), 123, 98, 526, 22);
  btnImEx = Place(new QPushButton(kExportCaption, this), 32, 170, 161, 24);
  for (QWidget* control : {static_cast<QWidget*>(btnExDir), static_cast<QWidget*>(btnImEx)})
    control->installEventFilter(this);
  setTabOrder(rbNotAtt, rbShNotLnkAtt);
  setTabOrder(rbShNotLnkAtt, btnExDir);
  setTabOrder(btnExDir, mExDir);
  setTabOrder(mExDir, edtExFn);
  setTabOrder(edtExFn, btnImEx);
  // The mode is the choice shown, however it was made (a click, an arrow key).
  connect(rbNotAtt, &QRadioButton::toggled, this, [this](bool on) {
    if (on) btnExSmallClick();
  });
  connect(rbShNotLnkAtt, &QRadioButton::toggled, this, [this](bool on) {
    if (on) btnExBigClick();
  });
  connect(btnExDir, &QPushButton::clicked, this, [this] { btnExDirClick(); });
  connect(btnImEx, &QPushButton::clicked, this, [this] { btnImExClick(); });
}

void TExpDataFrm::btnExSmallClick() { Mode = "ExSmall"; }
void TExpDataFrm::btnExBigClick() { Mode = "ExBig"; }
void TExpDataFrm::btnExDirClick() { ChooseDirectory(); }

// A folder that does not exist is made after the user agrees.
void TExpDataFrm::ChooseDirectory() {
  std::string folder = Directory;
  if (!Dialogs().SelectDirectory("Select Directory", folder)) return;
  if (!DirectoryExists(folder)) {
    if (MessageDlg("The directory " + folder + " does not exist. Create it?", TMsgDlgType::mtConfirmation, mbYesNo) !=
        mrYes)
      return;
    if (!QDir().mkpath(ToQString(folder))) {
      ShowMessage("The directory " + folder + " could not be created.");
      return;
    }
  }
  Directory = folder;
  mExDir->setText(ToQString(folder));
}

void TExpDataFrm::btnImExClick() {
  if (!SearchWindow) {
    ShowMessage("The search window has been closed: there are no search results to export.");
    return;
  }
  if (SearchWindow->IsBusy()) return;
  const std::string folder = FromQString(mExDir->text()), name = FromQString(edtExFn->text());
  if (const std::string problem = TSearchExport::BaseProblem(folder, name); !problem.empty()) {
    ShowMessage(problem);
    return;
  }
  repaint();
  if (SearchWindow->ExportResults(Mode, folder + PathDelim + name)) btnImEx->setText("Data exported!");
}

void TExpDataFrm::btnImExExit() { btnImEx->setText(kExportCaption); }

void TExpDataFrm::closeEvent(QCloseEvent* event) {
  btnImEx->setText(kExportCaption);
  event->accept();
}

// The export runs on a click only; reaching its button with the keyboard does nothing.
bool TExpDataFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == btnImEx) btnImExExit();
  if (event->type() != QEvent::FocusIn || watched != btnExDir) return QWidget::eventFilter(watched, event);
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) btnExDirClick();
  return QWidget::eventFilter(watched, event);
}

} // namespace qel
