#include "ShellFixture.h"
#include "shell/Main.h"
#include "windows/NoteProp.h"
#include "windows/NotePropCommon.h"
#include "windows/SheetProp.h"

#include <QCoreApplication>
#include <QPointer>

namespace qel::test {
namespace {

class PropertyWindowRelease : public ShellTest {};

TEST_F(PropertyWindowRelease, FreeWindowsStandBesideTheNavigatorAndCloseWhenTheProjectGoes) {
  OpenProject({});
  TContainer* project = &Project();
  QPointer<TSheetPrp> free = new TSheetPrp(QELMain);
  free->Container = project;
  free->ShowItem(project->GetSheet(0));
  ShowFreeWindow(free, true);
  EXPECT_EQ(free->width(), 250);
  EXPECT_TRUE(free->isVisible());
  QWidget page;
  auto* embedded = new TNotePrp(&page);
  embedded->Container = project;
  embedded->ShowNote(project->GetNote(0), project->RelationPool.get(), project->LinkPool.get());
  emit QELMain->ProjectReleasing(project);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(free.isNull());
  EXPECT_EQ(embedded->Container, nullptr);
  EXPECT_EQ(embedded->LinkPool, nullptr);
  EXPECT_FALSE(embedded->Closing);
}

TEST_F(PropertyWindowRelease, TheStartUpNoteWindowIsTheNoteWindow) {
  StartUp();
  ASSERT_NE(NotePrp, nullptr);
  EXPECT_EQ(NotePrp->PC_Note->count(), 3);
}

} // namespace
} // namespace qel::test
