#include "tests/windows/WindowTest.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/StorableText.h"
#include "windows/links/RelationFrm.h"
#include "windows/nav/ItemTreeWidget.h"
#include "windows/props/NoteProp.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace qel;

namespace {

class StorableTextBoxes : public test::WindowTest {
protected:
  // Types "Caf", "ÿ" and "e", then pastes "→x" (an arrow Windows-1252 has not): what the box
  // holds then, and what it said about each refusal.
  QString TypeInto(QLineEdit* edit, QStringList& said) {
    edit->setFocus();
    QTest::keyClicks(edit, "Caf");
    QTest::keyClicks(edit, QString(QChar(0xFF)));
    said << (QToolTip::isVisible() ? QToolTip::text() : QString());
    QTest::keyClicks(edit, "e");
    QApplication::clipboard()->setText(QString(QChar(0x2192)) + "x");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    said << (QToolTip::isVisible() ? QToolTip::text() : QString());
    return edit->text();
  }
  // An editable row of a list, its editor open.
  static QLineEdit* EditRow(QTreeWidget* list) {
    auto* row = new QTreeWidgetItem(list, {"Old"});
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    list->show();
    list->editItem(row, 0);
    auto* editor = list->findChild<QLineEdit*>();
    if (editor) editor->clear();
    return editor;
  }
};

} // namespace

TEST(StorableTextOf, LeavesOutTheFieldSeparatorAndWhatTheCodePageLacks) {
  QString left;
  EXPECT_EQ(StorableText(QString::fromUtf8("Caf\u00ffé €? x\u2192y\U0001F600"), &left), QString::fromUtf8("Café €? xy"));
  EXPECT_EQ(left, QString::fromUtf8("\u00ff\u2192\U0001F600"));
}

// Fault: "ÿ" (the data files' field separator) and characters outside Windows-1252 were taken
// silently and became "?" at the next save.
TEST_F(StorableTextBoxes, BoxesWhoseTextIsStoredRefuseWhatTheFilesCannotHoldWithAWord) {
  TNoteItem* note = AddNote("Name");
  TNotePrp noteWindow;
  noteWindow.Container = &Project;
  TInputBox inputBox(nullptr, "New sheet name?", "Name of the sheet:", "");
  TRelationForm relations;
  TItemTreeWidget tree;
  const struct {
    const char* name;
    std::function<QLineEdit*()> open;
    std::function<void()> store;
  } boxes[] = {
      {"note name",
       [&] {
         noteWindow.show();
         noteWindow.ShowNote(note, Project.RelationPool.get(), Project.LinkPool.get());
         noteWindow.ED_Caption->clear();
         return noteWindow.ED_Caption;
       },
       [&] {
         noteWindow.UpdateItem(true);
         EXPECT_EQ(note->Data.Name, "Cafex");
       }},
      {"input box",
       [&] {
         inputBox.show();
         return inputBox.Edit;
       },
       {}},
      {"relation type", [&] { return EditRow(relations.LV_Relations); }, {}},
      {"navigator rename", [&] { return EditRow(&tree); }, {}},
  };
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.name);
    QLineEdit* edit = box.open();
    ASSERT_NE(edit, nullptr);
    QStringList said;
    EXPECT_EQ(TypeInto(edit, said), "Cafex");
    EXPECT_EQ(edit->cursorPosition(), 5);
    EXPECT_EQ(said, (QStringList{LeftOutMessage(QString(QChar(0xFF))), LeftOutMessage(QString(QChar(0x2192)))}));
    if (box.store) box.store();
    QToolTip::hideText();
  }
  EXPECT_TRUE(Script.Shown.empty());
}
