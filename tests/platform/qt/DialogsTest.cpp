#include "platform/qt/ScriptedDialogs.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(Dialogs, MessageBoxesAreCaptionedByTheirKind) {
  TScriptedDialogs script;
  script.Answer(mrYes).Answer(mrOk).Answer(mrOk);
  EXPECT_EQ(MessageDlg("Sure?", TMsgDlgType::mtConfirmation, mbYesNo), mrYes);
  MessageDlg("Broken", TMsgDlgType::mtError, mbOK);
  ShowMessage("Plain");
  ASSERT_EQ(script.Shown.size(), 3u);
  EXPECT_EQ(script.Shown[0].Caption, "Confirm");
  EXPECT_EQ(script.Shown[0].Buttons, mbYesNo);
  EXPECT_EQ(script.Shown[1].Caption, "Error");
  EXPECT_EQ(script.Shown[2].Caption, ApplicationTitle());
  EXPECT_EQ(script.Shown[2].Type, TMsgDlgType::mtCustom);
  EXPECT_TRUE(script.Failures.empty());
}

TEST(Dialogs, InputBoxGivesItsDefaultWhenCancelled) {
  TScriptedDialogs script;
  script.AnswerInput(false, "typed").AnswerInput(true, "typed");
  EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "default");
  EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "typed");
  EXPECT_EQ(script.Shown[0].Value, "default");
}

TEST(Dialogs, AnUnexpectedBoxIsAFailureAnsweredWithCancel) {
  TScriptedDialogs script;
  std::vector<std::string> reported;
  script.OnFailure = [&](const std::string& what) { reported.push_back(what); };
  script.AnswerOpen(true, "x.qel");
  EXPECT_EQ(MessageDlg("Which?", TMsgDlgType::mtConfirmation, mbYesNoCancel), mrCancel);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_NE(reported[0].find("Which?"), std::string::npos);
  EXPECT_EQ(script.Pending(), 1u); // the open answer is still waiting
}

TEST(Dialogs, TheScriptInstallsItselfAndRestoresThePreviousProvider) {
  IDialogProvider* before = &Dialogs();
  {
    TScriptedDialogs outer;
    EXPECT_EQ(&Dialogs(), &outer);
    {
      TScriptedDialogs inner;
      EXPECT_EQ(&Dialogs(), &inner);
    }
    EXPECT_EQ(&Dialogs(), &outer);
  }
  EXPECT_EQ(&Dialogs(), before);
}

} // namespace
} // namespace qel
