#include "SearchRun.h"

#include "ContainerSearch.h"
#include "model/Pools.h"
#include "platform/RtfText.h"

namespace qel {

TPreparedGroup::TPreparedGroup(const TTextCriterion& group) : FActive(group.Active) {
  FPatterns.reserve(4);
  for (const std::string& pattern : group.Pattern) FPatterns.emplace_back(pattern, group.CaseSensitive);
}

bool TPreparedGroup::HitsAll(TSearchText& text) const {
  for (int k = 0; k < 4; ++k)
    if (!Hits(k, text)) return false;
  return true;
}

TSearchRun::TSearchRun(const TContainerSearch& search)
    : FSearch(search), FNoteCaption(search.FNoteCaption), FNoteMemo(search.FNoteMemo),
      FNoteSheetCaption(search.FNoteSheetCaption), FSheetCaption(search.FSheetCaption),
      FAttachmentCaption(search.FAttachmentCaption), FAttachmentFileName(search.FAttachmentFileName) {}

bool TSearchRun::NoteHit(const TNoteItem* note, bool global) {
  FName.ResetAnsi(note->Data.Name);
  FMemoSource = note->Data.Text;
  FMemoReady = false;
  return global ? NoteHitInGlobal(note) : NoteHitInNotes(note);
}

// Every test that is switched on must pass; later tests run only while all before passed.
bool TSearchRun::NoteHitInNotes(const TNoteItem* note) {
  if (FNoteCaption.Active(0) && !FNoteCaption.Hits(0, FName)) return false;
  if (FSearch.FNoteColor.Active && !FSearch.MatchNoteColor(note->Data.Color)) return false;
  for (int k = 0; k < 4; ++k)
    if (FNoteMemo.Active(k) && !FNoteMemo.Hits(k, Memo())) return false;
  if (FSearch.FNoteSheetColor.Active && !NoteSheetColorHits(note)) return false;
  if (FNoteSheetCaption.Active(0) && !NoteSheetHits(1u, note)) return false;
  return true;
}

// The first group that is switched on and hits makes the note a hit.
bool TSearchRun::NoteHitInGlobal(const TNoteItem* note) {
  return (FNoteCaption.IsOn() && FNoteCaption.HitsAll(FName)) ||
         (FSearch.FNoteColor.Active && FSearch.MatchNoteColor(note->Data.Color)) ||
         (FNoteMemo.IsOn() && FNoteMemo.HitsAll(Memo())) ||
         (FSearch.FNoteSheetColor.Active && NoteSheetColorHits(note)) ||
         (FNoteSheetCaption.IsOn() && NoteSheetHits(0xFu, note));
}

bool TSearchRun::SheetHit(const TSheetItem* sheet, bool global) {
  FName.ResetAnsi(sheet->Data.Name);
  bool colorOn = FSearch.FSheetColor.Active;
  bool colorHits = colorOn && FSearch.MatchSheetColor(sheet->Data.Color);
  if (global) return (FSheetCaption.IsOn() && FSheetCaption.HitsAll(FName)) || colorHits;
  if (FSheetCaption.Active(0) && !FSheetCaption.Hits(0, FName)) return false;
  return !colorOn || colorHits;
}

bool TSearchRun::AttachmentHit(const TAttachItem* attachment, bool global) {
  FName.ResetAnsi(attachment->Data.Caption);
  FSecond.ResetAnsi(attachment->Data.Location);
  if (global)
    return (FAttachmentCaption.IsOn() && FAttachmentCaption.HitsAll(FName)) ||
           (FAttachmentFileName.IsOn() && FAttachmentFileName.HitsAll(FSecond));
  if (FAttachmentCaption.Active(0) && !FAttachmentCaption.Hits(0, FName)) return false;
  return !FAttachmentFileName.Active(0) || FAttachmentFileName.Hits(0, FSecond);
}

bool TSearchRun::MemoHits(int k, std::string_view rtf) {
  FMemoSource = rtf;
  FMemoReady = false;
  return FNoteMemo.Hits(k, Memo());
}

bool TSearchRun::NoteSheetHits(unsigned patterns, const TNoteItem* note) {
  unsigned missing = 0;
  for (int k = 0; k < 4; ++k)
    if ((patterns >> k & 1u) && !FNoteSheetCaption.Pattern(k).IsEmpty()) missing |= 1u << k;
  for (auto it = note->Positions.begin(); missing && it != note->Positions.end(); ++it) {
    FSecond.ResetAnsi(static_cast<const TPosItem*>(*it)->GetSheet()->Data.Name);
    for (int k = 0; k < 4; ++k)
      if ((missing >> k & 1u) && FNoteSheetCaption.Pattern(k).FoundIn(FSecond)) missing &= ~(1u << k);
  }
  return missing == 0;
}

bool TSearchRun::NoteSheetColorHits(const TNoteItem* note) const {
  for (const TPoolItem* pos : note->Positions)
    if (static_cast<const TPosItem*>(pos)->GetSheet()->Data.Color == FSearch.FNoteSheetColor.Color) return true;
  return false;
}

TSearchText& TSearchRun::Memo() {
  if (!FMemoReady) {
    RtfToPlainUtf8(FMemoSource, FPlain);
    FMemo.Reset(FPlain);
    FMemoReady = true;
  }
  return FMemo;
}

} // namespace qel
