// The new-link and edit-link dialogs.
#include "GuiTest.h"
#include "model/Container.h"
#include "platform/qt/ScriptedDialogs.h"
#include "platform/qt/QtConvert.h"
#include "windows/links/EditLink.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace qel {
namespace {

class LinkDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    Script.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
    for (const char* name : {"leads to", "consists of", "assumes"}) AddRelation(name);
    Sheet = Project.AddSheet(TSheet());
    From = Project.AddNote(TNote());
    To = Project.AddNote(TNote());
  }
  void TearDown() override { EXPECT_EQ(Script.Pending(), 0u); }
  TRelationItem* AddRelation(const std::string& name) {
    TRelation record;
    record.Name = name;
    return Project.AddRelation(record);
  }
  std::vector<std::string> Entries(const TNewLinkForm& form) {
    std::vector<std::string> entries;
    for (int i = 0; i < form.CB_LinkType->count(); ++i) entries.push_back(FromQString(form.CB_LinkType->itemText(i)));
    return entries;
  }
  bool Ok(TNewLinkForm& form) {
    form.setResult(0);
    form.BTN_Ok->click();
    return form.result() == QDialog::Accepted;
  }

  TScriptedDialogs Script;
  TContainer Project;
  TSheetItem* Sheet;
  TNoteItem* From;
  TNoteItem* To;
};

TEST_F(LinkDialogTest, NewLinkListsTheTypesSortedAndChoosesByName) {
  TNewLinkForm form;
  form.Setup(&Project, From, To, Sheet);
  EXPECT_EQ(form.windowTitle(), "New Link");
  EXPECT_EQ(Entries(form), (std::vector<std::string>{"assumes", "consists of", "leads to"}));
  EXPECT_EQ(form.CB_LinkType->currentIndex(), 0);
  EXPECT_EQ(form.SP_LinkWidth->value(), 1);
  EXPECT_EQ(form.SP_LinkWidth->minimum(), 1);
  EXPECT_EQ(form.SP_LinkWidth->maximum(), 10);
  EXPECT_TRUE(form.ED_LinkWidth->isReadOnly());
  EXPECT_EQ(form.PN_LinkColor->Color(), clBlack);
  form.SP_LinkWidth->setValue(12);
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenRelation.Get(), Project.GetRelation(2));
  EXPECT_EQ(form.ChosenWidth, 10);
  EXPECT_EQ(form.ChosenArrow, 2);
  EXPECT_EQ(form.ListToPoolIndex(0), 2);
  EXPECT_EQ(form.PoolToListIndex(0), 2);
  EXPECT_EQ(form.ListToPoolIndex(7), 3);
}

TEST_F(LinkDialogTest, DuplicateIsRefusedOnlyForTheSameWayOnTheSameSheet) {
  Project.NewLink(From, To, Project.GetRelation(2), Sheet);
  TNewLinkForm form;
  form.Setup(&Project, From, To, Sheet);
  Script.Answer(mrOk);
  EXPECT_FALSE(Ok(form));
  EXPECT_EQ(Script.Shown.back().Text, "Notes already have this type of relation...");
  form.Setup(&Project, To, From, Sheet);
  EXPECT_TRUE(Ok(form));
  form.Setup(&Project, From, To, Project.AddSheet(TSheet()));
  EXPECT_TRUE(Ok(form));
}

// Fault: entries carried only names, so of two types named alike (after an import) the first
// was always taken, whichever entry the user chose.
TEST_F(LinkDialogTest, TwoTypesOfOneNameEachChooseTheirOwn) {
  TRelationItem* first = Project.GetRelation(0);
  TRelationItem* second = AddRelation("leads to");
  Project.NewLink(From, To, first, Sheet);
  TNewLinkForm form;
  form.Setup(&Project, From, To, Sheet);
  EXPECT_EQ(Entries(form), (std::vector<std::string>{"assumes", "consists of", "leads to", "leads to"}));
  EXPECT_EQ(form.ListToPoolIndex(2), 0);
  EXPECT_EQ(form.ListToPoolIndex(3), 3);
  EXPECT_EQ(form.PoolToListIndex(3), 3);
  form.CB_LinkType->setCurrentIndex(3); // the second: no link of that type yet
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenRelation.Get(), second);
  form.CB_LinkType->setCurrentIndex(2); // the first already links the notes
  Script.Answer(mrOk);
  EXPECT_FALSE(Ok(form));
  EXPECT_EQ(Script.Shown.back().Text, "Notes already have this type of relation...");

  TLinkItem* link = Project.NewLink(From, To, second, Sheet);
  TEditLinkForm edit;
  edit.SetupLink(&Project, link);
  EXPECT_EQ(edit.CB_LinkType->currentIndex(), 3);
  edit.CB_LinkType->setCurrentIndex(2); // same name, other type: a change, and a duplicate
  EXPECT_TRUE(edit.TypeChanged());
  Script.Answer(mrOk);
  EXPECT_FALSE(Ok(edit));
  second->Delete(); // gone while the dialog is open: its entry chooses nothing
  edit.CB_LinkType->setCurrentIndex(3);
  EXPECT_EQ(edit.ListToPoolIndex(3), 4);
}

TEST_F(LinkDialogTest, ColourDialogOpensWithTheColourItLastReturned) {
  struct TRecording : TScriptedDialogs {
    bool ColorDialog(TColor& Color) override {
      Offered.push_back(Color);
      return TScriptedDialogs::ColorDialog(Color);
    }
    std::vector<TColor> Offered;
  } script;
  script.AnswerColor(true, clRed).AnswerColor(false);
  TNewLinkForm form;
  form.Setup(&Project, From, To, Sheet);
  form.PN_LinkColorDblClick();
  EXPECT_EQ(form.PN_LinkColor->Color(), clRed);
  form.PN_LinkColorDblClick(); // cancelled
  EXPECT_EQ(script.Offered, (std::vector<TColor>{clBlack, clRed}));
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenColor, clRed);
  form.Setup(&Project, From, To, Sheet);
  EXPECT_EQ(form.PN_LinkColor->Color(), clBlack); // each use starts afresh
}

TEST_F(LinkDialogTest, WithoutTypesOkChoosesNothing) {
  TContainer empty;
  TNewLinkForm form;
  form.Setup(&empty, From, To, Sheet);
  EXPECT_EQ(form.CB_LinkType->count(), 0);
  EXPECT_EQ(form.PoolToListIndex(0), 0);
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenRelation.Get(), nullptr);
}

TEST_F(LinkDialogTest, EditShowsTheLinkAndTestsOnlyAChangedType) {
  TLinkItem* link = Project.NewLink(From, To, Project.GetRelation(0), Sheet);
  link->SetColor(clGreen);
  link->SetPenWidth(4);
  Project.NewLink(From, To, Project.GetRelation(2), Sheet);
  TEditLinkForm form;
  form.SetupLink(&Project, link);
  EXPECT_EQ(form.CB_LinkType->currentText(), "leads to");
  EXPECT_EQ(form.SP_LinkWidth->value(), 4);
  EXPECT_EQ(form.PN_LinkColor->Color(), clGreen);
  EXPECT_FALSE(form.TypeChanged());
  ASSERT_TRUE(Ok(form)); // its own type is no duplicate
  EXPECT_EQ(form.ChosenRelation.Get(), Project.GetRelation(0));
  form.CB_LinkType->setCurrentText("assumes");
  EXPECT_TRUE(form.TypeChanged());
  Script.Answer(mrOk);
  EXPECT_FALSE(Ok(form));
  EXPECT_EQ(Script.Shown.back().Text, "Notes already have this type of relation...");
  form.CB_LinkType->setCurrentText("consists of");
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenRelation.Get(), Project.GetRelation(1));
}

// Fault: a link of the second of two types named alike was moved to the first on any edit.
TEST_F(LinkDialogTest, EditKeepsTheLinksOwnTypeAmongTypesOfOneName) {
  TRelationItem* second = AddRelation("leads to");
  TLinkItem* link = Project.NewLink(From, To, second, Sheet);
  TEditLinkForm form;
  form.SetupLink(&Project, link);
  EXPECT_FALSE(form.TypeChanged());
  ASSERT_TRUE(Ok(form));
  EXPECT_EQ(form.ChosenRelation.Get(), second);
}

} // namespace
} // namespace qel
