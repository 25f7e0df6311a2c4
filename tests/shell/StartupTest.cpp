// Start-up of the program: the windows, the start screen, the last project, the close.
#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "shell/Main.h"
#include "shell/QELStart.h"
#include "windows/props/ContainerProp.h"
#include "windows/nav/Navigator.h"
#include "windows/props/NoteProp.h"
#include "windows/links/RelationFrm.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace qel::test {
namespace {

class StartupTest : public ShellTest {};

TEST_F(StartupTest, ProgramBlockCreatesTheNineWindowsWithTheNavigatorMaximised) {
  CreateWindows();
  EXPECT_EQ(QCoreApplication::applicationName(), "QEL");
  ASSERT_NE(QELMain, nullptr);
  ASSERT_NE(NavForm, nullptr);
  EXPECT_NE(RelationForm, nullptr);
  EXPECT_NE(NotePrp, nullptr);
  auto navigators = QELMain->ChildWindows<TNavForm>();
  ASSERT_EQ(navigators.size(), 1u);
  EXPECT_EQ(navigators[0], NavForm);
  EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(NavForm->parentWidget())->isMaximized());
  EXPECT_EQ(Project().FileName, "Noname.qel");
}

TEST_F(StartupTest, FirstStartBeginsAnUnnamedProjectWithTheDefaultRelationTypes) {
  StartUp();
  EXPECT_EQ(Caption(), "QEL - Noname.qel");
  EXPECT_EQ(Project().FileName, Work + "Noname.qel");
  EXPECT_EQ(RelationNames(Project()), (std::vector<std::string>{"leads to", "consists of", "assumes"}));
  EXPECT_EQ(NavForm->Container, &Project());
  EXPECT_EQ(QELMain->StartForm, nullptr);
  EXPECT_EQ(QELMain->StartupBar, nullptr);
  EXPECT_TRUE(Script.Shown.empty());
}

TEST_F(StartupTest, LastProjectNamingAMissingFileStartsUnnamedWithoutAMessage) {
  SetLastProject(Root + "gone/Away.qel");
  StartUp();
  EXPECT_EQ(Caption(), "QEL - Noname.qel");
  EXPECT_EQ(RelationNames(Project()).size(), 3u);
}

TEST_F(StartupTest, LastProjectOpensWithTheStartScreenFilledToTheEnd) {
  auto saved = BuildProject({3, 2, 1, 2});
  const std::string name = Root + "projects/Ideas.qel";
  WriteProject(*saved, name);
  SetLastProject(name);
  std::vector<int> steps;
  int maximum = -1;
  CreateWindows();
  // The message pass before the load: the start screen is up.
  QTimer::singleShot(0, [&] {
    QProgressBar* bar = QELMain->StartForm->PB_StartUp;
    QObject::connect(bar, &QProgressBar::valueChanged, [&, bar](int value) {
      steps.push_back(value);
      maximum = bar->maximum();
    });
  });
  QELMain->FormShow();
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(maximum, 6);
  EXPECT_EQ(Caption(), "QEL - Ideas.qel");
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(Project().NoteCount(), 3);
  EXPECT_EQ(Project().SheetCount(), 2);
  EXPECT_TRUE(Project().Grid);
  EXPECT_FALSE(Project().IsModified());
  EXPECT_EQ(GetCurrentDir() + "/", Root + "projects/");
  EXPECT_EQ(NavForm->Container, &Project());
  EXPECT_EQ(LastProject(), name);
}

TEST_F(StartupTest, StartScreenEndsAtTheThirdTick) {
  TStartForm screen(nullptr);
  screen.TR_KillTimer->stop();
  EXPECT_EQ(screen.TR_KillTimer->interval(), TStartForm::TickInterval);
  screen.TR_KillTimerTimer();
  screen.TR_KillTimerTimer();
  EXPECT_FALSE(screen.Done);
  screen.TR_KillTimerTimer();
  EXPECT_TRUE(screen.Done);
}

TEST_F(StartupTest, AClickOnTheStartScreenEndsItAtTheNextTick) {
  for (int target = 0; target < 3; ++target) {
    TStartForm screen(nullptr);
    screen.TR_KillTimer->stop();
    screen.show();
    QWidget* const targets[] = {&screen, screen.Panel1, screen.img_brasklogo};
    QWidget* clicked = targets[target];
    QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(screen.Ticks, 3) << "target " << target;
    EXPECT_FALSE(screen.Done);
    screen.TR_KillTimerTimer();
    EXPECT_TRUE(screen.Done);
  }
}

TEST_F(StartupTest, StartScreenEndsByItsOwnTimer) {
  TStartForm::TickInterval = 5;
  TStartForm screen(nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return screen.Done; }, 2000));
  EXPECT_EQ(screen.Ticks, 3);
}

TEST_F(StartupTest, CloseWithCancelKeepsTheProgramAndNoEndsItWithoutSaving) {
  StartUp();
  const std::string name = Project().FileName;
  QSignalSpy closed(QELMain, &TQELMain::Closed);
  Script.Answer(mrCancel).Answer(mrNo);
  Project().AddNote(TNote());
  EXPECT_FALSE(QELMain->close());
  EXPECT_EQ(closed.count(), 0);
  EXPECT_TRUE(QELMain->close());
  EXPECT_EQ(closed.count(), 1);
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[0].Text, name + " is modified. Save before closing?");
  EXPECT_FALSE(FileExists(name));
}

TEST_F(StartupTest, CloseSeesEditsPendingInTheNewNoteWindow) {
  StartUp();
  TNoteItem* note = Project().AddNote(TNote());
  Project().SetModified(false);
  auto* window = new TNotePrp(QELMain, Qt::Window);
  window->Container = &Project();
  window->ShowNote(note, Project().RelationPool.get(), Project().LinkPool.get());
  window->show();
  QELMain->NewNoteWindow = window;
  window->ED_Caption->setText("Typed");
  Script.Answer(mrNo);
  EXPECT_TRUE(QELMain->close());
  EXPECT_EQ(note->Data.Name, "Typed");
}

// Fault: before their first refresh windows showed design texts ("Sheets#", a navigator
// titled "Tree" without a project, a zoom box at 200 %).
TEST_F(StartupTest, WindowsShowRealValuesOrNothingBeforeTheirFirstRefresh) {
  CreateWindows();
  EXPECT_EQ(QELMain->CB_Zoom->currentText(), "100%");
  EXPECT_EQ(NavForm->windowTitle(), "");
  for (QLabel* count : {NavForm->ContainerPage->LB_NumSheets, NavForm->ContainerPage->LB_NumNotes,
                        NavForm->ContainerPage->LB_NumRelations, NavForm->ContainerPage->LB_NumAttach})
    EXPECT_EQ(count->text(), "");
  Program.reset();
  StartUp();
  EXPECT_EQ(NavForm->windowTitle(), "Tree");
  EXPECT_EQ(NavForm->ContainerPage->LB_NumSheets->text(), "0");
  EXPECT_EQ(QELMain->CB_Zoom->currentText(), "100%");
}

} // namespace
} // namespace qel::test
