// A save stopped or failing at any file operation, protected files, links and permissions.
#include "ModelTestUtil.h"

#include "platform/Errors.h"

#include <sys/stat.h>

#include <array>
#include <functional>

using namespace qel;
using namespace qel::test;

namespace {

const std::array<std::string, 6> kSuffixes = {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"};

using TFiles = std::array<std::string, 6>;

// The old project: two sheets, notes with attachments, a link; the new one moves things
// about so that every file's bytes differ.
void MakeOld(TContainer& c) {
  TSheetItem* s = NewSheet(c, "Main");
  NewSheet(c, "Other");
  TNoteItem* a = NewNote(c, "A");
  TNoteItem* b = NewNote(c, "B");
  NewNote(c, "C");
  TRelationItem* r = NewRelation(c, "leads to");
  NewPos(c, a, s, 1, 2);
  NewPos(c, b, s, 3, 4);
  NewAttachment(c, a, "on A");
  NewLinkItem(c, a, b, r, s);
}

void MakeNew(TContainer& c) {
  MakeOld(c);
  c.GetNote(0)->Delete();
  TNoteItem* d = NewNote(c, "D");
  NewAttachment(c, d, "on D");
  NewPos(c, d, c.GetSheet(1), 5, 6);
  NewLinkItem(c, c.GetNote(0), d, NewRelation(c, "assumes"), c.GetSheet(1));
  c.GetSheet(0)->SetName("Main, renamed");
}


class SaveSafety : public TempFolder {
protected:
  void SetUp() override {
    TempFolder::SetUp();
    MakeOld(oldProject);
    MakeNew(newProject);
  }
  void TearDown() override {
    FileOperationFault = nullptr;
    TempFolder::TearDown();
  }
  std::string Data(const std::string& project, const std::string& suffix) const {
    return TContainer::DataFileName(Root + project + ".qel", suffix);
  }
  TFiles Files(const std::string& project) const {
    TFiles out;
    for (size_t i = 0; i < kSuffixes.size(); ++i) out[i] = ReadFileBytes(Data(project, kSuffixes[i]));
    return out;
  }
  void PutFiles(const std::string& project, const TFiles& files) const {
    for (size_t i = 0; i < kSuffixes.size(); ++i) WriteFileBytes(Data(project, kSuffixes[i]), files[i]);
  }
  TContainer oldProject, newProject;
  static mode_t Mode(const std::string& name) {
    struct stat st {};
    ::lstat(name.c_str(), &st);
    return st.st_mode;
  }
};

} // namespace

// Fault: a save stopped between its renames left a folder of old and new files mixed. Now the
// save is stopped at each of its file operations in turn, once as by a crash (that operation
// and every later one fail) and once as by a single failing operation; a fresh load then
// finds exactly the old project or exactly the new one, byte for byte, and says when it
// completed or undid the save.
TEST_F(SaveSafety, SaveStoppedAtEveryFileOperationLeavesTheOldOrTheNewProject) {
  oldProject.SaveDataFiles(Root + "old.qel");
  newProject.SaveDataFiles(Root + "new.qel");
  const TFiles oldFiles = Files("old"), newFiles = Files("new");
  for (size_t i = 0; i < kSuffixes.size(); ++i) ASSERT_NE(oldFiles[i], newFiles[i]) << kSuffixes[i];

  int operations = 0;
  FileOperationFault = [&](std::string_view, const std::string&) { return ++operations, false; };
  PutFiles("p", oldFiles);
  newProject.SaveDataFiles(Root + "p.qel");
  FileOperationFault = nullptr;
  ASSERT_GE(operations, 15); // six files written, the journal, six renames, flushes, the removal

  for (bool crash : {true, false}) {
    for (int stop = 0; stop < operations; ++stop) {
      SCOPED_TRACE((crash ? "crash at operation " : "failure of operation ") + std::to_string(stop));
      std::filesystem::remove_all(Dir);
      std::filesystem::create_directories(Dir);
      PutFiles("p", oldFiles);
      int done = 0;
      FileOperationFault = [&](std::string_view, const std::string&) {
        const int now = done++;
        return crash ? now >= stop : now == stop;
      };
      bool saved = true;
      try {
        newProject.SaveDataFiles(Root + "p.qel");
      } catch (const EInOutError&) {
        saved = false;
      }
      FileOperationFault = nullptr;
      const bool journalLeft = FileExists(Root + "p_Save.journal");

      TContainer loaded;
      ASSERT_NO_THROW(loaded.Load(Root + "p.qel"));
      const TFiles now = Files("p");
      EXPECT_TRUE(now == oldFiles || now == newFiles);
      if (saved) {
        EXPECT_EQ(now, newFiles);
      }
      EXPECT_EQ(loaded.GetSheet(0)->Data.Name, now == newFiles ? "Main, renamed" : "Main");
      EXPECT_EQ(!loaded.RecoveryNote.empty(), journalLeft);
      EXPECT_FALSE(FileExists(Root + "p_Save.journal"));
      for (const std::string& suffix : kSuffixes) EXPECT_FALSE(FileExists(Data("p", suffix) + ".replaced"));
    }
  }
}

// A journal cut short (its end line missing) is undone: the temporary files go, the old
// files stay, and the load says so; a whole one is completed by the next save as by a load.
TEST_F(SaveSafety, CutJournalIsUndoneAndWholeJournalIsCompletedByTheNextSave) {
  oldProject.SaveDataFiles(Root + "p.qel");
  const TFiles oldFiles = Files("p");
  WriteFileBytes(Data("p", "_Not") + ".saving", "half a file");
  const std::string entry = std::string("p_Not.dat") + '\0' + "p_Not.dat.saving\n";
  WriteFileBytes(Root + "p_Save.journal", "QEL save journal\n" + entry);
  TContainer loaded;
  loaded.Load(Root + "p.qel");
  EXPECT_NE(loaded.RecoveryNote.find("undone"), std::string::npos);
  EXPECT_EQ(Files("p"), oldFiles);
  EXPECT_FALSE(FileExists(Data("p", "_Not") + ".saving"));

  newProject.SaveDataFiles(Root + "new.qel");
  const std::string newNotes = ReadFileBytes(Data("new", "_Not"));
  WriteFileBytes(Data("p", "_Not") + ".saving", newNotes);
  WriteFileBytes(Root + "p_Save.journal", "QEL save journal\n" + entry + "end\n");
  oldProject.Save(Root + "p.qel");
  EXPECT_NE(oldProject.RecoveryNote.find("completed"), std::string::npos);
  EXPECT_EQ(Files("p"), oldFiles); // completed, then saved over
  EXPECT_FALSE(FileExists(Root + "p_Save.journal"));
}

// Fault: a save replaced read-only data files, left every file with the default permissions
// and replaced a data file that is a symbolic link by a plain file.
TEST_F(SaveSafety, ProtectedFilesStopTheSaveAndPermissionsAndLinksAreKept) {
  newProject.SaveDataFiles(Root + "new.qel");
  const TFiles newFiles = Files("new");
  struct Case {
    std::string Suffix;
    mode_t Mode;
  };
  for (const Case& k : {Case{"_Not", 0444}, Case{"_Sht", 0400}, Case{"_Lnk", 0555}}) {
    SCOPED_TRACE(k.Suffix);
    oldProject.SaveDataFiles(Root + "p.qel");
    const TFiles oldFiles = Files("p");
    ASSERT_EQ(::chmod(Data("p", k.Suffix).c_str(), k.Mode), 0);
    try {
      newProject.Save(Root + "p.qel");
      ADD_FAILURE() << "saved over a read-only file";
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()), "The file is read-only: " + Data("p", k.Suffix));
    }
    EXPECT_EQ(Files("p"), oldFiles);
    EXPECT_EQ(Mode(Data("p", k.Suffix)) & 07777, k.Mode);
    ::chmod(Data("p", k.Suffix).c_str(), 0644);
  }

  ASSERT_EQ(::chmod(Data("p", "_Att").c_str(), 0640), 0);
  ASSERT_EQ(::chmod(Data("p", "_Pos").c_str(), 0604), 0);
  std::filesystem::create_directories(Dir / "elsewhere");
  WriteFileBytes(Root + "elsewhere/links.dat", "old links");
  ::chmod((Root + "elsewhere/links.dat").c_str(), 0660);
  DeleteFile(Data("p", "_Lnk"));
  ASSERT_EQ(::symlink("elsewhere/links.dat", Data("p", "_Lnk").c_str()), 0);
  newProject.Save(Root + "p.qel");
  EXPECT_EQ(Files("p"), newFiles);
  EXPECT_EQ(Mode(Data("p", "_Att")) & 07777, 0640u);
  EXPECT_EQ(Mode(Data("p", "_Pos")) & 07777, 0604u);
  EXPECT_TRUE(S_ISLNK(Mode(Data("p", "_Lnk"))));
  EXPECT_EQ(ReadFileBytes(Root + "elsewhere/links.dat"), newFiles[5]);
  EXPECT_EQ(Mode(Root + "elsewhere/links.dat") & 07777, 0660u);
}
