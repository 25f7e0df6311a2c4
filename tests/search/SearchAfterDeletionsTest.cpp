// Searches on threads in a project from which notes, sheets and attachments were deleted:
// the hits are those of one thread, every list stays whole, and a save keeps every note once.
#include "SearchFixture.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace qel {
namespace {

constexpr int kNotes = 6000; // past the count from which the notes are tested on threads
constexpr int kSheets = 30;

enum class Place { Start, Middle, End };

int IndexAt(Place place, int count) {
  return place == Place::Start ? 0 : place == Place::Middle ? count / 2 : count - 1;
}

class SearchAfterDeletions : public SearchFixture {
protected:
  void SetUp() override {
    for (int s = 0; s < kSheets; ++s)
      AddSheet("sheet " + std::to_string(s) + (s % 4 == 0 ? " sun" : ""));
    for (int i = 0; i < kNotes; ++i) {
      const std::string name = "n" + std::to_string(i);
      // Cyrillic bytes of a code page, read on every thread.
      std::string body = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\\f0 ";
      if (i % 7 == 0) body += "\\'ec\\'e8\\'f0 ";
      if (i % 3 == 0) body += "sun ";
      TNoteItem* note = AddNote(name, body + name + "}");
      if (i % 2 == 0) Project.AssignNoteToSheet(note, Project.SheetPool->GetAllItem(i % kSheets));
      if (i % 5 == 0) AddAttachment(note, "file " + name + (i % 10 == 0 ? " sun" : ""), name + ".txt");
      // The notes that stand for the sheets lie spread over the whole list.
      if (i % (kNotes / kSheets) == 0)
        AddAggregationNote(Project, Project.SheetPool->GetAllItem(i / (kNotes / kSheets)));
    }
    Search.SetNoteMemo1("мир sun");
    Search.SetNoteSheetCaption1("sun");
    Search.SetSheetCaption1("sun");
    Search.SetAttachmentCaption1("sun");
  }

  void DeleteAt(Place place) {
    Project.NotePool->GetAllItem(IndexAt(place, Project.NotePool->AllCount()))->Delete();
    Project.AttachPool->GetAllItem(IndexAt(place, Project.AttachPool->AllCount()))->Delete();
    Project.SheetPool->GetAllItem(IndexAt(place, Project.SheetPool->AllCount()))->Delete();
    Project.SyncAggregationNotes(); // deletes the note that stood for the sheet
  }

  // The names of the items of a pool that the test hits, in full-list order.
  template <class TPoolT, class THit, class TName> static Names Hits(const TPoolT& pool, THit hit, TName name) {
    Names names;
    for (int i = 0; i < pool.AllCount(); ++i)
      if (hit(pool.GetAllItem(i))) names.push_back(name(pool.GetAllItem(i)));
    return names;
  }
  // What one thread finds in "Global" for the criteria above, through the single matchers.
  void ExpectOneThreadsHits() {
    EXPECT_EQ(Notes(), Hits(
                           *Project.NotePool,
                           [this](const TNoteItem* note) {
                             return Search.MatchNoteMemo1(note->Data.Text) || Search.MatchNoteSheetCaption1(note);
                           },
                           [](const TNoteItem* note) { return note->Data.Name; }));
    EXPECT_EQ(Sheets(), Hits(
                            *Project.SheetPool,
                            [this](const TSheetItem* sheet) { return Search.MatchSheetCaption1(sheet->Data.Name); },
                            [](const TSheetItem* sheet) { return sheet->Data.Name; }));
    EXPECT_EQ(Attachments(),
              Hits(
                  *Project.AttachPool,
                  [this](const TAttachItem* item) { return Search.MatchAttachmentCaption1(item->Data.Caption); },
                  [](const TAttachItem* item) { return item->Data.Caption; }));
  }

  // Each item once, at the index it reports, owned by its pool; each position on a live sheet.
  void ExpectListsWhole() const {
    for (TPoolItemList* pool :
         {static_cast<TPoolItemList*>(Project.NotePool.get()), static_cast<TPoolItemList*>(Project.SheetPool.get()),
          static_cast<TPoolItemList*>(Project.AttachPool.get()), static_cast<TPoolItemList*>(Project.PosPool.get())}) {
      std::set<const TPoolItem*> seen;
      for (int i = 0; i < pool->AllCount(); ++i) {
        const TPoolItem* item = pool->GetAllItem(i);
        ASSERT_TRUE(item && item->Pool == pool);
        ASSERT_EQ(pool->IndexOf(item), i);
        ASSERT_TRUE(seen.insert(item).second) << "an item stands twice";
      }
    }
    for (int i = 0; i < Project.PosPool->AllCount(); ++i)
      ASSERT_GE(Project.SheetPool->IndexOf(static_cast<TPosItem*>(Project.PosPool->GetAllItem(i))->GetSheet()), 0);
  }
};

// Deletions at the start, in the middle and at the end of each list between searches.
TEST_F(SearchAfterDeletions, ThreadsFindWhatOneThreadFindsAndLeaveEveryListWhole) {
  for (const Place place : {Place::Start, Place::Middle, Place::End}) {
    DeleteAt(place);
    Search.Clear();
    Search.SetNoteMemoActive1(true);
    Search.SetNoteSheetCaptionActive1(true);
    Search.SetSheetCaptionActive1(true);
    Search.SetAttachmentCaptionActive1(true);
    Search.Search("Global");
    ExpectOneThreadsHits();
    Project.ClearFilters();
    ExpectListsWhole();
  }
}

// Sheets deleted one by one, each followed by a search, then a save and a load: the file holds
// every remaining note once.
TEST_F(SearchAfterDeletions, NotesOfDeletedSheetsGoAndEveryOtherNoteIsSavedOnce) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("qel-search-deletions-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path cwd = std::filesystem::current_path(); // a save makes its folder current
  Search.SetNoteMemoActive1(true);
  for (int round = 0; round < 10; ++round) {
    Project.SheetPool->GetAllItem(round % 2 ? 0 : Project.SheetPool->AllCount() / 2)->Delete();
    Project.SyncAggregationNotes();
    Search.Search("Notes");
    Project.ClearFilters();
  }
  std::multiset<std::string> kept;
  for (int i = 0; i < Project.NotePool->AllCount(); ++i)
    kept.insert(Project.NotePool->GetAllItem(i)->Data.Name);
  EXPECT_EQ(kept.size(), size_t(kNotes + kSheets - 10));
  const std::string file = (folder / "p.qel").string();
  Project.Save(file);
  TContainer back;
  back.Load(file);
  std::multiset<std::string> loaded;
  for (int i = 0; i < back.NotePool->AllCount(); ++i)
    loaded.insert(back.NotePool->GetAllItem(i)->Data.Name);
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(loaded, kept);
}

} // namespace
} // namespace qel
