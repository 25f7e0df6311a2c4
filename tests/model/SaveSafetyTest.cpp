// A save stopped or failing at any file operation, protected files, links and permissions.
#include "ModelTestUtil.h"

#include "model/SaveJournal.h"
#include "platform/Errors.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <functional>
#include <set>
#include <utility>

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
  std::string Data(const std::string& project, std::string_view suffix) const {
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
// and every later one fail) and once as by a single failing operation; the load that follows
// is stopped in the same two ways at each operation of its repair of the folder; a fresh load
// then finds exactly the old project or exactly the new one, byte for byte, says when it put
// the folder right, and leaves no journal or temporary behind. (A repair stops at its first
// failing operation: a single failure there is a crash.)
TEST_F(SaveSafety, SaveStoppedAtEveryFileOperationLeavesTheOldOrTheNewProject) {
  oldProject.SaveDataFiles(Root + "old.qel");
  newProject.SaveDataFiles(Root + "new.qel");
  const TFiles oldFiles = Files("old"), newFiles = Files("new");
  for (size_t i = 0; i < kSuffixes.size(); ++i) ASSERT_NE(oldFiles[i], newFiles[i]) << kSuffixes[i];
  const auto operations = [](const std::function<void()>& run) {
    int count = 0;
    FileOperationFault = [&](std::string_view, const std::string&) { return ++count, false; };
    run();
    FileOperationFault = nullptr;
    return count;
  };
  const auto stopAt = [](int stop, bool crash) {
    return [stop, crash, done = 0](std::string_view, const std::string&) mutable {
      const int now = done++;
      return crash ? now >= stop : now == stop;
    };
  };
  const auto temporariesLeft = [this] {
    for (const std::string& suffix : kSuffixes)
      if (FileExists(Data("p", suffix) + ".saving")) return true;
    return false;
  };
  const auto fresh = [this](const std::map<std::string, std::string>& files) {
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    for (const auto& [name, bytes] : files) std::ofstream(Root + name, std::ios::binary) << bytes; // not flushed: quick
  };
  std::map<std::string, std::string> start;
  for (size_t i = 0; i < kSuffixes.size(); ++i) start["p" + kSuffixes[i] + ".dat"] = oldFiles[i];
  fresh(start);
  const int saveOperations = operations([&] { newProject.SaveDataFiles(Root + "p.qel"); });
  ASSERT_GE(saveOperations, 15); // six files written, the journal, six renames, flushes, the removal

  int repairs = 0;
  std::set<std::map<std::string, std::string>> repaired;
  for (bool crash : {true, false}) {
    for (int stop = 0; stop < saveOperations; ++stop) {
      SCOPED_TRACE((crash ? "save crashed at operation " : "save failed at operation ") + std::to_string(stop));
      fresh(start);
      FileOperationFault = stopAt(stop, crash);
      bool saved = true;
      try {
        newProject.SaveDataFiles(Root + "p.qel");
      } catch (const EInOutError&) {
        saved = false;
      }
      FileOperationFault = nullptr;
      const bool journalLeft = FileExists(Root + "p_Save.journal");
      const bool repairNeeded = journalLeft || temporariesLeft();
      // The load after the save is stopped too, at each operation of its repair.
      const std::map<std::string, std::string> left = FolderState(Dir);
      // Many stops leave the same folder: its repair is tried once.
      const bool tryRepairs = repairNeeded && !saved && repaired.insert(left).second;
      const int loadOperations = tryRepairs ? operations([this] { TContainer().Load(Root + "p.qel"); }) : 0;
      for (int repairStop = -1; repairStop < loadOperations; ++repairStop) {
        SCOPED_TRACE("repair stopped at operation " + std::to_string(repairStop));
        fresh(left);
        if (repairStop >= 0) {
          FileOperationFault = stopAt(repairStop, true);
          try {
            TContainer().Load(Root + "p.qel");
          } catch (const std::exception&) {
          }
          FileOperationFault = nullptr;
          ++repairs;
        }
        TContainer loaded;
        ASSERT_NO_THROW(loaded.Load(Root + "p.qel"));
        const TFiles now = Files("p");
        EXPECT_TRUE(now == oldFiles || now == newFiles);
        if (saved) {
          EXPECT_EQ(now, newFiles);
        }
        EXPECT_EQ(loaded.GetSheet(0)->Data.Name, now == newFiles ? "Main, renamed" : "Main");
        if (repairStop < 0) {
          EXPECT_EQ(!loaded.RecoveryNote.empty(), repairNeeded);
        }
        EXPECT_FALSE(FileExists(Root + "p_Save.journal"));
        EXPECT_FALSE(temporariesLeft());
        EXPECT_EQ(FolderState(Dir).size(), kSuffixes.size()); // the six, no lock file either
      }
    }
  }
  EXPECT_GE(repairs, 50);
}

// Every state a save may leave is put right by the next load or save, or, where it cannot be,
// left as it is with a message naming the journal. A temporary is renamed into place only when
// its size and checksum are the journal's.
TEST_F(SaveSafety, EachStateASaveLeavesIsCompletedUndoneOrReported) {
  newProject.SaveDataFiles(Root + "new.qel");
  const TFiles newFiles = Files("new");
  const std::string journal = Root + "p_Save.journal";
  std::vector<TJournalEntry> all;
  for (size_t i = 0; i < kSuffixes.size(); ++i)
    all.push_back({kSuffixes[i], newFiles[i].size(), TSaveJournal::Checksum(newFiles[i])});
  enum class TEnd { Old, New, Refused };
  struct Case {
    std::string Name;
    std::function<void()> Make; // after the old files are in place
    TEnd End;
    std::string Note;
  };
  const auto temps = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) WriteFileBytes(Data("p", kSuffixes[i]) + ".saving", newFiles[i]);
  };
  const auto inPlace = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) WriteFileBytes(Data("p", kSuffixes[i]), newFiles[i]);
  };
  const std::string completed = "It has now been completed", undone = "It has been undone";
  for (const Case& k : std::initializer_list<Case>{
           {"journal whole, nothing renamed", [&] { temps(0, 6), TSaveJournal(Root + "p.qel").Write(all); },
            TEnd::New, completed},
           {"journal whole, three renamed", [&] { inPlace(0, 3), temps(3, 6), TSaveJournal(Root + "p.qel").Write(all); },
            TEnd::New, completed},
           {"journal cut short", [&] {
              temps(0, 6);
              TSaveJournal(Root + "other.qel").Write(all);
              WriteFileBytes(journal, ReadFileBytes(Root + "other_Save.journal").substr(0, 40));
              DeleteFile(Root + "other_Save.journal");
            }, TEnd::Old, undone},
           {"journal empty", [&] { temps(0, 6), WriteFileBytes(journal, ""); }, TEnd::Old, undone},
           {"a temporary cut short, nothing renamed", [&] {
              temps(0, 6);
              WriteFileBytes(Data("p", "_Pos") + ".saving", newFiles[3].substr(0, 10));
              TSaveJournal(Root + "p.qel").Write(all);
            }, TEnd::Old, undone},
           {"a temporary changed, one renamed", [&] {
              inPlace(0, 1), temps(1, 6);
              std::string changed = newFiles[4];
              changed[changed.size() / 2] ^= 1;
              WriteFileBytes(Data("p", "_Att") + ".saving", changed);
              TSaveJournal(Root + "p.qel").Write(all);
            }, TEnd::Refused, "compare them with a backup"},
           {"no journal, temporaries left", [&] { temps(2, 5); }, TEnd::Old, "The last save of this project did not finish"},
       }) {
    for (bool byLoad : {true, false}) {
      SCOPED_TRACE(k.Name + (byLoad ? ", by a load" : ", by a save"));
      std::filesystem::remove_all(Dir);
      std::filesystem::create_directories(Dir);
      oldProject.SaveDataFiles(Root + "p.qel");
      const TFiles oldFiles = Files("p");
      k.Make();
      const auto before = FolderState(Dir);
      TContainer loaded, saved;
      MakeOld(saved);
      saved.GetNote(0)->SetName("Saved afterwards");
      TContainer& c = byLoad ? loaded : saved;
      std::string message;
      try {
        if (byLoad)
          c.Load(Root + "p.qel");
        else
          c.Save(Root + "p.qel");
      } catch (const std::exception& e) {
        message = e.what();
      }
      if (k.End == TEnd::Refused) {
        EXPECT_NE(message.find(k.Note), std::string::npos) << message;
        EXPECT_NE(message.find(journal), std::string::npos) << message;
        EXPECT_EQ(FolderState(Dir), before);
        continue;
      }
      EXPECT_EQ(message, "");
      EXPECT_NE(c.RecoveryNote.find(k.Note), std::string::npos) << c.RecoveryNote;
      EXPECT_EQ(FolderState(Dir).size(), kSuffixes.size()); // no journal, temporary or lock file
      if (byLoad) {
        EXPECT_EQ(Files("p"), k.End == TEnd::New ? newFiles : oldFiles);
      } else {
        TContainer back;
        back.Load(Root + "p.qel");
        EXPECT_EQ(back.GetNote(0)->Data.Name, "Saved afterwards");
        EXPECT_EQ(back.RecoveryNote, "");
      }
    }
  }
}

// Fault: a journal in a received folder was acted on at every open, import and save: a line
// with an absolute name or "../" replaced or deleted files outside the project, and a journal
// that was a link was read or created through it. Now a journal that names anything, is not
// a plain file or is named in other letter case is left alone, nothing changes anywhere, and
// the message names it.
TEST_F(SaveSafety, AJournalThatNamesAnythingButTheProjectsFilesIsNeverActedOn) {
  newProject.SaveDataFiles(Root + "new.qel");
  const std::string newNotes = ReadFileBytes(Data("new", "_Not"));
  std::filesystem::remove_all(Dir);
  const std::string project = Root + "p/p.qel", journal = Root + "p/p_Save.journal";
  const std::string outside = Root + "outside/";
  // What a journal of a real save of the notes file says: acted on through a link or under
  // another name, it would change the project.
  const std::string valid = "QEL save journal 2\n_Not " + std::to_string(newNotes.size()) + " " + [&] {
    char sum[9];
    std::snprintf(sum, sizeof sum, "%08x", unsigned(TSaveJournal::Checksum(newNotes)));
    return std::string(sum);
  }() + "\nend\n";
  const auto oldStyle = [](const std::string& target, const std::string& temp) {
    return "QEL save journal\n" + target + std::string(1, '\0') + temp + "\nend\n";
  };
  const auto text = [&](const std::string& bytes) { return [&, bytes] { WriteFileBytes(journal, bytes); }; };
  const auto link = [&](const std::string& to) {
    return [&, to] { ASSERT_EQ(::symlink(to.c_str(), journal.c_str()), 0); };
  };
  struct Case {
    std::string Name;
    std::function<void()> Make;
    std::string Named;
  };
  for (const Case& k : std::initializer_list<Case>{
           {"absolute", text(oldStyle(outside + "victim.txt", outside + "victim.txt.saving")), journal},
           {"absolute, as this program writes", text("QEL save journal 2\n" + outside + "victim.txt 6 0a0b0c0d\nend\n"), journal},
           {"../", text(oldStyle("../outside/victim.txt", "../outside/victim.txt.saving")), journal},
           {"../ as a suffix", text("QEL save journal 2\n../_Not 6 0a0b0c0d\nend\n"), journal},
           {"other names", text(oldStyle("notes.txt", "p_Not.dat.saving")), journal},
           {"another suffix", text("QEL save journal 2\n_Xyz 6 0a0b0c0d\nend\n"), journal},
           {"a suffix twice", text("QEL save journal 2\n_Not 6 0a0b0c0d\n_Not 6 0a0b0c0d\nend\n"), journal},
           {"itself", text(oldStyle("p_Save.journal", "p_Not.dat.saving")), journal},
           {"itself as a suffix", text("QEL save journal 2\n_Save.journal 6 0a0b0c0d\nend\n"), journal},
           {"binary", text(std::string("QEL save journal 2\n\0\xFF\x01\xFE", 23) + "\nend\n"), journal},
           {"binary, cut short", text(std::string("\x7F" "ELF\x02\x01\0\0", 8)), journal},
           {"text after the end", text(valid + "_Att 1 00000000\n"), journal},
           {"too long to be one", text("QEL save journal 2\n_Not" + std::string(2000, '1')), journal},
           {"folder", [&] { std::filesystem::create_directories(journal + "/inside"); }, journal},
           {"symbolic link", link(outside + "elsewhere.journal"), journal},
           {"dangling link", link(outside + "made-by-a-save.journal"), journal},
           {"other case", [&] { WriteFileBytes(Root + "p/P_save.JOURNAL", valid); }, Root + "p/P_save.JOURNAL"},
       }) {
    for (const char* action : {"open", "import", "save"}) {
      SCOPED_TRACE(k.Name + std::string(", ") + action);
      std::filesystem::remove_all(Dir);
      std::filesystem::create_directories(Dir / "p");
      std::filesystem::create_directories(Dir / "outside");
      oldProject.SaveDataFiles(project);
      WriteFileBytes(Data("p/p", "_Not") + ".saving", newNotes);
      WriteFileBytes(outside + "victim.txt", "victim");
      WriteFileBytes(outside + "victim.txt.saving", "sender");
      WriteFileBytes(outside + "elsewhere.journal", valid);
      k.Make();
      const auto before = FolderState(Dir);
      std::string message;
      try {
        TContainer c;
        if (action == std::string("open")) c.Load(project);
        if (action == std::string("import")) c.Import(project, c.ImportOffsets());
        if (action == std::string("save")) newProject.Save(project, [&] { WriteFileBytes(Root + "p/p.qel", "[QEL]"); });
      } catch (const std::exception& e) {
        message = e.what();
      }
      EXPECT_EQ(FolderState(Dir), before);
      EXPECT_NE(message.find("QEL found a save journal it does not act on"), std::string::npos) << message;
      EXPECT_NE(message.find(k.Named), std::string::npos) << message;
    }
  }
}

// Fault: a save wrote its temporaries and its journal through whatever stood at their names,
// so a link there made it write outside the folder. They are now made new, never through a
// link and never over a file that is not one a save left; a file that stands in the way
// stops the save with its name. (The journal's name is taken during the save here, after
// the save found it free.)
TEST_F(SaveSafety, TemporariesAndTheJournalAreMadeNewNeverThroughALink) {
  const std::string outside = Root + "outside/";
  struct Case {
    std::string Name, At; // At: a suffix, or "journal"
    std::function<void(const std::string&)> Put;
    std::string Expected;
  };
  const auto linkTo = [](const std::string& target) {
    return [target](const std::string& at) { ASSERT_EQ(::symlink(target.c_str(), at.c_str()), 0); };
  };
  const std::string inTheWay = "Something that is not a file QEL wrote stands where a save writes its temporary file. "
                               "Please remove it: ";
  for (const Case& k : std::initializer_list<Case>{
           {"a link to a file", "_Not", linkTo(outside + "file"), inTheWay},
           {"a dangling link", "_Sht", linkTo(outside + "made"), inTheWay},
           {"a folder", "_Lnk", [](const std::string& at) { std::filesystem::create_directories(at + "/in"); }, inTheWay},
           {"a link at the journal's name", "journal", linkTo(outside + "made"),
            "Something that is not a journal QEL wrote stands where a save writes its journal. Please remove it: "},
       }) {
    SCOPED_TRACE(k.Name);
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir / "outside");
    WriteFileBytes(outside + "file", "someone's");
    oldProject.SaveDataFiles(Root + "p.qel");
    const TFiles oldFiles = Files("p");
    const std::string at = k.At == "journal" ? Root + "p_Save.journal" : Data("p", k.At) + ".saving";
    if (k.At == "journal")
      FileOperationFault = [&, put = true](std::string_view op, const std::string&) mutable {
        if (op == "write" && std::exchange(put, false)) k.Put(at);
        return false;
      };
    else
      k.Put(at);
    std::string message;
    try {
      newProject.SaveDataFiles(Root + "p.qel");
    } catch (const EInOutError& e) {
      message = e.what();
    }
    FileOperationFault = nullptr;
    EXPECT_EQ(message, k.Expected + at);
    EXPECT_EQ(Files("p"), oldFiles);
    EXPECT_EQ(ReadFileBytes(outside + "file"), "someone's");
    EXPECT_FALSE(std::filesystem::exists(outside + "made"));
    EXPECT_EQ(EntryKind(at), k.At == "_Lnk" ? TEntryKind::Folder : TEntryKind::Link);
  }
}

// Fault: a save replaced read-only data files, left every file with the default permissions
// and replaced a data file that is a symbolic link by a plain file. A save refused for a
// read-only file does not write the project file either.
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
    bool projectFileWritten = false;
    try {
      newProject.Save(Root + "p.qel", [&] { projectFileWritten = true; });
      ADD_FAILURE() << "saved over a read-only file";
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()), "The file is read-only: " + Data("p", k.Suffix));
    }
    EXPECT_FALSE(projectFileWritten);
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
