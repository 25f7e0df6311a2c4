#include "ScriptedDialogs.h"

#include <utility>

namespace qel {
namespace {

const char* KindName(TDialogKind kind) {
  switch (kind) {
  case TDialogKind::Message: return "message box";
  case TDialogKind::Input: return "input box";
  case TDialogKind::Open: return "open dialog";
  case TDialogKind::Save: return "save dialog";
  case TDialogKind::Directory: return "folder dialog";
  case TDialogKind::Color: return "colour dialog";
  case TDialogKind::Print: return "print dialog";
  }
  return "dialog";
}

} // namespace

TScriptedDialogs::TScriptedDialogs() : FPrevious(SetDialogProvider(this)) {}

TScriptedDialogs::~TScriptedDialogs() { SetDialogProvider(FPrevious); }

TScriptedDialogs& TScriptedDialogs::Push(TAnswer answer) {
  FAnswers.push_back(std::move(answer));
  return *this;
}

TScriptedDialogs& TScriptedDialogs::Answer(int modalResult, std::function<void()> during) {
  return Push({TDialogKind::Message, modalResult, true, {}, 0, std::move(during)});
}
TScriptedDialogs& TScriptedDialogs::AnswerInput(bool accept, const std::string& text) {
  return Push({TDialogKind::Input, mrOk, accept, text, 0, {}});
}
TScriptedDialogs& TScriptedDialogs::AnswerOpen(bool accept, const std::string& fileName) {
  return Push({TDialogKind::Open, mrOk, accept, fileName, 0, {}});
}
TScriptedDialogs& TScriptedDialogs::AnswerSave(bool accept, const std::string& fileName) {
  return Push({TDialogKind::Save, mrOk, accept, fileName, 0, {}});
}
TScriptedDialogs& TScriptedDialogs::AnswerDirectory(bool accept, const std::string& folder) {
  return Push({TDialogKind::Directory, mrOk, accept, folder, 0, {}});
}
TScriptedDialogs& TScriptedDialogs::AnswerColor(bool accept, TColor color) {
  return Push({TDialogKind::Color, mrOk, accept, {}, color, {}});
}
TScriptedDialogs& TScriptedDialogs::AnswerPrint(bool accept) {
  return Push({TDialogKind::Print, mrOk, accept, {}, 0, {}});
}

bool TScriptedDialogs::Take(TShown shown, TAnswer& answer) {
  Shown.push_back(shown);
  if (FAnswers.empty() || FAnswers.front().Kind != shown.Kind) {
    std::string what = std::string("unexpected ") + KindName(shown.Kind) + ": \"" + shown.Caption + "\" \"" +
                       shown.Text + "\"";
    Failures.push_back(what);
    if (OnFailure) OnFailure(what);
    return false;
  }
  answer = std::move(FAnswers.front());
  FAnswers.pop_front();
  if (answer.During) answer.During();
  return true;
}

int TScriptedDialogs::MessageBox(const TMessageBoxRequest& request) {
  TShown shown;
  shown.Kind = TDialogKind::Message;
  shown.Type = request.Type;
  shown.Caption = request.Caption;
  shown.Text = request.Text;
  shown.Buttons = request.Buttons;
  TAnswer answer;
  return Take(shown, answer) ? answer.Result : mrCancel;
}

bool TScriptedDialogs::InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  TShown shown;
  shown.Kind = TDialogKind::Input;
  shown.Caption = Caption;
  shown.Text = Prompt;
  shown.Value = Value;
  TAnswer answer;
  if (!Take(shown, answer) || !answer.Accept) return false;
  Value = answer.Value;
  return true;
}

bool TScriptedDialogs::FileBox(TDialogKind kind, TFileDialogRequest& request) {
  TShown shown;
  shown.Kind = kind;
  shown.Caption = request.Title;
  shown.Value = request.FileName;
  shown.File = request;
  TAnswer answer;
  if (!Take(shown, answer) || !answer.Accept) return false;
  request.FileName = answer.Value;
  return true;
}

bool TScriptedDialogs::OpenDialog(TFileDialogRequest& request) { return FileBox(TDialogKind::Open, request); }

bool TScriptedDialogs::SaveDialog(TFileDialogRequest& request) { return FileBox(TDialogKind::Save, request); }

bool TScriptedDialogs::SelectDirectory(const std::string& Caption, std::string& Directory) {
  TShown shown;
  shown.Kind = TDialogKind::Directory;
  shown.Caption = Caption;
  shown.Value = Directory;
  TAnswer answer;
  if (!Take(shown, answer) || !answer.Accept) return false;
  Directory = answer.Value;
  return true;
}

bool TScriptedDialogs::ColorDialog(TColor& Color) {
  TShown shown;
  shown.Kind = TDialogKind::Color;
  TAnswer answer;
  if (!Take(shown, answer) || !answer.Accept) return false;
  Color = answer.Color;
  return true;
}

bool TScriptedDialogs::PrintDialog(QPrinter&) {
  TShown shown;
  shown.Kind = TDialogKind::Print;
  TAnswer answer;
  return Take(shown, answer) && answer.Accept;
}

} // namespace qel
