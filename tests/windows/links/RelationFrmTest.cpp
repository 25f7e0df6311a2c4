// The relation-type window.
#include "GuiTest.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ScriptedDialogs.h"
#include "windows/links/RelationFrm.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace qel {
namespace {

class RelationFrmTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    Script.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
    for (const char* name : {"leads to", "consists of", "assumes"}) {
      TRelation record;
      record.Name = name;
      Project.AddRelation(record);
    }
    Project.SetModified(false);
    Form = std::make_unique<TRelationForm>();
    Form->SetContainer(&Project);
    Form->FillList();
  }
  void TearDown() override { EXPECT_EQ(Script.Pending(), 0u); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < Form->LV_Relations->topLevelItemCount(); ++i)
      rows.push_back(FromQString(Form->LV_Relations->topLevelItem(i)->text(0)));
    return rows;
  }
  QTreeWidgetItem* Row(const std::string& caption) {
    for (int i = 0; i < Form->LV_Relations->topLevelItemCount(); ++i)
      if (Form->LV_Relations->topLevelItem(i)->text(0) == ToQString(caption)) return Form->LV_Relations->topLevelItem(i);
    return nullptr;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < Project.RelationCount(); ++i) names.push_back(Project.GetRelation(i)->Data.Name);
    return names;
  }
  bool Ok() {
    Form->setResult(0);
    Form->BTN_OkClick();
    return Form->result() == QDialog::Accepted;
  }

  TScriptedDialogs Script;
  TContainer Project;
  std::unique_ptr<TRelationForm> Form;
};

TEST_F(RelationFrmTest, RowsAreSortedAndOkStoresAddedAndRenamedTypes) {
  EXPECT_EQ(Form->windowTitle(), "Relation Type Maintenance");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"assumes", "consists of", "leads to"}));
  EXPECT_EQ(Form->RowRelation(Row("assumes")), Project.GetRelation(2));
  Script.AnswerInput(true, "causes").AnswerInput(true, "").AnswerInput(false);
  Form->BTN_AddClick();
  Form->BTN_AddClick();
  Form->BTN_AddClick();
  EXPECT_EQ(Script.Shown[0].Caption, "Create new relation");
  EXPECT_EQ(Script.Shown[0].Text, "Relation type ");
  EXPECT_EQ(Script.Shown[0].Value, "New Relation");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"", "assumes", "causes", "consists of", "leads to"}));
  EXPECT_EQ(Project.RelationCount(), 3); // only OK stores
  Row("leads to")->setText(0, "Leads To");
  ASSERT_TRUE(Ok());
  EXPECT_EQ(Names(), (std::vector<std::string>{"Leads To", "consists of", "assumes", "", "causes"}));
}

// An OK that changes nothing must not leave the project to be saved.
TEST_F(RelationFrmTest, OkWithoutChangesLeavesTheProjectUnmodified) {
  ASSERT_TRUE(Ok());
  EXPECT_FALSE(Project.IsModified());
}

TEST_F(RelationFrmTest, EqualCaptionsBlockOkUntilChanged) {
  Row("assumes")->setText(0, "Assumes");
  ASSERT_TRUE(Ok()); // letter case makes them differ
  Form->FillList();
  Row("consists of")->setText(0, "Assumes");
  Script.Answer(mrOk);
  EXPECT_FALSE(Ok());
  EXPECT_EQ(Script.Shown.back().Text, "There are relation types with similar names...");
  EXPECT_EQ(Names(), (std::vector<std::string>{"leads to", "consists of", "Assumes"}));
  Row("Assumes")->setText(0, "consists of");
  EXPECT_TRUE(Ok());
}

// Fault: a caption edited in place to nothing was stored as an empty name.
TEST_F(RelationFrmTest, ACaptionEditedToNothingKeepsItsName) {
  Form->show();
  for (const char* typed : {"", "  "}) {
    QTreeWidgetItem* row = Row("consists of");
    ASSERT_NE(row, nullptr);
    Form->LV_Relations->setCurrentItem(row);
    Form->LV_Relations->editItem(row);
    auto* editor = qobject_cast<QLineEdit*>(Form->LV_Relations->indexWidget(Form->LV_Relations->currentIndex()));
    ASSERT_NE(editor, nullptr);
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"assumes", "consists of", "leads to"})) << '"' << typed << '"';
  }
  // A caption typed over is still taken.
  Form->LV_Relations->setCurrentItem(Row("assumes"));
  Form->LV_Relations->editItem(Row("assumes"));
  auto* editor = qobject_cast<QLineEdit*>(Form->LV_Relations->indexWidget(Form->LV_Relations->currentIndex()));
  ASSERT_NE(editor, nullptr);
  editor->setText("presumes");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_TRUE(Ok());
  EXPECT_EQ(Names(), (std::vector<std::string>{"leads to", "consists of", "presumes"}));
}

TEST_F(RelationFrmTest, DeleteTakesUnusedTypesAtOnceAndKeepsThoseInUse) {
  Script.Answer(mrOk);
  Form->BTN_DeleteClick();
  EXPECT_EQ(Script.Shown.back().Text, "No relation selected !");

  TNoteItem* a = Project.AddNote(TNote());
  TNoteItem* b = Project.AddNote(TNote());
  TSheetItem* sheet = Project.AddSheet(TSheet());
  Project.NewLink(a, b, Project.GetRelation(0), sheet);
  Project.NewLink(b, a, Project.GetRelation(0), sheet);
  Script.AnswerInput(true, "fresh");
  Form->BTN_AddClick();
  for (const char* caption : {"leads to", "assumes", "fresh"}) Row(caption)->setSelected(true);
  Script.Answer(mrOk).Answer(mrNo); // rows from the last: "leads to", "fresh", "assumes"
  Form->BTN_DeleteClick();
  EXPECT_EQ(Script.Shown[Script.Shown.size() - 2].Text, "Relation \"leads to\" is still used by 2 link(s)");
  EXPECT_EQ(Script.Shown.back().Text, "Delete relation type ?");
  EXPECT_EQ(Script.Shown.back().Type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"consists of", "fresh", "leads to"}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"leads to", "consists of"})); // without OK
  Form->LV_Relations->clearSelection();
  Row("fresh")->setSelected(true);
  Script.Answer(mrYes);
  Form->BTN_DeleteClick();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"consists of", "leads to"}));
  EXPECT_EQ(Project.RelationCount(), 2);
}

} // namespace
} // namespace qel
