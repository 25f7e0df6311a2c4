// The export window driving the search window's export.
#include "SearchWindowFixture.h"

#include "platform/FileNames.h"
#include "search/ExportData.h"
#include "search/SearchExport.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

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
  Export->btnImEx->click();
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

TEST_F(ExportDataTest, ReachingAChoiceOrAButtonWithTheKeyboardActsAsAClick) {
  ShowExport(0);
  Focus(Export->rbShNotLnkAtt, Qt::MouseFocusReason);
  EXPECT_EQ(Export->Mode, "");
  Focus(Export->rbShNotLnkAtt, Qt::TabFocusReason);
  EXPECT_EQ(Export->Mode, "ExBig");
  Focus(Export->rbNotAtt, Qt::BacktabFocusReason);
  EXPECT_EQ(Export->Mode, "ExSmall");
  Script.AnswerDirectory(false);
  Focus(Export->btnExDir, Qt::TabFocusReason);
  Export->mExDir->setText(QString::fromStdString(Root));
  Export->edtExFn->setText("ByTab");
  Focus(Export->btnImEx, Qt::TabFocusReason);
  EXPECT_TRUE(FileExists(Root + "ByTab.qel"));
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
  Export->mExDir->setText(QString::fromStdString(Root + "missing"));
  Export->edtExFn->setText("Result");
  Script.Answer(mrOk);
  Export->btnImEx->click();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(Export->btnImEx->text(), "&Export data !");
  EXPECT_FALSE(Project().NotePool->Filtered);
  EXPECT_EQ(Project().NoteCount(), 3);
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
