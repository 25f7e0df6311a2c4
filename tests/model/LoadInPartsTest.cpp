// Loading a project large enough that its notes, positions and links are read in parts on
// worker threads: the result and the failures are those of reading line by line.
#include "ModelTestUtil.h"

#include "platform/Errors.h"

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace qel;
using namespace qel::test;

namespace {

constexpr int kSheets = 20;
constexpr int kNotes = 3000;     // with their texts about 1 MB: several parts
constexpr int kPlacements = 5;   // positions a note: 15,000 lines, over 256 KB
constexpr int kLinks = 12000;    // over 256 KB
constexpr int kAttachments = 1500;

class LoadInParts : public TempFolder {
protected:
  void SetUp() override {
    TempFolder::SetUp();
    std::vector<TSheetItem*> sheets;
    for (int i = 0; i < kSheets; ++i) sheets.push_back(NewSheet(Saved, "Sheet " + std::to_string(i)));
    TRelationItem* relations[] = {NewRelation(Saved, "leads to"), NewRelation(Saved, "assumes")};
    std::vector<TNoteItem*> notes;
    for (int i = 0; i < kNotes; ++i) {
      TNote note;
      note.Name = "Note " + std::to_string(i);
      note.Text = "{\\rtf1\\ansi text of note " + std::to_string(i) + "\\par\r\n" + std::string(280, 'a' + i % 26) + "}";
      if (i % 100 == 7) {
        note.Kind = 0;
        note.Sheet = sheets[size_t(i % kSheets)];
      }
      notes.push_back(Saved.AddNote(note));
    }
    // Spread so that each note's and sheet's lists collect items from all over the files.
    for (int k = 0; k < kPlacements; ++k)
      for (int i = 0; i < kNotes; ++i)
        NewPos(Saved, notes[size_t(i)], sheets[size_t((i * 7 + k * 3) % kSheets)], i % 500, k * 100);
    for (int i = 0; i < kLinks; ++i) {
      TLink link;
      link.Sheet = sheets[size_t(i % kSheets)];
      link.FromNote = notes[size_t(i * 7919 % kNotes)];
      link.ToNote = notes[size_t(i * 104729 % kNotes)];
      link.Relation = relations[i % 3 == 0];
      Saved.AddLink(link);
    }
    for (int i = 0; i < kAttachments; ++i) {
      TAttachment att;
      att.Note = notes[size_t(i * 13 % kNotes)];
      att.Caption = "File " + std::to_string(i);
      att.Location = "/docs/" + std::to_string(i) + ".txt";
      Saved.AddAttachment(att);
    }
    Saved.SaveDataFiles(Root + "big.qel");
  }

  std::string DataFile(const char* suffix) const { return TContainer::DataFileName(Root + "big.qel", suffix); }
  // The file with line (from 1) replaced, or with "x" put in front of it.
  void ReplaceLine(const char* suffix, int line, const std::string& with, bool prefix = false) const {
    std::string bytes = ReadFileBytes(DataFile(suffix));
    size_t begin = 0;
    for (int i = 1; i < line; ++i) begin = bytes.find('\n', begin) + 1;
    if (prefix)
      bytes.insert(begin, with);
    else
      bytes.replace(begin, bytes.find("\r\n", begin) - begin, with);
    WriteFileBytes(DataFile(suffix), bytes);
  }
  // What a failing load raises, with where it says it failed.
  std::string LoadError(TContainer& c) const {
    try {
      c.Load(Root + "big.qel");
    } catch (const std::exception& e) {
      return std::string(e.what()) + " @ " + ExtractFileName(c.FailedFile) + ":" + std::to_string(c.FailedLine);
    }
    return "no error";
  }

  TContainer Saved;
};

// The members of a dependency list by their places in their pool.
std::vector<int> Places(const TRelationShip& list, const TPoolItemList& pool) {
  std::vector<int> out;
  for (TPoolItem* item : list) out.push_back(pool.IndexOf(item));
  return out;
}

} // namespace

TEST_F(LoadInParts, EveryItemAndEveryListComesBackInItsOrder) {
  TContainer back;
  back.Load(Root + "big.qel");
  ASSERT_EQ(back.NoteCount(), kNotes);
  ASSERT_EQ(back.PositionCount(), kNotes * kPlacements);
  ASSERT_EQ(back.LinkCount(), kLinks);
  ASSERT_EQ(back.AttachmentCount(), kAttachments);
  EXPECT_FALSE(back.IsModified());
  for (int i = 0; i < kNotes; ++i) {
    const TNoteItem* was = Saved.GetNote(i);
    const TNoteItem* is = back.GetNote(i);
    ASSERT_EQ(is->LoadIndex, i);
    ASSERT_EQ(is->Data.Text, was->Data.Text);
    ASSERT_EQ(is->GetAggregatedSheet() ? back.SheetPool->IndexOf(is->GetAggregatedSheet()) : -1,
              was->GetAggregatedSheet() ? Saved.SheetPool->IndexOf(was->GetAggregatedSheet()) : -1);
    ASSERT_EQ(Places(is->Positions, *back.PosPool), Places(was->Positions, *Saved.PosPool)) << i;
    ASSERT_EQ(Places(is->OutLinks, *back.LinkPool), Places(was->OutLinks, *Saved.LinkPool)) << i;
    ASSERT_EQ(Places(is->InLinks, *back.LinkPool), Places(was->InLinks, *Saved.LinkPool)) << i;
    ASSERT_EQ(Places(is->Attachments, *back.AttachPool), Places(was->Attachments, *Saved.AttachPool)) << i;
  }
  for (int i = 0; i < kSheets; ++i) {
    EXPECT_EQ(Places(back.GetSheet(i)->Positions, *back.PosPool), Places(Saved.GetSheet(i)->Positions, *Saved.PosPool));
    EXPECT_EQ(Places(back.GetSheet(i)->Links, *back.LinkPool), Places(Saved.GetSheet(i)->Links, *Saved.LinkPool));
  }
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(Places(back.GetRelation(i)->Links, *back.LinkPool), Places(Saved.GetRelation(i)->Links, *Saved.LinkPool));
  EXPECT_EQ(back.GetLink(kLinks - 1)->LoadIndex, kLinks - 1);
  back.SaveDataFiles(Root + "again.qel");
  for (const char* suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"})
    EXPECT_TRUE(ReadFileBytes(DataFile(suffix)) == File(std::string("again") + suffix + ".dat")) << suffix;
}

// The older note format continues a text on the next line: it is read line by line.
TEST_F(LoadInParts, NotesOfTheOlderFormatAreReadLineByLine) {
  std::string notes = ReadFileBytes(DataFile("_Not"));
  std::string older;
  for (char c : notes) older += c == '\xFE' ? std::string("\xFE\r\n") : std::string(1, c);
  ASSERT_NE(older.size(), notes.size());
  WriteFileBytes(DataFile("_Not"), older);
  TContainer back;
  back.Load(Root + "big.qel");
  ASSERT_EQ(back.NoteCount(), kNotes);
  for (int i = 0; i < kNotes; i += 97) EXPECT_EQ(back.GetNote(i)->Data.Text, Saved.GetNote(i)->Data.Text);
  EXPECT_EQ(back.PositionCount(), kNotes * kPlacements);
}

// Whatever follows the end-of-file mark is not read, not even to tell the notes' format.
TEST_F(LoadInParts, AnEndOfFileMarkEndsTheFileWhereverItStands) {
  std::string after; // long enough to be parts of its own
  while (after.size() < 600 * 1024) after += "older\xFE\r\nformat\r\n";
  WriteFileBytes(DataFile("_Not"), ReadFileBytes(DataFile("_Not")) + "\x1A" + after);
  ReplaceLine("_Lnk", 6000, "\x1A", true);
  ReplaceLine("_Lnk", 9000, "no link");
  TContainer back;
  back.Load(Root + "big.qel");
  EXPECT_EQ(back.NoteCount(), kNotes);
  EXPECT_EQ(back.GetNote(5)->Data.Text, Saved.GetNote(5)->Data.Text);
  EXPECT_EQ(back.LinkCount(), 5999);
  EXPECT_EQ(back.GetNote(0)->OutLinkCount(), 2); // the links of lines 1 and 3001, not 6001 and 9001
}

TEST_F(LoadInParts, TheFirstFailureInFileOrderIsReportedWithItsLineAndWhatCameBeforeStays) {
  const std::string goodNotes = ReadFileBytes(DataFile("_Not"));
  const std::string goodPositions = ReadFileBytes(DataFile("_Pos"));
  // A field that is no number, deep in a later part of the notes.
  ReplaceLine("_Not", 2500, "x", true);
  TContainer a;
  EXPECT_EQ(LoadError(a), "'x2499' is not a valid integer value @ big_Not.dat:2500");
  EXPECT_EQ(a.NoteCount(), 2499);
  EXPECT_EQ(a.PositionCount(), 0);

  // A reference resolved when the notes are taken: an aggregation note of a sheet that is not
  // there; the line before it, in another part, fails to read too, but later in the file.
  WriteFileBytes(DataFile("_Not"), goodNotes);
  ReplaceLine("_Not", 2800, Rec({"2799", "Agg", "", "", "0", "80", "50", "0", "16", "0", "1", "10", "", "99"}));
  ReplaceLine("_Not", 2950, "bad");
  TContainer b;
  EXPECT_EQ(LoadError(b), "List index out of bounds (99) @ big_Not.dat:2800");
  EXPECT_EQ(b.NoteCount(), 2799);

  // Positions, attachments and links are read together: a bad position wins over a bad link
  // at the start of its file, and no attachment or link is left behind.
  WriteFileBytes(DataFile("_Not"), goodNotes);
  ReplaceLine("_Pos", 14000, Rec({"13999", "3000", "0", "1", "1"}));
  ReplaceLine("_Lnk", 1, "0");
  TContainer c;
  EXPECT_EQ(LoadError(c), "List index out of bounds (3000) @ big_Pos.dat:14000");
  EXPECT_EQ(c.NoteCount(), kNotes);
  EXPECT_EQ(c.PositionCount(), 13999);
  EXPECT_EQ(c.AttachmentCount(), 0);
  EXPECT_EQ(c.LinkCount(), 0);
  EXPECT_EQ(c.GetNote(kNotes - 1)->PositionCount(), kPlacements - 1); // its last one was on line 15000

  // A missing attachment file is reported before the bad link, after every position.
  WriteFileBytes(DataFile("_Pos"), goodPositions);
  DeleteFile(DataFile("_Att"));
  TContainer d;
  EXPECT_EQ(LoadError(d), "File not found @ big_Att.dat:0");
  EXPECT_EQ(d.PositionCount(), kNotes * kPlacements);
  EXPECT_EQ(d.LinkCount(), 0);
}

namespace {

// The bytes with line (from 1) doubled, lost, or swapped with the next one.
enum class TLineChange { Doubled, Lost, Swapped };
std::string ChangeLine(const std::string& bytes, int line, TLineChange change) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < bytes.size();) {
    const size_t end = bytes.find('\n', at) + 1;
    lines.push_back(bytes.substr(at, end - at));
    at = end;
  }
  const auto at = lines.begin() + (line - 1);
  if (change == TLineChange::Doubled) lines.insert(at, *at);
  if (change == TLineChange::Lost) lines.erase(at);
  if (change == TLineChange::Swapped) std::iter_swap(at, at + 1);
  std::string out;
  for (const std::string& l : lines) out += l;
  return out;
}

} // namespace

// Fault: one doubled line in the notes file moved thousands of positions and links onto
// other notes without a word. Every file the program writes, big ones read in parts and small
// ones line by line, now reports the first line whose identifier is not its place, and the
// load stops there.
TEST_F(LoadInParts, LinesDoubledLostOrSwappedAreReportedAsDamage) {
  struct Case {
    const char* Suffix;
    int Line;
    TLineChange Change;
    std::string Expected;
  };
  const std::string doubled = " (a line doubled, lost or moved) @ big";
  for (const Case& k : {Case{"_Not", 1500, TLineChange::Doubled, "record 1500 has the identifier 1499" + doubled + "_Not.dat:1501"},
                        Case{"_Not", 2, TLineChange::Lost, "record 1 has the identifier 2" + doubled + "_Not.dat:2"},
                        Case{"_Pos", 9000, TLineChange::Swapped, "record 8999 has the identifier 9000" + doubled + "_Pos.dat:9000"},
                        Case{"_Lnk", 11000, TLineChange::Doubled, "record 11000 has the identifier 10999" + doubled + "_Lnk.dat:11001"},
                        Case{"_Att", 700, TLineChange::Lost, "record 699 has the identifier 700" + doubled + "_Att.dat:700"},
                        Case{"_Rel", 1, TLineChange::Swapped, "record 0 has the identifier 1" + doubled + "_Rel.dat:1"},
                        Case{"_Sht", 4, TLineChange::Doubled, "record 3 has the identifier 2" + doubled + "_Sht.dat:5"},
                        Case{"_Sht", 3, TLineChange::Swapped, "record 1 has the identifier 2" + doubled + "_Sht.dat:3"},
                        Case{"_Sht", 20, TLineChange::Lost, "record 18 has the identifier 19" + doubled + "_Sht.dat:20"}}) {
    SCOPED_TRACE(std::string(k.Suffix) + ":" + std::to_string(k.Line));
    const std::string good = ReadFileBytes(DataFile(k.Suffix));
    WriteFileBytes(DataFile(k.Suffix), ChangeLine(good, k.Line, k.Change));
    TContainer c;
    EXPECT_EQ(LoadError(c), "The file is damaged: " + k.Expected);
    WriteFileBytes(DataFile(k.Suffix), good);
  }
  TContainer whole;
  EXPECT_EQ(LoadError(whole), "no error");
}

// Fault: a data file cut by another program while the load read it (mapped) killed the
// program. Now the load reports the file as changed.
TEST_F(LoadInParts, AFileCutWhileItIsReadIsALoadError) {
  FileOperationFault = [this](std::string_view op, const std::string& name) {
    if (op == "read" && name == DataFile("_Pos")) std::filesystem::resize_file(name, 1000);
    return false;
  };
  TContainer c;
  EXPECT_EQ(LoadError(c), "The file changed while it was read @ big_Pos.dat:0");
  FileOperationFault = nullptr;
  EXPECT_EQ(c.NoteCount(), kNotes); // what came before stays
}

// Fault: an error quoted the whole faulty field: a field of a megabyte, or a notes file with
// CR-only line ends read as one line, froze the program in a message box wider than the
// screen; a NUL in the field cut the message. Now a few dozen characters are quoted.
TEST_F(LoadInParts, AHugeFieldIsQuotedShortly) {
  const std::string good = ReadFileBytes(DataFile("_Not"));
  ReplaceLine("_Not", 2500, std::string("ab\0", 3) + std::string(1 << 20, 'c'), true);
  TContainer a;
  EXPECT_EQ(LoadError(a), "'ab\\x00" + std::string(37, 'c') + "...' is not a valid integer value @ big_Not.dat:2500");

  std::string crOnly = good;
  for (size_t at; (at = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(at + 1, 1);
  WriteFileBytes(DataFile("_Not"), crOnly);
  TContainer b;
  const std::string error = LoadError(b);
  EXPECT_LT(error.size(), 120u) << error.substr(0, 200);
  EXPECT_NE(error.find("is not a valid integer value @ big_Not.dat:1"), std::string::npos);
}
