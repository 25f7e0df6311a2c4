#include "Dialogs.h"

#include "QtConvert.h"
#include "StorableText.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace qel {
namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

// "Desc|*.a;*.b|..." to Qt's "Desc (*.a *.b);;...".
QString QtFilter(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = QString(parts[i + 1]).replace(';', ' ');
    QString desc = parts[i];
    out << (desc.endsWith("(" + patterns + ")") ? desc : desc + " (" + patterns + ")");
  }
  return out.join(";;");
}

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
  case TMsgDlgType::mtWarning: return QMessageBox::Warning;
  case TMsgDlgType::mtError: return QMessageBox::Critical;
  case TMsgDlgType::mtInformation: return QMessageBox::Information;
  case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
  default: return QMessageBox::NoIcon;
  }
}

constexpr std::pair<TMsgDlgButtons, QMessageBox::StandardButton> kButtons[] = {
    {mbYes, QMessageBox::Yes},     {mbNo, QMessageBox::No},         {mbOK, QMessageBox::Ok},
    {mbCancel, QMessageBox::Cancel}, {mbAbort, QMessageBox::Abort}, {mbRetry, QMessageBox::Retry},
    {mbIgnore, QMessageBox::Ignore}};

int ResultOf(QMessageBox::StandardButton button) {
  switch (button) {
  case QMessageBox::Yes: return mrYes;
  case QMessageBox::No: return mrNo;
  case QMessageBox::Ok: return mrOk;
  case QMessageBox::Abort: return mrAbort;
  case QMessageBox::Retry: return mrRetry;
  case QMessageBox::Ignore: return mrIgnore;
  default: return mrCancel;
  }
}

bool RunFileDialog(TFileDialogRequest& request, bool save) {
  QFileDialog dialog(DialogParent(), ToQString(request.Title), ToQString(request.InitialDir), QtFilter(request.Filter));
  KeepAbove(&dialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(ToQString(request.DefaultExt));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
  if (!request.FileName.empty()) dialog.selectFile(ToQString(request.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.FileName = FromQString(dialog.selectedFiles().first());
  return true;
}

class TQtDialogs : public IDialogProvider {
public:
  int MessageBox(const TMessageBoxRequest& request) override {
    QMessageBox box(IconOf(request.Type), ToQString(request.Caption), ToQString(request.Text), QMessageBox::NoButton,
                    DialogParent());
    KeepAbove(&box);
    for (auto [flag, button] : kButtons)
      if (request.Buttons & flag) box.addButton(button);
    box.exec();
    return ResultOf(box.standardButton(box.clickedButton()));
  }
  bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) override {
    TInputBox box(DialogParent(), Caption, Prompt, Value);
    if (box.exec() != QDialog::Accepted) return false;
    Value = FromQString(box.Edit->text());
    return true;
  }
  bool OpenDialog(TFileDialogRequest& request) override { return RunFileDialog(request, false); }
  bool SaveDialog(TFileDialogRequest& request) override { return RunFileDialog(request, true); }
  bool SelectDirectory(const std::string& Caption, std::string& Directory) override {
    QFileDialog dialog(DialogParent(), ToQString(Caption), ToQString(Directory));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    KeepAbove(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    Directory = FromQString(dialog.selectedFiles().first());
    return true;
  }
  bool ColorDialog(TColor& Color) override {
    QColorDialog dialog(ToQColor(Color), DialogParent());
    KeepAbove(&dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid()) return false;
    Color = FromQColor(dialog.selectedColor());
    return true;
  }
  bool PrintDialog(QPrinter& Printer) override {
    QPrintDialog dialog(&Printer, DialogParent());
    KeepAbove(&dialog);
    return dialog.exec() == QDialog::Accepted;
  }
};

TQtDialogs& QtDialogs() {
  static TQtDialogs dialogs;
  return dialogs;
}

IDialogProvider* Current = nullptr;

} // namespace

IDialogProvider& Dialogs() { return Current ? *Current : QtDialogs(); }

IDialogProvider* SetDialogProvider(IDialogProvider* provider) { return std::exchange(Current, provider); }

std::string ApplicationTitle() {
  QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? std::string("QEL") : FromQString(name);
}

std::string MessageCaption(TMsgDlgType type) {
  switch (type) {
  case TMsgDlgType::mtWarning: return "Warning";
  case TMsgDlgType::mtError: return "Error";
  case TMsgDlgType::mtInformation: return "Information";
  case TMsgDlgType::mtConfirmation: return "Confirm";
  default: return ApplicationTitle();
  }
}

int MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) {
  return Dialogs().MessageBox({Type, MessageCaption(Type), Text, Buttons});
}

void ShowMessage(const std::string& Text) {
  Dialogs().MessageBox({TMsgDlgType::mtCustom, ApplicationTitle(), Text, mbOK});
}

void KeepAbove(QWidget* dialog) { dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true); }

int TitleBarWidth(const QString& title) {
  // The window manager draws the title in about the program's font, beside an icon and
  // three buttons.
  return QFontMetrics(QApplication::font()).horizontalAdvance(title) + 120;
}

TInputBox::TInputBox(QWidget* parent, const std::string& Caption, const std::string& Prompt, const std::string& Value)
    : QDialog(parent) {
  KeepAbove(this);
  setWindowTitle(ToQString(Caption));
  auto* layout = new QVBoxLayout(this);
  PromptLabel = new QLabel(ToQString(Prompt), this);
  Edit = new QLineEdit(ToQString(Value), this);
  GuardStorableText(Edit);
  PromptLabel->setBuddy(Edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(PromptLabel);
  layout->addWidget(Edit);
  layout->addWidget(buttons);
  Edit->selectAll();
  resize(std::max({TitleBarWidth(windowTitle()), 300, sizeHint().width()}), sizeHint().height());
}

std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default) {
  std::string value = Default;
  return Dialogs().InputQuery(Caption, Prompt, value) ? value : Default;
}

} // namespace qel
