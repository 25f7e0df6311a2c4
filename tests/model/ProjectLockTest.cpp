// Two programs (here: threads with locks of their own, which exclude each other as programs
// do) saving, loading and holding open one project.
#include "ModelTestUtil.h"

#include "model/ProjectLock.h"
#include "platform/Errors.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace qel;
using namespace qel::test;

namespace {

const std::array<std::string, 6> kSuffixes = {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"};

class ProjectLockTest : public TempFolder {
protected:
  void SetUp() override {
    TempFolder::SetUp();
    Project = Root + "p.qel";
    for (TContainer* c : {&Old, &A, &B}) {
      const std::string name = c == &Old ? "old" : c == &A ? "A" : "B";
      TSheetItem* sheet = NewSheet(*c, name);
      TRelationItem* relation = NewRelation(*c, "leads to " + name);
      // Each project's files differ from the others' in every one of the six.
      for (int i = 0; i < (c == &Old ? 3 : c == &A ? 40 : 70); ++i) {
        TNoteItem* note = NewNote(*c, name + std::to_string(i));
        NewPos(*c, note, sheet, i, i);
        NewAttachment(*c, note, name);
        if (i > 0) NewLinkItem(*c, c->GetNote(i - 1), note, relation, sheet);
      }
    }
    for (TContainer* c : {&Old, &A, &B}) {
      c->SaveDataFiles(Root + "copy.qel");
      (c == &Old ? OldFiles : c == &A ? AFiles : BFiles) = Files("copy");
    }
    Old.SaveDataFiles(Project);
  }
  void TearDown() override {
    FileOperationFault = nullptr;
    TProjectLock::WaitLimit = std::chrono::milliseconds(5000);
    TempFolder::TearDown();
  }
  std::array<std::string, 6> Files(const std::string& base) const {
    std::array<std::string, 6> out;
    for (size_t i = 0; i < kSuffixes.size(); ++i)
      out[i] = ReadFileBytes(TContainer::DataFileName(Root + base + ".qel", kSuffixes[i]));
    return out;
  }
  TContainer Old, A, B;
  std::array<std::string, 6> OldFiles, AFiles, BFiles;
  std::string Project;
};

} // namespace

// Fault: two saves of one project at once left a mixed folder, and both said they had
// succeeded. A save now holds the project's lock for its whole length: one that meets
// another save waits a short time and then says so, writing nothing.
TEST_F(ProjectLockTest, TwoSavesStartedTogetherNeverMixAndAtMostOneSucceedsWhileTheyOverlap) {
  // A is held inside its save until B has given up.
  TProjectLock::WaitLimit = std::chrono::milliseconds(100);
  std::mutex lock;
  std::condition_variable changed;
  bool aInside = false, bDone = false;
  const std::thread::id aThread = std::this_thread::get_id();
  FileOperationFault = [&](std::string_view op, const std::string&) {
    if (std::this_thread::get_id() != aThread || op != "write") return false;
    std::unique_lock<std::mutex> hold(lock);
    aInside = true;
    changed.notify_all();
    changed.wait(hold, [&] { return bDone; });
    return false;
  };
  std::string bError;
  std::thread b([&] {
    {
      std::unique_lock<std::mutex> hold(lock);
      changed.wait(hold, [&] { return aInside; });
    }
    try {
      B.SaveDataFiles(Project);
    } catch (const EInOutError& e) {
      bError = e.what();
    }
    std::lock_guard<std::mutex> hold(lock);
    bDone = true;
    changed.notify_all();
  });
  EXPECT_NO_THROW(A.SaveDataFiles(Project));
  b.join();
  FileOperationFault = nullptr;
  EXPECT_EQ(bError.find("Another program is saving or reading this project"), 0u) << bError;
  EXPECT_NE(bError.find("Nothing was changed"), std::string::npos);
  EXPECT_TRUE(Files("p") == AFiles);

  // A load that meets a save waits as long, then says so and names the lock.
  {
    TProjectLock saving(Project);
    ASSERT_TRUE(saving.LockAlone());
    TContainer loaded;
    EXPECT_THROW(loaded.Load(Project), EInOutError);
    EXPECT_EQ(loaded.FailedFile, Root + "p.lock");
    EXPECT_EQ(loaded.NoteCount(), 0);
  }

  // Started together and left to run, with a load between them: every save and load sees
  // and leaves one whole project.
  TProjectLock::WaitLimit = std::chrono::milliseconds(5000);
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Old.SaveDataFiles(Project);
    std::atomic<int> ready{0};
    auto together = [&ready] {
      ++ready;
      while (ready < 3) std::this_thread::yield();
    };
    std::atomic<int> succeeded{0};
    std::string loadedSheet;
    auto save = [&](TContainer& c) {
      together();
      try {
        c.SaveDataFiles(Project);
        ++succeeded;
      } catch (const EInOutError& e) {
        ADD_FAILURE() << e.what();
      }
    };
    std::thread first(save, std::ref(A)), second(save, std::ref(B));
    together();
    TContainer loaded;
    try {
      loaded.Load(Project);
      loadedSheet = loaded.GetSheet(0)->Data.Name + " " + std::to_string(loaded.NoteCount());
    } catch (const std::exception& e) {
      loadedSheet = e.what();
    }
    first.join();
    second.join();
    EXPECT_TRUE(loadedSheet == "old 3" || loadedSheet == "A 40" || loadedSheet == "B 70") << loadedSheet;
    const auto now = Files("p");
    EXPECT_TRUE(now == AFiles || now == BFiles);
    EXPECT_EQ(succeeded, 2); // one after the other
  }
  EXPECT_FALSE(FileExists(Root + "p.lock"));
}

// A program that holds a project open is seen by the next one to open it, and by nobody once it
// let go or was killed (its lock goes with it; a lock file left behind blocks nothing). A lock
// file that is not a plain file stops saves with its name, never loads.
TEST_F(ProjectLockTest, AProjectHeldOpenIsSeenAndALockFileLeftBehindBlocksNothing) {
  bool elsewhere = true;
  auto first = std::make_unique<TProjectLock>(Project);
  ASSERT_TRUE(first->HoldOpen(elsewhere));
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(FileExists(Root + "p.lock"));
  TProjectLock second(Project);
  ASSERT_TRUE(second.HoldOpen(elsewhere));
  EXPECT_TRUE(elsewhere);
  // Held open elsewhere, the project still loads and saves.
  TContainer loaded;
  loaded.Load(Project);
  EXPECT_EQ(loaded.GetSheet(0)->Data.Name, "old");
  A.SaveDataFiles(Project);
  EXPECT_TRUE(Files("p") == AFiles);
  first.reset();
  TProjectLock third(Project);
  ASSERT_TRUE(third.HoldOpen(elsewhere));
  EXPECT_TRUE(elsewhere); // the second still holds it
  EXPECT_TRUE(FileExists(Root + "p.lock"));
}

TEST_F(ProjectLockTest, ALockFileLeftBehindOrPutThereIsHandledByWhatItIs) {
  // Left by a program that was killed: a plain empty file nobody locks.
  WriteFileBytes(Root + "p.lock", "");
  bool elsewhere = true;
  {
    TProjectLock hold(Project);
    ASSERT_TRUE(hold.HoldOpen(elsewhere));
    EXPECT_FALSE(elsewhere);
  }
  EXPECT_FALSE(FileExists(Root + "p.lock")); // the last to let go removes it
  // A file with bytes in it is not one this program made: it stays.
  WriteFileBytes(Root + "p.lock", "someone's");
  A.SaveDataFiles(Project);
  EXPECT_EQ(ReadFileBytes(Root + "p.lock"), "someone's");
  DeleteFile(Root + "p.lock");

  // A link stands there: saves stop and name it, loads go on unlocked, nothing is made
  // where the link points.
  std::filesystem::create_directories(Dir / "elsewhere");
  ASSERT_EQ(::symlink((Root + "elsewhere/made.lock").c_str(), (Root + "p.lock").c_str()), 0);
  try {
    B.SaveDataFiles(Project);
    ADD_FAILURE() << "saved without a lock";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()),
              "The project's lock file cannot be used (it is a symbolic link). Please remove it: " + Root + "p.lock");
  }
  EXPECT_TRUE(Files("p") == AFiles);
  TContainer loaded;
  loaded.Load(Project);
  EXPECT_EQ(loaded.NoteCount(), 40);
  EXPECT_FALSE(std::filesystem::exists(Dir / "elsewhere" / "made.lock"));
  TProjectLock hold(Project);
  EXPECT_FALSE(hold.HoldOpen(elsewhere));
  // Nor is a pipe put there waited on or removed.
  DeleteFile(Root + "p.lock");
  ASSERT_EQ(::mkfifo((Root + "p.lock").c_str(), 0644), 0);
  EXPECT_FALSE(hold.HoldOpen(elsewhere));
  EXPECT_THROW(B.SaveDataFiles(Project), EInOutError);
  EXPECT_EQ(EntryKind(Root + "p.lock"), TEntryKind::Other);
}
