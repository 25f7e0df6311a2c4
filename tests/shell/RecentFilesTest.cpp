// The recent-file list and its menu.
#include "ShellFixture.h"

#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"
#include "shell/Main.h"
#include "shell/adpMRU.h"

#include <QMenu>

namespace qel::test {
namespace {

class RecentFilesTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Menu = std::make_unique<QMenu>();
    Other = Menu->addAction("kept");
  }
  std::unique_ptr<TadpMRU> MakeList() {
    auto list = std::make_unique<TadpMRU>();
    list->SetParentMenuItem(Menu.get());
    list->SetRegistryPath("\\Software\\Brask\\QEL");
    return list;
  }
  QStringList Captions() {
    QStringList captions;
    for (QAction* action : Menu->actions())
      if (qobject_cast<TMRUMenuItem*>(action)) captions << action->text();
    return captions;
  }
  std::vector<std::string> StoredValues() {
    TRegistry registry;
    registry.OpenKey(kQelKey, true);
    std::vector<std::string> values;
    for (int n = 1; n <= 6; ++n)
      values.push_back(registry.ValueExists("MRU" + std::to_string(n)) ? registry.ReadString("MRU" + std::to_string(n))
                                                                         : "-");
    return values;
  }
  std::unique_ptr<QMenu> Menu;
  QAction* Other;
};

TEST_F(RecentFilesTest, FiveAddsKeepTheFourNewestFirst) {
  {
    auto list = MakeList();
    for (const char* name : {"/a.qel", "/b.qel", "/c.qel", "/d.qel", "/e.qel"}) list->AddFile(name);
    EXPECT_EQ(list->Files(), (std::vector<std::string>{"/e.qel", "/d.qel", "/c.qel", "/b.qel"}));
    EXPECT_EQ(Captions(), (QStringList{"/e.qel", "/d.qel", "/c.qel", "/b.qel"}));
    EXPECT_TRUE(Menu->actions().contains(Other));
  }
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"/e.qel", "/d.qel", "/c.qel", "/b.qel", "-", "-"}));
  auto again = MakeList();
  EXPECT_EQ(again->Files().front(), "/e.qel");
}

TEST_F(RecentFilesTest, NamesAreComparedExactly) {
  auto list = MakeList();
  list->AddFile("/p/Plan.qel");
  list->AddFile("/p/other.qel");
  list->AddFile("/p/plan.qel"); // another file on this system
  EXPECT_EQ(list->Files(), (std::vector<std::string>{"/p/plan.qel", "/p/other.qel", "/p/Plan.qel"}));
  list->AddFile("/p/Plan.qel");
  EXPECT_EQ(list->Files(), (std::vector<std::string>{"/p/Plan.qel", "/p/plan.qel", "/p/other.qel"}));
}

TEST_F(RecentFilesTest, AnEmptyNameChangesNothing) {
  auto list = MakeList();
  list->AddFile("/a.qel");
  QAction* entry = Menu->actions().last();
  list->AddFile("");
  EXPECT_EQ(list->Files().size(), 1u);
  EXPECT_EQ(Menu->actions().last(), entry); // not rebuilt
}

TEST_F(RecentFilesTest, AmpersandsShowAndTheClickPassesTheFullName) {
  auto list = MakeList();
  std::vector<std::string> clicked;
  list->OnClick = [&](QObject* sender, const std::string& name) {
    EXPECT_EQ(sender, list.get());
    clicked.push_back(name);
  };
  list->AddFile("/x/R&D.qel");
  list->AddFile("/y/Plan.qel");
  EXPECT_EQ(Captions(), (QStringList{"/y/Plan.qel", "/x/R&&D.qel"}));
  list->SetShowFullPath(false);
  EXPECT_EQ(Captions(), (QStringList{"Plan.qel", "R&&D.qel"}));
  Menu->actions().last()->trigger();
  EXPECT_EQ(clicked, std::vector<std::string>{"/x/R&D.qel"});
  list->ItemClick(Other); // not an entry of the list
  EXPECT_EQ(clicked.size(), 1u);
}

// Fault: a stored entry behind a gap in the numbers came back after every save.
TEST_F(RecentFilesTest, EveryOldEntryIsDeletedBeforeTheListIsStored) {
  {
    TRegistry registry;
    registry.OpenKey(kQelKey, true);
    registry.WriteString("MRU1", "/one.qel");
    registry.WriteString("MRU3", "/three.qel");
  }
  {
    auto list = MakeList();
    EXPECT_EQ(list->Files(), (std::vector<std::string>{"/one.qel", "/three.qel"}));
  }
  // Reading the list writes nothing.
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"/one.qel", "-", "/three.qel", "-", "-", "-"}));
  {
    auto list = MakeList();
    list->AddFile("/new.qel");
  }
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"/new.qel", "/one.qel", "/three.qel", "-", "-", "-"}));
}

// Fault: the list was stored only when the program ended normally, so after a crash every
// project of that run was missing, and two programs overwrote each other's lists at the end.
TEST_F(RecentFilesTest, EveryChangeIsStoredAtOnceAndKeepsWhatAnotherProgramAdded) {
  auto first = MakeList();
  auto second = MakeList(); // another program, started at the same time
  struct TStep {
    TadpMRU* List;
    const char* Added; // null: the list keeps two entries
    std::vector<std::string> Stored;
  };
  const TStep steps[] = {
      {first.get(), "/a.qel", {"/a.qel", "-", "-", "-", "-", "-"}},
      {second.get(), "/b.qel", {"/b.qel", "/a.qel", "-", "-", "-", "-"}},
      {first.get(), "/c.qel", {"/c.qel", "/b.qel", "/a.qel", "-", "-", "-"}},
      {second.get(), "/a.qel", {"/a.qel", "/c.qel", "/b.qel", "-", "-", "-"}},
      {first.get(), nullptr, {"/a.qel", "/c.qel", "-", "-", "-", "-"}},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Added ? step.Added : "two entries");
    if (step.Added) step.List->AddFile(step.Added);
    else step.List->SetMaxItems(2);
    EXPECT_EQ(StoredValues(), step.Stored); // while both programs still run
    std::vector<std::string> shown;
    for (const std::string& file : step.Stored)
      if (file != "-") shown.push_back(file);
    EXPECT_EQ(step.List->Files(), shown);
  }
  // Ending a program writes nothing over what the other one stored.
  second->AddFile("/d.qel");
  first.reset();
  EXPECT_EQ(StoredValues(), (std::vector<std::string>{"/d.qel", "/a.qel", "/c.qel", "-", "-", "-"}));
}

TEST_F(RecentFilesTest, MaxItemsRules) {
  auto list = MakeList();
  for (const char* name : {"/a", "/b", "/c"}) list->AddFile(name);
  list->SetMaxItems(0);
  EXPECT_EQ(list->MaxItems(), 1u);
  EXPECT_EQ(list->Files().size(), 3u); // trimmed by the next add
  list->AddFile("/d");
  EXPECT_EQ(list->Files(), std::vector<std::string>{"/d"});
  list->SetMaxItems(4000000000u);
  EXPECT_EQ(list->MaxItems(), 2147483646u);
  for (const char* name : {"/e", "/f"}) list->AddFile(name);
  list->SetMaxItems(2);
  EXPECT_EQ(list->Files(), (std::vector<std::string>{"/f", "/e"}));
}

TEST_F(RecentFilesTest, OpenAddsTheProjectAndTheListSurvivesARestart) {
  auto saved = BuildProject({});
  const std::string name = Root + "p/Proj.qel";
  WriteProject(*saved, name);
  StartUp();
  EXPECT_FALSE(QELMain->Reopen->menuAction()->isEnabled()); // nothing to reopen yet
  Script.AnswerOpen(true, name);
  QELMain->TB_OpenClick();
  EXPECT_EQ(QELMain->adpMRU1->Files(), std::vector<std::string>{name});
  EXPECT_TRUE(QELMain->Reopen->menuAction()->isEnabled());
  Program.reset();
  CreateWindows();
  const QList<QAction*> entries = QELMain->Reopen->actions();
  ASSERT_EQ(entries.size(), 1);
  EXPECT_EQ(FromQString(entries[0]->text()), name);
  entries[0]->trigger();
  EXPECT_EQ(Project().FileName, name);
  EXPECT_EQ(Caption(), "QEL - Proj.qel");
}

} // namespace
} // namespace qel::test
