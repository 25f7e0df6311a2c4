// The export window driving the search window's export.
#include "SearchWindowFixture.h"

#include "platform/FileNames.h"
#include "windows/search/ExportData.h"
#include "search/SearchExport.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace qel::test {
namespace {

class ExportDataTest : public SearchWindowFixture {
protected:
  // A search window on the page, searched, with the export window shown by it.
  void ShowExport(int kind) {
    Open(kind);
    Window->btn_search->click();
    Window->btnExport->click();
    Export = ExpDataFrm;
  }
  static void Focus(QWidget* widget, Qt::FocusReason reason) {
    QFocusEvent event(QEvent::FocusIn, reason);
    QApplication::sendEvent(widget, &event);
  }
  std::string Exported(const std::string& base, const std::string& suffix) {
    return ReadFileBytes(TSearchExport::FileName(base, suffix));
  }

  TExpDataFrm* Export = nullptr;
};

TEST_F(ExportDataTest, ExportsToTheChosenFolderUnderTheTypedName) {
  ShowExport(2);
  EXPECT_TRUE(Export->isVisible());
  EXPECT_EQ(Export->Mode, "");
  Script.AnswerDirectory(true, Root + "out").Answer(mrYes);
  Export->btnExDir->click();
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtConfirmation);
  EXPECT_TRUE(DirectoryExists(Root + "out"));
  EXPECT_EQ(Export->mExDir->text().toStdString(), Root + "out");
  Export->edtExFn->setText("Result");
  Export->btnImEx->click();
  EXPECT_EQ(Export->btnImEx->text(), "Data exported!");
  EXPECT_EQ(Exported(Root + "out/Result", "_sht"), "New0123456789\r\n") << "no choice made: the small export";
  EXPECT_NE(Exported(Root + "out/Result", "_Not"), "");
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(Export->btnImEx, &leave);
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");

  Export->rbShNotLnkAtt->click();
  EXPECT_EQ(Export->Mode, "ExBig");
  Script.Answer(mrYes);
  Export->btnImEx->click();
  EXPECT_EQ(Script.Shown.back().Type, TMsgDlgType::mtConfirmation);
  EXPECT_NE(Script.Shown.back().Text.find(Root + "out/Result.qel"), std::string::npos);
  TContainer loaded;
  loaded.Load(Root + "out/Result.qel");
  EXPECT_EQ(loaded.SheetCount(), 2);
  EXPECT_EQ(loaded.PositionCount(), 6);
  Export->close();
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
  // The folder dialog starts where it was left; a cancelled one changes nothing.
  Script.AnswerDirectory(false);
  Export->btnExDir->click();
  EXPECT_EQ(Script.Shown.back().Value, Root + "out");
  EXPECT_EQ(Export->Directory, Root + "out");
}

// Fault: reaching "Export data !" with Tab or Shift+Tab ran the export, and reaching a choice
// set a mode other than the one shown.
TEST_F(ExportDataTest, TheKeyboardNeverExportsAndTheModeIsTheChoiceShown) {
  ShowExport(0);
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("ByTab");
  Focus(Export->btnImEx, Qt::TabFocusReason);
  Focus(Export->btnImEx, Qt::BacktabFocusReason);
  Focus(Export->rbShNotLnkAtt, Qt::TabFocusReason);
  EXPECT_FALSE(FileExists(Root + "ByTab.qel"));
  EXPECT_EQ(Export->Mode, "") << "the shown choice is still the small export";
  QApplication::setActiveWindow(Export);
  Export->rbNotAtt->setFocus();
  QTest::keyClick(Export->rbNotAtt, Qt::Key_Right); // the arrow keys move the choice
  EXPECT_TRUE(Export->rbShNotLnkAtt->isChecked());
  EXPECT_EQ(Export->Mode, "ExBig");
  Export->rbNotAtt->click();
  EXPECT_EQ(Export->Mode, "ExSmall");
  Export->btnImEx->setFocus();
  QTest::keyClick(Export->btnImEx, Qt::Key_Space); // pressing the button is a click
  EXPECT_TRUE(FileExists(Root + "ByTab.qel"));
  // Reaching "Path :" with the keyboard still opens the folder dialog.
  Script.AnswerDirectory(false);
  Focus(Export->btnExDir, Qt::TabFocusReason);
  EXPECT_EQ(Script.Pending(), 0u);
}

// Fault: exporting under the open project's name replaced its data files with the hits.
TEST_F(ExportDataTest, RefusesToReplaceTheOpenProjectsFiles) {
  ShowExport(0);
  const std::string notes = ReadFileBytes(Root + "p/Proj_Not.dat");
  Export->mExDir->setText(QString::fromStdString(Root + "p/../p"));
  Export->edtExFn->setText("PROJ");
  Script.Answer(mrOk);
  Export->btnImEx->click();
  EXPECT_NE(Script.Shown[0].Text.find("open project"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(Root + "p/Proj_Not.dat"), notes);
  EXPECT_FALSE(FileExists(Root + "p/PROJ.qel"));
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
}

// Fault: a failed export left the pools filtered and was reported as done.
TEST_F(ExportDataTest, FailedWriteIsReportedAndLeavesNoFilterOn) {
  ShowExport(1);
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("Result");
  ASSERT_TRUE(CreateDir(Root + "Result_att.dat.saving")); // the last file cannot be written
  Script.Answer(mrOk);
  Export->btnImEx->click();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
  EXPECT_FALSE(FileExists(Root + "Result.qel"));
  EXPECT_FALSE(Project().NotePool->Filtered);
  EXPECT_EQ(Project().NoteCount(), 3);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(Window->IsBusy());
}

// Fault: an empty name, a name with a full stop and an empty or missing folder were exported
// to whatever files they named.
TEST_F(ExportDataTest, RefusesABadFolderOrNameBeforeWritingAnything) {
  ShowExport(1);
  const std::string other = ReadFileBytes(Root + "p/Proj_Not.dat");
  struct TCase {
    std::string Folder, Name, Expected;
  };
  for (const TCase& c : {TCase{Root + "p", "Proj.v2", "full stop"}, TCase{Root + "p", "", "file name"},
                         TCase{"", "Result", "folder"}, TCase{Root + "missing", "Result", "folder is missing"}}) {
    Export->mExDir->setText(QString::fromStdString(c.Folder));
    Export->edtExFn->setText(QString::fromStdString(c.Name));
    Script.Answer(mrOk);
    Export->btnImEx->click();
    ASSERT_FALSE(Script.Shown.empty());
    EXPECT_NE(Script.Shown.back().Text.find(c.Expected), std::string::npos) << Script.Shown.back().Text;
    EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
  }
  EXPECT_EQ(Script.Shown.size(), 4u);
  EXPECT_EQ(ReadFileBytes(Root + "p/Proj_Not.dat"), other);
  EXPECT_FALSE(FileExists(Root + "p/Proj.v2.qel"));
  EXPECT_FALSE(FileExists(Root + "missing"));
  EXPECT_FALSE(FileExists(Root + "Result.qel"));
}

// Fault: an export onto an existing project replaced it without asking.
TEST_F(ExportDataTest, AsksBeforeReplacingAnExistingProject) {
  ShowExport(1);
  TProjectShape shape;
  shape.Notes = 5;
  WriteProject(*BuildProject(shape), Root + "Other.qel");
  const std::string notes = ReadFileBytes(Root + "Other_Not.dat");
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("other"); // the same project in another case
  Script.Answer(mrNo);
  Export->btnImEx->click();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtConfirmation);
  EXPECT_NE(Script.Shown[0].Text.find("exists"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(Root + "Other_Not.dat"), notes);
  EXPECT_FALSE(FileExists(Root + "other.qel"));
  EXPECT_FALSE(FileExists(Root + "other_notX.dat")) << "No writes nothing, not even an index file";
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
  Script.Answer(mrYes);
  Export->btnImEx->click();
  EXPECT_EQ(Export->btnImEx->text(), "Data exported!");
  TContainer loaded;
  loaded.Load(Root + "Other.qel");
  EXPECT_EQ(loaded.NoteCount(), 3);
}

// Fault: a long export froze the window without a sign, and a second one could start inside it.
TEST_F(ExportDataTest, AnExportShowsABusyCursorKeepsPaintingAndAllowsNoSecondExport) {
  ShowExport(1);
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("Result");
  int ticks = 0;
  bool busyCursor = false, buttonsOff = false;
  // Runs inside the export, when the window system gets its turn.
  QTimer::singleShot(0, Export, [&] {
    ++ticks;
    busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    buttonsOff = !Window->btn_search->isEnabled() && !Window->btnExport->isEnabled();
    Export->edtExFn->setText("Second");
    Export->btnImEx->click();
    Window->btn_searchClick();
  });
  Export->btnImEx->click();
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(busyCursor);
  EXPECT_TRUE(buttonsOff);
  EXPECT_TRUE(FileExists(Root + "Result.qel"));
  EXPECT_FALSE(FileExists(Root + "Second.qel"));
  EXPECT_TRUE(Script.Shown.empty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Window->btn_search->isEnabled());
  EXPECT_FALSE(Project().NotePool->Filtered);
}

// Fault: the export ran on the newest search window, whichever window's button showed it,
// and on a closed one once that was gone.
TEST_F(ExportDataTest, ExportsTheHitsOfTheWindowThatShowedIt) {
  ShowExport(3); // attachments: finds the one attachment
  QPointer<TfrmSearch> shower = Window;
  QELMain->ShowSearchWindow(); // the newest: its global page finds nothing
  ASSERT_NE(frmSearch, shower.data());
  frmSearch->btn_search->click();
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("Result");
  Export->btnImEx->click();
  EXPECT_NE(Exported(Root + "Result", "_att"), "");
  shower->close();
  QApplication::processEvents();
  EXPECT_TRUE(shower.isNull());
  DeleteFile(Root + "Result_att.dat");
  Script.Answer(mrOk);
  Export->btnImEx->click();
  EXPECT_FALSE(FileExists(Root + "Result_att.dat"));
  EXPECT_EQ(Script.Shown.size(), 1u);
}

TEST_F(ExportDataTest, AfterAPageChangeThePageExportsAllItemsOfItsKind) {
  ShowExport(1);
  Window->edt_notecaption->setText("Note 1");
  Window->btn_search->click();
  Window->SearchKind->setCurrentIndex(0); // a new search: no criterion on
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("Nothing");
  Export->btnImEx->click();
  EXPECT_EQ(Exported(Root + "Nothing", "_Not"), "");
  Window->SearchKind->setCurrentIndex(1);
  Export->edtExFn->setText("Everything");
  Export->btnImEx->click();
  TContainer loaded;
  loaded.Load(Root + "Everything.qel");
  EXPECT_EQ(loaded.NoteCount(), 3);
}

} // namespace
} // namespace qel::test
