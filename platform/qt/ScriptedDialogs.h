#pragma once
// A dialog provider for tests: each box takes the next scripted answer, in order, and is
// recorded. A box without a matching answer (none left, or one of another kind) is a failure:
// it is reported through OnFailure and answered with Cancel. Installs itself while it lives.
#include "Dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qel {

enum class TDialogKind { Message, Input, Open, Save, Directory, Color, Print };

class TScriptedDialogs : public IDialogProvider {
public:
  struct TShown {
    TDialogKind Kind = TDialogKind::Message;
    TMsgDlgType Type = TMsgDlgType::mtCustom; // message boxes
    std::string Caption;                      // message and input boxes, directory dialog
    std::string Text;                         // message text, input prompt
    TMsgDlgButtons Buttons = 0;               // message boxes
    std::string Value;                        // proposed input text or file name
    TFileDialogRequest File;                  // open and save dialogs as requested
  };
  struct TAnswer {
    TDialogKind Kind = TDialogKind::Message;
    int Result = mrOk;       // message boxes
    bool Accept = true;      // the other boxes
    std::string Value;       // typed text, chosen file or folder name
    TColor Color = 0;        // colour dialog
    std::function<void()> During; // runs while the box is open (a timer firing, say)
  };

  TScriptedDialogs();
  ~TScriptedDialogs() override;
  TScriptedDialogs(const TScriptedDialogs&) = delete;
  TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

  TScriptedDialogs& Answer(int modalResult, std::function<void()> during = {});
  TScriptedDialogs& AnswerInput(bool accept, const std::string& text = {});
  TScriptedDialogs& AnswerOpen(bool accept, const std::string& fileName = {});
  TScriptedDialogs& AnswerSave(bool accept, const std::string& fileName = {});
  TScriptedDialogs& AnswerDirectory(bool accept, const std::string& folder = {});
  TScriptedDialogs& AnswerColor(bool accept, TColor color = 0);
  TScriptedDialogs& AnswerPrint(bool accept);

  // Every box shown so far, in order.
  std::vector<TShown> Shown;
  // Answers not yet taken.
  size_t Pending() const { return FAnswers.size(); }
  // Unexpected boxes; each is also passed to OnFailure when set.
  std::vector<std::string> Failures;
  std::function<void(const std::string&)> OnFailure;

  int MessageBox(const TMessageBoxRequest& request) override;
  bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) override;
  bool OpenDialog(TFileDialogRequest& request) override;
  bool SaveDialog(TFileDialogRequest& request) override;
  bool SelectDirectory(const std::string& Caption, std::string& Directory) override;
  bool ColorDialog(TColor& Color) override;
  bool PrintDialog(QPrinter& Printer) override;

private:
  TScriptedDialogs& Push(TAnswer answer);
  // Records the box and takes the next answer; false when none fits.
  bool Take(TShown shown, TAnswer& answer);
  bool FileBox(TDialogKind kind, TFileDialogRequest& request);

  std::deque<TAnswer> FAnswers;
  IDialogProvider* FPrevious;
};

} // namespace qel
