#include "AutoSave.h"

#include "Main.h"
#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"

#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace qel {

TfrmAutoSave* frmAutoSave = nullptr;

namespace {

// The six settings in the order they are written, with their fields.
struct TSetting {
  const char* Name;
  QLineEdit* TfrmAutoSave::*Edit;
};
constexpr TSetting kSettings[] = {
    {"LocateWorkFiles", &TfrmAutoSave::edLocateWorkFiles},
    {"WorkFileAutoSaveHours", &TfrmAutoSave::edWorkFileAutoSaveHours},
    {"WorkFileAutoSaveMinutes", &TfrmAutoSave::edWorkFileAutoSaveMinutes},
    {"LocateBackupWorkFiles", &TfrmAutoSave::edLocateBackupWorkFiles},
    {"BackupWorkFileAutoSaveHours", &TfrmAutoSave::edBackupWorkFileAutoSaveHours},
    {"BackupWorkFileAutoSaveMinutes", &TfrmAutoSave::edBackupWorkFileAutoSaveMinutes},
};

long long WholeNumber(const std::string& text) {
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return value;
}

std::string Text(const QLineEdit* edit) { return FromQString(edit->text()); }

} // namespace

int IntervalOf(const std::string& hours, const std::string& minutes) {
  const long long ms = WholeNumber(hours) * 3600000LL + WholeNumber(minutes) * 60000LL;
  return static_cast<int>(std::min<long long>(ms, INT_MAX));
}

std::string WorkFilesFolder() {
  const std::string documents = FromQString(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  return IncludeTrailingPathDelimiter(documents) + "QEL" + PathDelim;
}

void SetTimerInterval(QTimer& timer, int milliseconds) {
  if (milliseconds <= 0) {
    timer.stop();
  } else if (milliseconds != timer.interval() || !timer.isActive()) {
    timer.start(milliseconds);
  }
}

TfrmAutoSave::TfrmAutoSave(QWidget* parent) : QWidget(parent) {
  // Above the stay-on-top note and sheet windows, which would otherwise hide part of it.
  KeepAbove(this);
  setWindowTitle("AutoSave");
  resize(706, 342);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
  gbQELfiles = new QGroupBox("QEL ", this);
  gbQELfiles->setGeometry(17, 13, 664, 94);
  gbQELBackup = new QGroupBox("QEL backup", this);
  gbQELBackup->setGeometry(17, 127, 664, 130);
  edWorkFileAutoSaveHours = TimeEdit(this, {173, 75, 23, 21}, "1");
  edWorkFileAutoSaveMinutes = TimeEdit(this, {261, 76, 23, 21}, "0");
  btnLocateBackupWorkfiles = new QPushButton("Locate &backupfiles", this);
  btnLocateBackupWorkfiles->setGeometry(27, 149, 114, 25);
  btnLocateBackupWorkfiles->setToolTip("Navigate to location for backup workfiles");
  connect(btnLocateBackupWorkfiles, &QPushButton::clicked, this, &TfrmAutoSave::btnLocateBackupWorkfilesClick);
  edLocateBackupWorkFiles = new QLineEdit(this);
  ProjectNamed("Noname.qel");
  edLocateBackupWorkFiles->setGeometry(27, 187, 638, 21);
  edBackupWorkFileAutoSaveHours = TimeEdit(this, {174, 227, 23, 21}, "6");
  edBackupWorkFileAutoSaveMinutes = TimeEdit(this, {261, 227, 23, 21}, "0");
  PlaceTimeRows({{gbQELfiles, 67, "Save QEL datafiles every ", edWorkFileAutoSaveHours, edWorkFileAutoSaveMinutes},
                 {gbQELBackup, 103, "Save QEL backupfiles every", edBackupWorkFileAutoSaveHours,
                  edBackupWorkFileAutoSaveMinutes}});
  btnSetAutoSave = new QPushButton("&Set autosave", this);
  btnSetAutoSave->setGeometry(27, 272, 114, 25);
  btnSetAutoSave->setToolTip("Set autosave for workfiles and backup workfiles");
  btnSetAutoSave->setStyleSheet("color: rgb(0, 128, 192)");
  btnSetAutoSave->installEventFilter(this);
  connect(btnSetAutoSave, &QPushButton::clicked, this, &TfrmAutoSave::btnSetAutoSaveClick);
  edLocateWorkFiles = new QLineEdit(ToQString(WorkFilesFolder() + "noname.qel"), this);
  edLocateWorkFiles->setGeometry(27, 38, 638, 21);
  edLocateWorkFiles->setReadOnly(true);
  bnAutoSaveFinish = new QPushButton("Finish", this);
  bnAutoSaveFinish->setGeometry(217, 272, 114, 25);
  // Buttons are at least as wide as each text they show.
  WidenToTexts(btnLocateBackupWorkfiles, {});
  WidenToTexts(btnSetAutoSave, {"Autosave set !", "Set Autosave"});
  WidenToTexts(bnAutoSaveFinish, {});
  if (btnSetAutoSave->geometry().right() + 8 > bnAutoSaveFinish->x())
    bnAutoSaveFinish->move(btnSetAutoSave->geometry().right() + 9, 272);
  connect(bnAutoSaveFinish, &QPushButton::clicked, this, &TfrmAutoSave::bnAutoSaveFinishClick);

  SaveDialogBackupFile.DefaultExt = "qel";
  SaveDialogBackupFile.Filter = "qel|*.qel";
}

// Each row reads "Save ... every" [hours] "hours and" [minutes] "minutes": the labels lie in
// the group box, the edits on the window over it. The edits keep their places unless a label
// needs more room; both rows then move alike so the edits stay in line.
void TfrmAutoSave::PlaceTimeRows(std::initializer_list<TTimeRow> rows) {
  const auto newLabel = [](QWidget* on, const char* text) {
    auto* label = new QLabel(text, on);
    label->adjustSize();
    return label;
  };
  int hoursLeft = 156, minutesLeft = 244; // in the group boxes
  std::vector<std::array<QLabel*, 3>> labels;
  for (const TTimeRow& row : rows) {
    labels.push_back({newLabel(row.Box, row.Text), newLabel(row.Box, "hours and"), newLabel(row.Box, "minutes")});
    hoursLeft = std::max(hoursLeft, 12 + labels.back()[0]->width() + 4);
  }
  for (const auto& row : labels)
    minutesLeft = std::max(minutesLeft, hoursLeft + 23 + 9 + row[1]->width() + 4);
  size_t i = 0;
  for (const TTimeRow& row : rows) {
    const auto& [every, hoursAnd, minutes] = labels[i++];
    const QPoint box = row.Box->pos();
    every->move(12, row.LabelTop);
    row.Hours->move(box.x() + hoursLeft, row.Hours->y());
    hoursAnd->move(hoursLeft + 23 + 9, row.LabelTop);
    row.Minutes->move(box.x() + minutesLeft, row.Minutes->y());
    minutes->move(minutesLeft + 23 + 8, row.LabelTop);
  }
}

void TfrmAutoSave::WidenToTexts(QPushButton* button, std::initializer_list<const char*> others) {
  int width = std::max(button->width(), button->sizeHint().width());
  const QString shown = button->text();
  for (const char* text : others) {
    button->setText(text);
    width = std::max(width, button->sizeHint().width());
  }
  button->setText(shown);
  button->resize(width, button->height());
}

QLineEdit* TfrmAutoSave::TimeEdit(QWidget* parent, const QRect& bounds, const char* text) {
  auto* edit = new QLineEdit(text, parent);
  edit->setGeometry(bounds);
  // Digits only, typed or pasted.
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  return edit;
}

void TfrmAutoSave::FillDefaults() {
  for (const TSetting& setting : kSettings) {
    QLineEdit* edit = this->*setting.Edit;
    if (!edit->text().isEmpty()) continue;
    // An empty backup location takes the default: the last project's name would be the
    // project's own data files.
    if (edit == edLocateBackupWorkFiles) edit->setText(ToQString(FDefaultBackup));
    else if (edit == edLocateWorkFiles) FormActivate();
    else edit->setText("0");
  }
}

void TfrmAutoSave::SaveSettings() {
  FillDefaults();
  TRegistry registry;
  if (registry.OpenKey(kQelKey, true))
    for (const TSetting& setting : kSettings) registry.WriteString(setting.Name, Text(this->*setting.Edit));
  ApplyIntervals();
}

int TfrmAutoSave::WorkInterval() const {
  return IntervalOf(Text(edWorkFileAutoSaveHours), Text(edWorkFileAutoSaveMinutes));
}

int TfrmAutoSave::BackupInterval() const {
  return IntervalOf(Text(edBackupWorkFileAutoSaveHours), Text(edBackupWorkFileAutoSaveMinutes));
}

void TfrmAutoSave::ApplyIntervals() {
  if (!QELMain) return;
  SetTimerInterval(*QELMain->trAutoSave, WorkInterval());
  SetTimerInterval(*QELMain->trAutoSaveBackup, BackupInterval());
}

void TfrmAutoSave::ProjectNamed(const std::string& projectFile) {
  if (Text(edLocateBackupWorkFiles) != FDefaultBackup) return;
  FDefaultBackup = WorkFilesFolder() + "Backup/" + TContainer::BaseName(projectFile) + " backup.qel";
  edLocateBackupWorkFiles->setText(ToQString(FDefaultBackup));
}

void TfrmAutoSave::ShowWorkFiles(const std::string& projectFile) { edLocateWorkFiles->setText(ToQString(projectFile)); }

void TfrmAutoSave::FormActivate() { ShowWorkFiles(QELMain ? QELMain->AutoSaveName() : TQELMain::ReadLastProject()); }

void TfrmAutoSave::btnLocateBackupWorkfilesClick() {
  SaveDialogBackupFile.FileName = Text(edLocateBackupWorkFiles);
  if (Dialogs().SaveDialog(SaveDialogBackupFile) &&
      (!QELMain || QELMain->BackupLocationAccepted(SaveDialogBackupFile.FileName, Text(edLocateBackupWorkFiles))))
    edLocateBackupWorkFiles->setText(ToQString(SaveDialogBackupFile.FileName));
}

void TfrmAutoSave::btnSetAutoSaveClick() {
  // A location typed in is checked against the one stored.
  TRegistry registry;
  const std::string stored = registry.OpenKey(kQelKey, true) ? registry.ReadString("LocateBackupWorkFiles") : "";
  FillDefaults();
  if (QELMain && !QELMain->BackupLocationAccepted(Text(edLocateBackupWorkFiles), stored)) return;
  SaveSettings();
  btnSetAutoSave->setText("Autosave set !");
}

void TfrmAutoSave::btnSetAutoSaveExit() { btnSetAutoSave->setText("Set Autosave"); }

void TfrmAutoSave::bnAutoSaveFinishClick() { hide(); }

void TfrmAutoSave::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

bool TfrmAutoSave::eventFilter(QObject* watched, QEvent* event) {
  if (watched == btnSetAutoSave && event->type() == QEvent::FocusOut) btnSetAutoSaveExit();
  return QWidget::eventFilter(watched, event);
}

} // namespace qel
