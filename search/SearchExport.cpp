#include "SearchExport.h"

#include "model/DataLines.h"
#include "platform/FileNames.h"

#include <unordered_set>

namespace qel {

TSearchExport::TSearchExport(const TContainer& project, bool big) : FSource(project), FBig(big) {
  AddFile(".qel", "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=No\r\n");
  CopySheets();
  CopyNotes();
  CopyPositions();
  CopyRelations();
  CopyLinks();
  CopyAttachments();
}

std::string TSearchExport::FileName(const std::string& base, std::string_view suffix) {
  if (suffix == ".qel") return base + ".qel";
  return TContainer::DataFileName(base + ".qel", suffix);
}

void TSearchExport::AddFile(std::string suffix, std::string bytes) {
  FFiles.push_back({std::move(suffix), std::move(bytes)});
}

bool TSearchExport::SheetVisible(const TSheetItem* sheet) const {
  return !FSource.SheetPool->Filtered || FSource.SheetPool->InView(sheet);
}

TNoteItem* TSearchExport::NewNote(const TNoteItem* note) const {
  auto found = FNew.find(note);
  return found == FNew.end() ? nullptr : static_cast<TNoteItem*>(found->second);
}

// The sheet lines carry the sheets' keys; the sheets index maps new index to key.
void TSearchExport::CopySheets() {
  std::string sheets(TSheetPool::Marker);
  sheets += "\r\n";
  std::string index;
  for (int i = 0; FBig && i < FSource.SheetCount(); ++i) {
    TSheetItem* sheet = FSource.GetSheet(i);
    const TSheet& d = sheet->Data;
    const int key = FSource.SheetPool->IndexOf(sheet);
    TRecordWriter(sheets)
        .Int(key)
        .Plain(d.Name)
        .Int(d.Color)
        .Int(d.Width)
        .Int(d.Height)
        .Int(d.Zoom)
        .Int(d.GridSize)
        .Int(d.Extra)
        .Coded(d.Description)
        .EndLine();
    TRecordWriter(index).Int(i).Int(key).Plain({}).EndLine();
    FNew[sheet] = FTarget.AddSheet(d);
    FSheets.push_back(sheet);
  }
  AddFile("_sht", std::move(sheets));
  AddFile("_shtX", std::move(index));
}

// First a line per position on a visible sheet (the note's key), then a line per visible note
// (key -1); the first line of each caption becomes a note of the new project.
void TSearchExport::CopyNotes() {
  std::string lines;
  std::vector<const TNoteItem*> notes;
  for (int i = 0; i < FSource.PositionCount(); ++i) {
    const TPosItem* pos = FSource.GetPosition(i);
    if (!SheetVisible(pos->GetSheet())) continue;
    AppendNoteLine(lines, FSource.NotePool->IndexOf(pos->GetNote()), pos->GetNote());
    notes.push_back(pos->GetNote());
  }
  const size_t firstPass = notes.size();
  for (int i = 0; i < FSource.NoteCount(); ++i) {
    AppendNoteLine(lines, -1, FSource.GetNote(i));
    notes.push_back(FSource.GetNote(i));
  }
  std::string index;
  std::unordered_set<std::string> captions;
  for (size_t i = 0; i < notes.size(); ++i) {
    std::string caption;
    TRecordWriter(caption).Plain(notes[i]->Data.Name);
    if (!captions.insert(caption).second) continue;
    const int key = i < firstPass ? FSource.NotePool->IndexOf(notes[i]) : -1;
    TRecordWriter(index).Int(FTarget.NoteCount()).Int(key).Plain({}).EndLine();
    AddNote(notes[i]);
  }
  AddFile("_xNot1", std::move(lines));
  AddFile("_Not", FTarget.NotePool->SaveBytes());
  AddFile("_notX", std::move(index));
}

void TSearchExport::AppendNoteLine(std::string& out, int key, const TNoteItem* note) const {
  const TNote& d = note->Data;
  TRecordWriter(out)
      .Int(key)
      .Plain(d.Name)
      .Plain(d.ImageFile)
      .Plain(d.LogoFile)
      .Int(d.Kind)
      .Int(d.Width)
      .Int(d.Height)
      .Int(d.Color)
      .Int(d.Extra1)
      .Int(d.LogoPos)
      .Int(d.ExtraFlag)
      .Int(d.Extra2)
      .Coded(d.Text)
      .Int(-1)
      .EndLine();
}

// An aggregation note keeps standing for its sheet when that sheet is exported too.
void TSearchExport::AddNote(const TNoteItem* note) {
  TNote record = note->Data;
  record.Sheet.Reset();
  if (TSheetItem* sheet = note->GetAggregatedSheet(); sheet && FNew.count(sheet))
    record.Sheet = static_cast<TSheetItem*>(FNew[sheet]);
  FNew[note] = FTarget.AddNote(record);
}

void TSearchExport::CopyPositions() {
  for (int i = 0; FBig && i < FSource.PositionCount(); ++i) {
    const TPosItem* pos = FSource.GetPosition(i);
    auto sheet = FNew.find(pos->GetSheet());
    TNoteItem* note = NewNote(pos->GetNote());
    if (sheet == FNew.end() || !note) continue;
    TPos record = pos->Data;
    record.Note = note;
    record.Sheet = static_cast<TSheetItem*>(sheet->second);
    FTarget.AddPosition(record);
  }
  AddFile("_pos", FTarget.PosPool->SaveBytes());
}

void TSearchExport::CopyRelations() {
  for (int i = 0; i < FSource.RelationCount(); ++i)
    FNew[FSource.GetRelation(i)] = FTarget.AddRelation(FSource.GetRelation(i)->Data);
  AddFile("_rel", FTarget.RelationPool->SaveBytes());
}

// Links follow the exported sheets' order, and each sheet's links their pool order. The two
// index files list each exported sheet's key and new index once per link, then once.
void TSearchExport::CopyLinks() {
  std::unordered_map<const TSheetItem*, std::vector<const TLinkItem*>> bySheet;
  for (int i = 0; FBig && i < FSource.LinkCount(); ++i)
    bySheet[FSource.GetLink(i)->GetSheet()].push_back(FSource.GetLink(i));
  std::string perLink, perSheet;
  for (size_t i = 0; i < FSheets.size(); ++i) {
    const int key = FSource.SheetPool->IndexOf(FSheets[i]);
    const auto& links = bySheet[FSheets[i]];
    for (size_t k = 0; k < links.size(); ++k)
      TRecordWriter(perLink).Int(key).Int(i).Plain({}).EndLine();
    if (!links.empty()) TRecordWriter(perSheet).Int(key).Int(i).Plain({}).EndLine();
    for (const TLinkItem* link : links) {
      TLink record = link->Data;
      record.Sheet = static_cast<TSheetItem*>(FNew[FSheets[i]]);
      record.FromNote = NewNote(link->GetFromNote());
      record.ToNote = NewNote(link->GetToNote());
      auto relation = FNew.find(link->GetRelation());
      if (!record.FromNote || !record.ToNote || relation == FNew.end()) continue;
      record.Relation = static_cast<TRelationItem*>(relation->second);
      FTarget.AddLink(record);
    }
  }
  AddFile("_lnk1", std::move(perLink));
  AddFile("_lnk2", std::move(perSheet));
  AddFile("_lnk", FTarget.LinkPool->SaveBytes());
}

void TSearchExport::CopyAttachments() {
  for (int i = 0; i < FSource.AttachmentCount(); ++i) {
    const TAttachItem* attachment = FSource.GetAttachment(i);
    TAttachment record = attachment->Data;
    record.Note = NewNote(attachment->GetNote());
    if (record.Note) FTarget.AddAttachment(record);
  }
  AddFile("_att", FTarget.AttachPool->SaveBytes());
}

void TSearchExport::Write(const std::string& base) const {
  std::vector<std::pair<std::string, std::string>> written; // temporary name, final name
  try {
    for (const TExportFile& file : FFiles) {
      std::string target = FindFileNoCase(FileName(base, file.Suffix));
      written.emplace_back(target + ".saving", target);
      WriteFileBytes(written.back().first, file.Bytes);
    }
    for (auto& [temp, target] : written)
      RenameFile(temp, target);
  } catch (...) {
    for (auto& [temp, target] : written)
      DeleteFile(temp);
    throw;
  }
}

} // namespace qel
