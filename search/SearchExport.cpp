#include "SearchExport.h"

#include "model/DataLines.h"
#include "platform/FileNames.h"

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

bool TSearchExport::ProjectExists(const std::string& base) {
  if (FileExists(FindFileNoCase(FileName(base, ".qel")))) return true;
  for (std::string_view suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"})
    if (FileExists(FindFileNoCase(FileName(base, suffix)))) return true;
  return false;
}

std::string TSearchExport::BaseProblem(const std::string& folder, const std::string& name) {
  if (folder.find_first_not_of(" \t") == std::string::npos) return "Please choose a folder for the export.";
  if (!DirectoryExists(folder)) return "The export folder is missing: " + folder;
  if (name.find_first_not_of(" \t") == std::string::npos) return "Please type a file name for the export.";
  if (name.find('.') != std::string::npos)
    return "The file name " + name + " holds a full stop. A project's data files are named after the part " +
           "before its first full stop, so they would be those of another project. Please type a name without " +
           "a full stop.";
  if (name.find_first_of("/\\") != std::string::npos)
    return "The file name " + name + " holds a path separator. Please choose the folder with \"Path :\" and type " +
           "the name alone.";
  return {};
}

void TSearchExport::AddFile(std::string suffix, std::string bytes) {
  FFiles.push_back({std::move(suffix), std::move(bytes)});
}

bool TSearchExport::SheetVisible(const TSheetItem* sheet) const {
  return !FSource.SheetPool->Filtered || FSource.SheetPool->InView(sheet);
}

bool TSearchExport::NoteVisible(const TNoteItem* note) const {
  return !FSource.NotePool->Filtered || FSource.NotePool->InView(note);
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
// and per note of an attachment found (key -1). Each note becomes one note of the new
// project, the first time it comes up: notes are told apart by identity, never by caption.
void TSearchExport::CopyNotes() {
  std::string lines;
  std::vector<const TNoteItem*> notes;
  auto consider = [&](const TNoteItem* note, int key) {
    AppendNoteLine(lines, key, note);
    notes.push_back(note);
  };
  // Sheets and attachments bring their notes only when they were searched themselves: a
  // search of the notes exports the notes it found, not those of every sheet or attachment.
  const bool notesSearched = FSource.NotePool->Filtered;
  for (int i = 0; (FSource.SheetPool->Filtered || !notesSearched) && i < FSource.PositionCount(); ++i) {
    const TPosItem* pos = FSource.GetPosition(i);
    if (SheetVisible(pos->GetSheet())) consider(pos->GetNote(), FSource.NotePool->IndexOf(pos->GetNote()));
  }
  for (int i = 0; i < FSource.NoteCount(); ++i)
    consider(FSource.GetNote(i), -1);
  // An attachment found never goes without its note.
  for (int i = 0; FSource.AttachPool->Filtered && i < FSource.AttachmentCount(); ++i)
    if (const TNoteItem* note = FSource.GetAttachment(i)->GetNote(); note && !NoteVisible(note))
      consider(note, -1);
  std::string index;
  for (const TNoteItem* note : notes) {
    if (FNew.count(note)) continue;
    TRecordWriter(index).Int(FTarget.NoteCount()).Int(FSource.NotePool->IndexOf(note)).Plain({}).EndLine();
    AddNote(note);
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

// An aggregation note keeps standing for its sheet when that sheet is exported too; otherwise
// it becomes an ordinary note, which the new project's sheet changes leave alone.
void TSearchExport::AddNote(const TNoteItem* note) {
  TNote record = note->Data;
  record.Sheet.Reset();
  TSheetItem* sheet = note->IsAggregation() ? note->GetAggregatedSheet() : nullptr;
  if (sheet && FNew.count(sheet))
    record.Sheet = static_cast<TSheetItem*>(FNew[sheet]);
  else if (note->IsAggregation())
    record.Kind = TNote{}.Kind;
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

void TSearchExport::Write(const std::string& base, const std::function<void()>& step) const {
  std::vector<std::pair<std::string, std::string>> written; // temporary name, final name
  try {
    for (const TExportFile& file : FFiles) {
      std::string target = FindFileNoCase(FileName(base, file.Suffix));
      written.emplace_back(target + ".saving", target);
      WriteFileBytes(written.back().first, file.Bytes);
      if (step) step();
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
