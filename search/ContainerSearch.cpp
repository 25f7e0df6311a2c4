#include "ContainerSearch.h"

#include "SearchRun.h"
#include "model/Container.h"
#include "model/KeptThreads.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace qel {
namespace {

// Below this many notes one thread tests them all.
constexpr int kNotesForThreads = 4096;
constexpr int kNoteThreads = 8;

// Whether each item is a hit, in full-list order.
template <class TPoolT, class THit> std::vector<char> Hits(const TPoolT& pool, THit hit) {
  std::vector<char> hits(pool.AllCount());
  for (int i = 0, n = pool.AllCount(); i < n; ++i) hits[i] = hit(pool.GetAllItem(i));
  return hits;
}

// The notes are tested in slices on kept threads, each with a run of its own: the test only
// reads the project (whose lists the caller compacted), and the caller waits, processing no
// events, until every slice is done.
std::vector<char> NoteHits(const TContainerSearch& search, const TNotePool& pool, bool global) {
  const int n = pool.AllCount();
  const int threads =
      n < kNotesForThreads ? 1 : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kNoteThreads);
  std::vector<char> hits(n);
  auto slice = [&](int t) {
    TSearchRun run(search);
    for (int i = t * n / threads, end = (t + 1) * n / threads; i < end; ++i)
      hits[i] = run.NoteHit(pool.GetAllItem(i), global);
  };
  std::vector<std::future<void>> jobs;
  {
    TWaitForAll<decltype(jobs)> waitForAll{jobs};
    for (int t = 1; t < threads; ++t) jobs.push_back(RunOnKeptThread(kNotePartSlots + t - 1, [&slice, t] { slice(t); }));
    slice(0);
  }
  for (auto& job : jobs) job.get();
  return hits;
}

// Applies each item's outcome: a hit joins the view (unless there), a miss leaves it.
// Earlier survivors keep their order; new hits follow in full-list order.
// The tick runs before the first item and after every 256 more.
template <class TPoolT>
void NarrowView(TPoolT& pool, const std::vector<char>& hits, const std::function<void()>& tick) {
  for (int i = 0, n = pool.AllCount(); i < n; ++i) {
    if (tick && i % 256 == 0) tick();
    if (hits[i])
      pool.IncludeInView(i);
    else
      pool.ExcludeFromView(pool.GetAllItem(i));
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
  Container->CompactLists();
  if (notes) {
    Container->ClearFilters();
    NarrowView(*Container->NotePool, NoteHits(*this, *Container->NotePool, global), Tick);
  }
  if (sheets) {
    Container->ClearFilters();
    NarrowView(*Container->SheetPool,
               Hits(*Container->SheetPool, [&](const TSheetItem* sheet) { return run.SheetHit(sheet, global); }), Tick);
  }
  if (attachments) {
    Container->ClearFilters();
    NarrowView(*Container->AttachPool,
               Hits(*Container->AttachPool, [&](const TAttachItem* item) { return run.AttachmentHit(item, global); }),
               Tick);
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
