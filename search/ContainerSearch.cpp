#include "ContainerSearch.h"

#include "SearchRun.h"
#include "model/Container.h"

namespace qel {
namespace {

// Applies each item's outcome at once: a hit joins the view (unless there), a miss leaves it.
// Earlier survivors keep their order; new hits follow in full-list order.
// The tick runs before the first item and after every 256 more.
template <class TPoolT, class THit> void NarrowView(TPoolT& pool, THit hit, const std::function<void()>& tick) {
  for (int i = 0, n = pool.AllCount(); i < n; ++i) {
    if (tick && i % 256 == 0) tick();
    auto* item = pool.GetAllItem(i);
    if (hit(item))
      pool.IncludeInView(i);
    else
      pool.ExcludeFromView(item);
  }
}

} // namespace

bool TContainerSearch::Match(std::string_view pattern, std::string_view text, bool caseSensitive) {
  TSearchText subject(text);
  return TSearchPattern(pattern, caseSensitive).FoundIn(subject);
}

bool TContainerSearch::MatchText(const TTextCriterion& group, int k, std::string_view text) {
  TSearchText subject(text);
  return TPreparedGroup(group).Hits(k, subject);
}

bool TContainerSearch::MatchMemo(int k, std::string_view text) const { return TSearchRun(*this).MemoHits(k, text); }

bool TContainerSearch::MatchNoteSheet(int k, const TNoteItem* note) const {
  return TSearchRun(*this).NoteSheetHits(1u << k, note);
}

bool TContainerSearch::MatchNoteSheetColor(const TNoteItem* note) const {
  return TSearchRun(*this).NoteSheetColorHits(note);
}

void TContainerSearch::Search(std::string_view scope) {
  bool global = scope == "Global";
  bool notes = global || scope == "Notes";
  bool sheets = global || scope == "Sheets";
  bool attachments = global || scope == "Attachments";
  if (!notes && !sheets && !attachments) return;
  TSearchRun run(*this);
  if (notes) {
    Container->ClearFilters();
    NarrowView(*Container->NotePool, [&](const TNoteItem* note) { return run.NoteHit(note, global); }, Tick);
  }
  if (sheets) {
    Container->ClearFilters();
    NarrowView(*Container->SheetPool, [&](const TSheetItem* sheet) { return run.SheetHit(sheet, global); }, Tick);
  }
  if (attachments) {
    Container->ClearFilters();
    NarrowView(*Container->AttachPool, [&](const TAttachItem* item) { return run.AttachmentHit(item, global); }, Tick);
  }
  if (notes) Container->NotePool->Filtered = true;
  if (sheets) Container->SheetPool->Filtered = true;
  if (attachments) Container->AttachPool->Filtered = true;
}

void TContainerSearch::Clear() {
  for (TTextCriterion* group : {&FNoteCaption, &FNoteMemo, &FNoteSheetCaption, &FSheetCaption, &FAttachmentCaption,
                                &FAttachmentFileName})
    group->Active.fill(false);
  for (TColorCriterion* group : {&FNoteColor, &FNoteSheetColor, &FSheetColor}) group->Active = false;
  Container->ResetViews();
}

} // namespace qel
