// Exports of every page and extent, read back with the project's loader: each item the export
// owes is there exactly once with its bytes and references, and the new project keeps its
// notes through its first sheet changes.
#include "SearchFixture.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "search/SearchExport.h"

#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <set>
#include <tuple>

namespace qel {
namespace {

struct TRoundTrip {
  const char* Page;
  bool Big;
};

std::ostream& operator<<(std::ostream& out, const TRoundTrip& c) {
  return out << c.Page << (c.Big ? " big" : " small");
}

// Items are told apart by their bodies and texts, which are all different; the captions are not.
using TNoteKey = std::tuple<std::string, std::string, int, std::string>; // body, caption, kind, aggregated sheet
using TPosKey = std::tuple<std::string, std::string, int, int>;          // body, sheet, X, Y
using TLinkKey = std::tuple<std::string, std::string, std::string, std::string, int>; // sheet, from, to, type, colour
using TAttKey = std::tuple<std::string, std::string, std::string, std::string, int>; // text, body, caption, place, kind

struct TItems {
  std::multiset<std::string> Sheets; // caption + description
  std::multiset<TNoteKey> Notes;
  std::multiset<TPosKey> Positions;
  std::multiset<TLinkKey> Links;
  std::multiset<TAttKey> Attachments;
  std::vector<std::string> Relations;
};

std::string SheetKey(const TSheetItem* sheet) { return sheet->Data.Name + "|" + sheet->Data.Description; }

// What a project holds, through the references its items keep.
TItems Contents(const TContainer& project) {
  TItems items;
  for (TPoolItem* item : project.SheetPool->AllItems())
    items.Sheets.insert(SheetKey(static_cast<TSheetItem*>(item)));
  for (TPoolItem* item : project.NotePool->AllItems()) {
    auto* note = static_cast<TNoteItem*>(item);
    const TSheetItem* sheet = note->IsAggregation() ? note->GetAggregatedSheet() : nullptr;
    items.Notes.insert({note->Data.Text, note->Data.Name, note->Data.Kind, sheet ? sheet->Data.Name : std::string()});
  }
  for (TPoolItem* item : project.PosPool->AllItems()) {
    auto* pos = static_cast<TPosItem*>(item);
    items.Positions.insert({pos->GetNote()->Data.Text, pos->GetSheet()->Data.Name, pos->Data.X, pos->Data.Y});
  }
  for (TPoolItem* item : project.LinkPool->AllItems()) {
    auto* link = static_cast<TLinkItem*>(item);
    items.Links.insert({link->GetSheet()->Data.Name, link->GetFromNote()->Data.Text, link->GetToNote()->Data.Text,
                        link->GetRelation()->Data.Name, static_cast<int>(link->Data.Color)});
  }
  for (TPoolItem* item : project.AttachPool->AllItems()) {
    auto* attachment = static_cast<TAttachItem*>(item);
    const TAttachment& d = attachment->Data;
    items.Attachments.insert({d.Text, attachment->GetNote()->Data.Text, d.Caption, d.Location, d.Kind});
  }
  for (TPoolItem* item : project.RelationPool->AllItems())
    items.Relations.push_back(static_cast<TRelationItem*>(item)->Data.Name);
  return items;
}

class ExportRoundTripTest : public SearchFixture, public ::testing::WithParamInterface<TRoundTrip> {
protected:
  // Sheets "Plan A", "Other", "Plan B"; nine notes, most named "New Note", on them or on none;
  // an aggregation note for each sheet; links on every sheet; attachments on notes found and
  // not found.
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    for (const char* name : {"leads to", "part of"}) {
      TRelation relation;
      relation.Name = name;
      Project.AddRelation(relation);
    }
    TSheetItem* planA = AddSheet("Plan A");
    TSheetItem* other = AddSheet("Other", clAqua);
    TSheetItem* planB = AddSheet("Plan B");
    planA->SetDescription("first\r\nplan");
    std::vector<TNoteItem*> n;
    for (int i = 0; i < 8; ++i)
      n.push_back(AddNote("New Note", "{\\rtf1 body " + std::to_string(i) + "\\par \xE9}"));
    n[6]->SetName("Plain");
    TNoteItem* aggA = AddAggregationNote(Project, planA);
    TNoteItem* aggOther = AddAggregationNote(Project, other);
    TNoteItem* aggB = AddAggregationNote(Project, planB);
    aggA->Data.Text = "agg A";
    aggOther->Data.Text = "agg Other";
    aggB->Data.Text = "agg B";
    Project.PlaceNote(n[0], planA, 10, 10);
    Project.PlaceNote(n[0], planB, 5, 5);
    Project.PlaceNote(n[2], planA, 30, 30);
    Project.PlaceNote(aggOther, planA, 50, 50);
    Project.PlaceNote(n[1], other, 1, 1);
    Project.PlaceNote(n[3], other, 2, 2);
    Project.PlaceNote(aggA, other, 3, 3);
    Project.PlaceNote(n[7], other, 4, 4);
    Project.AssignNoteToSheet(n[4], planB);
    for (auto [sheet, from, to, relation] :
         {std::tuple{planA, n[0], n[2], 0}, std::tuple{planA, n[0], aggOther, 1}, std::tuple{other, n[1], n[3], 0},
          std::tuple{other, aggA, n[1], 1}, std::tuple{planB, n[4], n[0], 0}})
      AddLink(sheet, from, to, relation)->Data.Color = Project.LinkCount(); // tells the links apart
    AddAttachment(n[1], "Manual", "/docs/plan.pdf")->Data.Text = "manual\r\ntext";
    AddAttachment(n[5], "Web", "https://example.org")->Data.Text = "web";
    AddAttachment(aggOther, "Sheet file", "/docs/other.txt")->Data.Text = "sheet file";
    AddAttachment(n[6], "Plain file", "/docs/plain.txt")->Data.Text = "plain";
  }
  // Criteria that find some items of each kind, and leave notes out that hang on items found.
  void SearchPage(const std::string& page) {
    Search.SetNoteCaption1("plain");
    Search.SetNoteCaptionActive1(true);
    Search.SetSheetCaption1("plan");
    Search.SetSheetCaptionActive1(true);
    Search.SetAttachmentFileName1("plan.pdf other.txt");
    Search.SetAttachmentFileNameActive1(true);
    Search.Search(page);
  }

  // What the export owes, worked out from the criteria and the page, not from the pools the
  // search filtered: a page finds the matching items of the kinds it searches and leaves the
  // other kinds whole. Owed are the notes found, the notes on the sheets found and the notes of
  // the attachments found, where that page searched sheets or attachments; the sheets found
  // (big only); the positions and links among them; the attachments found of the notes owed.
  TItems Owed(const std::string& page, bool big) const {
    const bool global = page == "Global";
    const bool notesSearched = global || page == "Notes";
    const bool sheetsSearched = global || page == "Sheets";
    const bool attachmentsSearched = global || page == "Attachments";
    auto holds = [](const std::string& text, const char* part) {
      return QString::fromLatin1(text.c_str()).contains(part, Qt::CaseInsensitive);
    };
    auto noteFound = [&](const TNoteItem* note) { return !notesSearched || holds(note->Data.Name, "plain"); };
    auto sheetFound = [&](const TSheetItem* sheet) { return !sheetsSearched || holds(sheet->Data.Name, "plan"); };
    auto attachmentFound = [&](const TAttachItem* attachment) {
      return !attachmentsSearched || holds(attachment->Data.Location, "plan.pdf") ||
             holds(attachment->Data.Location, "other.txt");
    };
    std::set<const TNoteItem*> notes;
    std::set<const TSheetItem*> sheets;
    for (TPoolItem* item : Project.NotePool->AllItems())
      if (noteFound(static_cast<TNoteItem*>(item))) notes.insert(static_cast<TNoteItem*>(item));
    for (TPoolItem* item : Project.PosPool->AllItems())
      if (auto* pos = static_cast<TPosItem*>(item); sheetsSearched && sheetFound(pos->GetSheet()))
        notes.insert(pos->GetNote());
    for (TPoolItem* item : Project.AttachPool->AllItems())
      if (auto* attachment = static_cast<TAttachItem*>(item); attachmentsSearched && attachmentFound(attachment))
        notes.insert(attachment->GetNote());
    for (TPoolItem* item : Project.SheetPool->AllItems())
      if (big && sheetFound(static_cast<TSheetItem*>(item))) sheets.insert(static_cast<TSheetItem*>(item));
    TItems all = Contents(Project), owed;
    owed.Relations = all.Relations;
    for (const TSheetItem* sheet : sheets)
      owed.Sheets.insert(SheetKey(sheet));
    for (const TNoteItem* note : notes) {
      const TSheetItem* sheet = note->IsAggregation() ? note->GetAggregatedSheet() : nullptr;
      const bool stands = sheet && sheets.count(sheet);
      // A note standing for a sheet not exported becomes an ordinary note.
      const int kind = stands ? 0 : note->IsAggregation() ? TNote{}.Kind : note->Data.Kind;
      owed.Notes.insert({note->Data.Text, note->Data.Name, kind, stands ? sheet->Data.Name : ""});
    }
    for (TPoolItem* item : Project.PosPool->AllItems()) {
      auto* pos = static_cast<TPosItem*>(item);
      if (sheets.count(pos->GetSheet()) && notes.count(pos->GetNote()))
        owed.Positions.insert({pos->GetNote()->Data.Text, pos->GetSheet()->Data.Name, pos->Data.X, pos->Data.Y});
    }
    for (TPoolItem* item : Project.LinkPool->AllItems()) {
      auto* link = static_cast<TLinkItem*>(item);
      if (sheets.count(link->GetSheet()) && notes.count(link->GetFromNote()) && notes.count(link->GetToNote()))
        owed.Links.insert({link->GetSheet()->Data.Name, link->GetFromNote()->Data.Text, link->GetToNote()->Data.Text,
                           link->GetRelation()->Data.Name, static_cast<int>(link->Data.Color)});
    }
    for (TPoolItem* item : Project.AttachPool->AllItems()) {
      auto* attachment = static_cast<TAttachItem*>(item);
      const TAttachment& d = attachment->Data;
      if (attachmentFound(attachment) && notes.count(attachment->GetNote()))
        owed.Attachments.insert({d.Text, attachment->GetNote()->Data.Text, d.Caption, d.Location, d.Kind});
    }
    return owed;
  }

  QTemporaryDir Folder;
};

void ExpectSame(const TItems& loaded, const TItems& owed) {
  EXPECT_EQ(loaded.Sheets, owed.Sheets);
  EXPECT_EQ(loaded.Notes, owed.Notes);
  EXPECT_EQ(loaded.Positions, owed.Positions);
  EXPECT_EQ(loaded.Links, owed.Links);
  EXPECT_EQ(loaded.Attachments, owed.Attachments);
  EXPECT_EQ(loaded.Relations, owed.Relations);
}

TEST_P(ExportRoundTripTest, TheLoadedExportHoldsEveryItemOnceAndKeepsItThroughSheetChanges) {
  const TRoundTrip c = GetParam();
  SearchPage(c.Page);
  const TItems owed = Owed(c.Page, c.Big);
  ASSERT_FALSE(owed.Notes.empty());
  TSearchExport exported(Project, c.Big);
  Project.ClearFilters();
  const std::string base = FromQString(Folder.path()) + "/Export";
  exported.Write(base);

  TContainer loaded;
  loaded.Load(base + ".qel");
  TItems read = Contents(loaded);
  ExpectSame(read, owed);
  EXPECT_EQ(std::count_if(read.Notes.begin(), read.Notes.end(),
                          [](const TNoteKey& note) { return std::get<1>(note) == "New Note"; }),
            std::count_if(owed.Notes.begin(), owed.Notes.end(),
                          [](const TNoteKey& note) { return std::get<1>(note) == "New Note"; }));

  // A sheet stored (its property window syncs the aggregation notes) loses nothing.
  TSheet extra;
  extra.Name = "Extra";
  TSheetItem* added = loaded.AddSheet(extra);
  loaded.SyncAggregationNotes();
  read.Sheets.insert(SheetKey(added));
  ExpectSame(Contents(loaded), read);

  // A sheet deleted takes its positions, its links and the notes standing for it, nothing else.
  TSheetItem* doomed = loaded.SheetCount() > 1 ? loaded.GetSheet(0) : added;
  const std::string name = doomed->Data.Name;
  read.Sheets.erase(read.Sheets.find(SheetKey(doomed)));
  auto drop = [&](auto& set, auto gone) {
    for (auto it = set.begin(); it != set.end();)
      it = gone(*it) ? set.erase(it) : std::next(it);
  };
  std::set<std::string> goneBodies;
  for (const TNoteKey& note : read.Notes)
    if (std::get<3>(note) == name) goneBodies.insert(std::get<0>(note));
  drop(read.Notes, [&](const TNoteKey& note) { return goneBodies.count(std::get<0>(note)) > 0; });
  drop(read.Positions,
       [&](const TPosKey& pos) { return std::get<1>(pos) == name || goneBodies.count(std::get<0>(pos)); });
  drop(read.Links, [&](const TLinkKey& link) {
    return std::get<0>(link) == name || goneBodies.count(std::get<1>(link)) || goneBodies.count(std::get<2>(link));
  });
  drop(read.Attachments, [&](const TAttKey& attachment) { return goneBodies.count(std::get<1>(attachment)) > 0; });
  doomed->Delete();
  loaded.SyncAggregationNotes();
  ExpectSame(Contents(loaded), read);
}

INSTANTIATE_TEST_SUITE_P(EveryPageAndExtent, ExportRoundTripTest,
                         ::testing::Values(TRoundTrip{"Global", false}, TRoundTrip{"Global", true},
                                           TRoundTrip{"Notes", false}, TRoundTrip{"Notes", true},
                                           TRoundTrip{"Sheets", false}, TRoundTrip{"Sheets", true},
                                           TRoundTrip{"Attachments", false}, TRoundTrip{"Attachments", true}));

} // namespace
} // namespace qel
