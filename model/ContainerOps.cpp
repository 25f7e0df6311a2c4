// Adding, placing and linking items, and the queries the sheet views use.
#include "Container.h"

#include <algorithm>
#include <climits>
#include <random>

namespace qel {
namespace {

std::mt19937& LinkRandom() {
  static std::mt19937 generator{std::random_device{}()}; // seeded once
  return generator;
}

int32_t RandomBelow(int32_t bound) {
  return std::uniform_int_distribution<int32_t>(0, bound - 1)(LinkRandom());
}

// Keeps a coordinate inside the sheet: from 0 to one unit less than extent - size when it
// would reach past the far edge; never negative.
int32_t ClampIntoSheet(int32_t value, int32_t extent, int32_t size) {
  long long v = std::max(0, value);
  long long limit = static_cast<long long>(extent) - size;
  if (v > limit) v = limit - 1;
  return static_cast<int32_t>(std::clamp<long long>(v, 0, INT32_MAX));
}

} // namespace

template <class T> T* TContainer::Announce(T* item) {
  if (Host) Host->RefreshNavigators(item);
  return item;
}

TAttachItem* TContainer::AddAttachment(const TAttachment& record) { return Announce(AttachPool->AddItem(record)); }
TNoteItem* TContainer::AddNote(const TNote& record) { return Announce(NotePool->AddItem(record)); }
TPosItem* TContainer::AddPosition(const TPos& record) { return Announce(PosPool->AddItem(record)); }
TLinkItem* TContainer::AddLink(const TLink& record) { return LinkPool->AddItem(record); }
TSheetItem* TContainer::AddSheet(const TSheet& record) { return Announce(SheetPool->AddItem(record)); }
TRelationItem* TContainer::AddRelation(const TRelation& record) { return Announce(RelationPool->AddItem(record)); }

bool TContainer::AssignNoteToSheet(TNoteItem* note, TSheetItem* sheet) {
  if (note->IsAssignedTo(sheet)) return false;
  TPos pos;
  pos.Note = note;
  pos.Sheet = sheet;
  AddPosition(pos);
  return true;
}

bool TContainer::PlaceNote(TNoteItem* note, TSheetItem* sheet, int32_t X, int32_t Y) {
  X = ClampIntoSheet(X, sheet->Data.Width, note->Data.Width);
  Y = ClampIntoSheet(Y, sheet->Data.Height, note->Data.Height);
  if (note->IsAssignedTo(sheet)) {
    TPosItem* pos = FindPosition(note, sheet);
    pos->SetX(X);
    pos->SetY(Y);
  } else {
    TPos pos;
    pos.Note = note;
    pos.Sheet = sheet;
    pos.X = X;
    pos.Y = Y;
    AddPosition(pos);
  }
  return true;
}

void TContainer::MoveResizeNote(int32_t X, int32_t Y, int32_t width, int32_t height, TNoteItem* note,
                                TSheetItem* sheet) {
  TPosItem* pos = FindPosition(note, sheet);
  if (X < 0 || Y < 0 || width < 20 || height < 20 || !pos) return;
  pos->SetX(X);
  pos->SetY(Y);
  note->SetWidth(width);
  note->SetHeight(height);
}

TAttachItem* TContainer::CopyAttachment(const TAttachItem* attachment, TNoteItem* note) {
  TAttachment record;
  record.Note = note;
  record.Caption = attachment->Data.Caption;
  record.Location = attachment->Data.Location;
  record.Text = attachment->Data.Text;
  record.Kind = attachment->Data.Kind; // a URL stays a URL
  return AddAttachment(record);
}

TLinkItem* TContainer::NewLink(TNoteItem* fromNote, TNoteItem* toNote, TRelationItem* relation, TSheetItem* sheet) {
  TLink record;
  if (RelationCount() == 0) {
    if (Host) Host->ShowMessage("There are no relation types available...");
    return nullptr;
  }
  if (!fromNote || !toNote || !relation || !sheet) return nullptr;
  record.Sheet = sheet;
  record.FromNote = fromNote;
  record.ToNote = toNote;
  record.Relation = relation;
  const TLink defaults;
  record.ToOffsetX = RandomBelow(defaults.ToOffsetX);
  record.ToOffsetY = RandomBelow(defaults.ToOffsetY);
  record.FromOffsetX = -RandomBelow(defaults.FromOffsetX);
  record.FromOffsetY = -RandomBelow(defaults.FromOffsetY);
  return AddLink(record);
}

TLinkItem* TContainer::ChangeLinkRelation(TLinkItem* link, TRelationItem* relation) {
  if (!link || !relation || relation == link->GetRelation()) return link;
  TLink record;
  record.Sheet = link->GetSheet();
  record.FromNote = link->GetFromNote();
  record.ToNote = link->GetToNote();
  record.ToOffsetX = link->Data.ToOffsetX;
  record.ToOffsetY = link->Data.ToOffsetY;
  record.FromOffsetX = link->Data.FromOffsetX;
  record.FromOffsetY = link->Data.FromOffsetY;
  record.ArrowType = link->Data.ArrowType;
  record.PenWidth = link->Data.PenWidth;
  record.Color = link->Data.Color;
  record.LineStyle = link->Data.LineStyle;
  record.Extra = link->Data.Extra;
  link->Delete();
  record.Relation = relation;
  return AddLink(record);
}

void TContainer::SyncAggregationNotes() {
  // The full list, downwards, so deletions keep the remaining indexes valid.
  for (int i = NotePool->AllCount() - 1; i >= 0; --i) {
    TNoteItem* note = NotePool->GetAllItem(i);
    if (!note->IsAggregation()) continue;
    TSheetItem* sheet = note->GetAggregatedSheet();
    if (!sheet || SheetPool->IndexOf(sheet) < 0) {
      note->Delete();
      continue;
    }
    try {
      note->SetColor(sheet->Data.Color);
      note->SetName(sheet->Data.Name);
    } catch (...) {
      note->Delete();
    }
  }
}

void TContainer::RenameNote(TNoteItem* note, const std::string& name) {
  if (!note) return;
  TSheetItem* sheet = note->IsAggregation() ? note->GetAggregatedSheet() : nullptr;
  if (sheet && SheetPool->IndexOf(sheet) >= 0)
    RenameSheet(sheet, name);
  else
    note->SetName(name);
}

void TContainer::RenameSheet(TSheetItem* sheet, const std::string& name) {
  if (!sheet) return;
  sheet->SetName(name);
  SyncAggregationNotes();
}

TPosItem* TContainer::FindPosition(const TNoteItem* note, const TSheetItem* sheet) const {
  TPosItem* found = nullptr;
  for (TPoolItem* item : note->Positions) {
    auto* pos = static_cast<TPosItem*>(item);
    if (pos->GetSheet() == sheet) found = pos;
  }
  return found;
}

bool TContainer::LinkExists(const TNoteItem* fromNote, const TNoteItem* toNote, const TSheetItem* sheet,
                            const TRelationItem* relation) const {
  if (!fromNote) return false;
  for (TPoolItem* item : fromNote->OutLinks) {
    auto* link = static_cast<TLinkItem*>(item);
    if (link->GetRelation() == relation && link->GetToNote() == toNote && link->GetSheet() == sheet) return true;
  }
  return false;
}

bool TContainer::LinkShownOn(const TLinkItem* link, const TSheetItem* sheet) const {
  TNoteItem* from = link->GetFromNote();
  TNoteItem* to = link->GetToNote();
  return FindPosition(from, sheet) && FindPosition(to, sheet) && from->IsPlacedOn(sheet) && to->IsPlacedOn(sheet);
}

bool TContainer::LinkIsOn(const TLinkItem* link, const TSheetItem* sheet) const { return link->GetSheet() == sheet; }

std::vector<TLinkItem*> TContainer::AggregateLinks(const TNoteItem* note, const TSheetItem* sheet) const {
  std::vector<TLinkItem*> links;
  if (!note->IsAggregation() || !note->IsAssignedTo(sheet)) return links;
  TSheetItem* standsFor = note->GetAggregatedSheet();
  if (!standsFor) return links; // its sheet was deleted
  const TSheetIndex::TAggregate* indexed = SheetIndex(sheet).AggregateOf(note, standsFor);
  std::vector<TSheetIndex::TAggregateLink> collected;
  if (!indexed) CollectAggregateLinks(standsFor, sheet, collected); // kind or sheet set since the index was built
  for (const TSheetIndex::TAggregateLink& candidate : indexed ? indexed->Links : collected)
    if (candidate.Other->IsPlacedOn(sheet)) links.push_back(candidate.Link);
  return links;
}

bool TContainer::IsAggregatedOn(const TSheetItem* sheet, const TSheetItem* targetSheet) const {
  for (TPoolItem* item : targetSheet->Positions) {
    TNoteItem* note = static_cast<TPosItem*>(item)->GetNote();
    if (note->IsAggregation() && note->GetAggregatedSheet() == sheet) return true;
  }
  return false;
}

int32_t TContainer::UnplacedLinkedWidth(const TNoteItem* note, const TSheetItem* sheet) const {
  long long width = 0;
  for (TPoolItem* l : note->InLinks) {
    TNoteItem* from = static_cast<TLinkItem*>(l)->GetFromNote();
    if (!FindPosition(from, sheet)) width += from->Data.Width;
  }
  for (TPoolItem* l : note->OutLinks) {
    TNoteItem* to = static_cast<TLinkItem*>(l)->GetToNote();
    if (!FindPosition(to, sheet)) width += to->Data.Width;
  }
  return static_cast<int32_t>(std::clamp<long long>(width, 0, INT32_MAX));
}

int32_t TContainer::UnplacedLinkedCount(const TNoteItem* note, const TSheetItem* sheet) const {
  int32_t count = 0;
  for (TPoolItem* l : note->InLinks)
    if (!FindPosition(static_cast<TLinkItem*>(l)->GetFromNote(), sheet)) ++count;
  for (TPoolItem* l : note->OutLinks)
    if (!FindPosition(static_cast<TLinkItem*>(l)->GetToNote(), sheet)) ++count;
  return count;
}

} // namespace qel
