#pragma once
// Every message box, input box and common dialog of the program goes through one replaceable
// provider. The default provider shows Qt's dialogs; tests install a script (ScriptedDialogs.h)
// that answers each box and records what it showed. Texts are Windows-1252 strings.
#include "platform/Colors.h"

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPrinter;

namespace qel {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message box, combined with |.
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1u << 0;
constexpr TMsgDlgButtons mbNo = 1u << 1;
constexpr TMsgDlgButtons mbOK = 1u << 2;
constexpr TMsgDlgButtons mbCancel = 1u << 3;
constexpr TMsgDlgButtons mbAbort = 1u << 4;
constexpr TMsgDlgButtons mbRetry = 1u << 5;
constexpr TMsgDlgButtons mbIgnore = 1u << 6;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;

// What a modal window answers. A box closed without a button answers mrCancel.
enum TModalResult : int { mrNone = 0, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };

struct TMessageBoxRequest {
  TMsgDlgType Type = TMsgDlgType::mtCustom;
  std::string Caption;
  std::string Text;
  TMsgDlgButtons Buttons = mbOK;
};

// An open or save dialog. Filter pairs descriptions and patterns with "|":
// "QEL Projects (*.qel)|*.qel|All Files (*.*)|*.*".
struct TFileDialogRequest {
  std::string Title;
  std::string Filter;
  std::string DefaultExt; // without the full stop; added to a chosen name that has none
  std::string InitialDir;
  std::string FileName; // the proposed name; the chosen one when the dialog is confirmed
  bool OverwritePrompt = false;
  bool FileMustExist = false;
};

class IDialogProvider {
public:
  virtual ~IDialogProvider() = default;
  // One of the TModalResult values of the buttons offered.
  virtual int MessageBox(const TMessageBoxRequest& request) = 0;
  // True when confirmed; Value holds the proposed text and receives the typed one.
  virtual bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) = 0;
  // True when confirmed; the chosen name is in request.FileName.
  virtual bool OpenDialog(TFileDialogRequest& request) = 0;
  virtual bool SaveDialog(TFileDialogRequest& request) = 0;
  // True when confirmed; Directory holds the start folder and receives the chosen one.
  virtual bool SelectDirectory(const std::string& Caption, std::string& Directory) = 0;
  virtual bool ColorDialog(TColor& Color) = 0;
  // True when the user confirmed printing on the printer as set up in the dialog.
  virtual bool PrintDialog(QPrinter& Printer) = 0;
};

// The provider in use (Qt's dialogs unless one was installed).
IDialogProvider& Dialogs();
// Installs a provider (null restores Qt's); returns the one it replaces.
IDialogProvider* SetDialogProvider(IDialogProvider* provider);

// The caption of a message box of the kind: "Warning", "Error", "Information", "Confirm",
// or the application title for mtCustom.
std::string MessageCaption(TMsgDlgType type);
// A message box captioned by its kind.
int MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons);
// A plain message with an OK button, captioned by the application title.
void ShowMessage(const std::string& Text);
// The typed text, or Default when the box is cancelled.
std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default);
// The width a top-level window needs for its whole title in the title bar.
int TitleBarWidth(const QString& title);
// The input box of Qt's provider: the prompt over the text box, OK and Cancel, and room for
// the whole title.
class TInputBox : public QDialog {
public:
  TInputBox(QWidget* parent, const std::string& Caption, const std::string& Prompt, const std::string& Value);
  QLabel* PromptLabel;
  QLineEdit* Edit;
};
// Keeps a box or dialog above the program's stay-on-top windows (note, sheet and search
// windows), whatever its parent; called before it is shown.
void KeepAbove(QWidget* dialog);
// The application title ("QEL" once the program block has set it).
std::string ApplicationTitle();

} // namespace qel
