#pragma once
// One application of a search's criteria: every pattern is cut once for the whole run and
// every item's texts are prepared at most once, so a search stays linear in the items.
#include "SearchPattern.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

class TAttachItem;
class TContainerSearch;
class TNoteItem;
class TSheetItem;
struct TTextCriterion;

// A text group's four patterns, cut for the run.
class TPreparedGroup {
public:
  explicit TPreparedGroup(const TTextCriterion& group);
  bool IsOn() const { return FActive[0] || FActive[1] || FActive[2] || FActive[3]; }
  bool Active(int k) const { return FActive[k]; }
  const TSearchPattern& Pattern(int k) const { return FPatterns[k]; }
  // Matcher k: an empty pattern hits whatever the text.
  bool Hits(int k, TSearchText& text) const { return FPatterns[k].IsEmpty() || FPatterns[k].FoundIn(text); }
  bool HitsAll(TSearchText& text) const;

private:
  std::array<bool, 4> FActive;
  std::vector<TSearchPattern> FPatterns;
};

class TSearchRun {
public:
  explicit TSearchRun(const TContainerSearch& search);

  // Whether an item is a hit in the scope "Global" (global true) or in its own scope.
  bool NoteHit(const TNoteItem* note, bool global);
  bool SheetHit(const TSheetItem* sheet, bool global);
  bool AttachmentHit(const TAttachItem* attachment, bool global);

  // Memo matcher k on a rich text.
  bool MemoHits(int k, std::string_view rtf);
  // True when each pattern of the sheet-of-note group named in the bit set `patterns` is
  // empty or occurs in the name of some sheet the note has a position on.
  bool NoteSheetHits(unsigned patterns, const TNoteItem* note);
  bool NoteSheetColorHits(const TNoteItem* note) const;

private:
  bool NoteHitInNotes(const TNoteItem* note);
  bool NoteHitInGlobal(const TNoteItem* note);
  // The plain text (UTF-8) of the current note's rich text, made on first need.
  TSearchText& Memo();

  const TContainerSearch& FSearch;
  TPreparedGroup FNoteCaption, FNoteMemo, FNoteSheetCaption, FSheetCaption, FAttachmentCaption, FAttachmentFileName;
  // Texts of the item being tested; their buffers are reused from item to item.
  TSearchText FName;
  TSearchText FSecond;
  TSearchText FMemo;
  std::string_view FMemoSource;
  std::string FPlain;
  bool FMemoReady = false;
};

} // namespace qel
