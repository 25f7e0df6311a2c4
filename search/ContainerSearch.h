#pragma once
// The criteria of one search over a project, and the narrowing of the pools' views to the hits.
// Refers to the project without owning it; owns only its pattern texts.
#include "platform/Colors.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace qel {

class TContainer;
class TNoteItem;

// Four patterns with their active flags and one case flag.
struct TTextCriterion {
  std::array<bool, 4> Active{};
  std::array<std::string, 4> Pattern;
  bool CaseSensitive = false;
};

struct TColorCriterion {
  bool Active = false;
  TColor Color = 0;
};

class TContainerSearch {
public:
  explicit TContainerSearch(TContainer* container) : Container(container) {}

  TContainer* Container;
  // Called now and then while a search runs, while no pool is filtered (may be empty).
  std::function<void()> Tick;

  // Each text group: patterns 1 to 4, their active flags, the case flag, and matcher k for
  // pattern k (true for an empty pattern). Patterns and the texts given to the matchers are
  // UTF-8; the items' Windows-1252 fields are converted when a search runs.
  // Note caption.
  void SetNoteCaption1(const std::string& value) { FNoteCaption.Pattern[0] = value; }
  void SetNoteCaption2(const std::string& value) { FNoteCaption.Pattern[1] = value; }
  void SetNoteCaption3(const std::string& value) { FNoteCaption.Pattern[2] = value; }
  void SetNoteCaption4(const std::string& value) { FNoteCaption.Pattern[3] = value; }
  void SetNoteCaptionActive1(bool value) { FNoteCaption.Active[0] = value; }
  void SetNoteCaptionActive2(bool value) { FNoteCaption.Active[1] = value; }
  void SetNoteCaptionActive3(bool value) { FNoteCaption.Active[2] = value; }
  void SetNoteCaptionActive4(bool value) { FNoteCaption.Active[3] = value; }
  void SetNoteCaptionCaseSensitive(bool value) { FNoteCaption.CaseSensitive = value; }
  bool MatchNoteCaption1(std::string_view text) const { return MatchText(FNoteCaption, 0, text); }
  bool MatchNoteCaption2(std::string_view text) const { return MatchText(FNoteCaption, 1, text); }
  bool MatchNoteCaption3(std::string_view text) const { return MatchText(FNoteCaption, 2, text); }
  bool MatchNoteCaption4(std::string_view text) const { return MatchText(FNoteCaption, 3, text); }

  // Note memo (the text of the note's rich text).
  void SetNoteMemo1(const std::string& value) { FNoteMemo.Pattern[0] = value; }
  void SetNoteMemo2(const std::string& value) { FNoteMemo.Pattern[1] = value; }
  void SetNoteMemo3(const std::string& value) { FNoteMemo.Pattern[2] = value; }
  void SetNoteMemo4(const std::string& value) { FNoteMemo.Pattern[3] = value; }
  void SetNoteMemoActive1(bool value) { FNoteMemo.Active[0] = value; }
  void SetNoteMemoActive2(bool value) { FNoteMemo.Active[1] = value; }
  void SetNoteMemoActive3(bool value) { FNoteMemo.Active[2] = value; }
  void SetNoteMemoActive4(bool value) { FNoteMemo.Active[3] = value; }
  void SetNoteMemoCaseSensitive(bool value) { FNoteMemo.CaseSensitive = value; }
  bool MatchNoteMemo1(std::string_view text) const { return MatchMemo(0, text); }
  bool MatchNoteMemo2(std::string_view text) const { return MatchMemo(1, text); }
  bool MatchNoteMemo3(std::string_view text) const { return MatchMemo(2, text); }
  bool MatchNoteMemo4(std::string_view text) const { return MatchMemo(3, text); }
  // Note colour.
  void SetNoteColorActive(bool value) { FNoteColor.Active = value; }
  void SetNoteColor(TColor value) { FNoteColor.Color = value; }
  bool MatchNoteColor(TColor color) const { return color == FNoteColor.Color; }

  // Caption of the sheets a note stands on, placed or only assigned.
  void SetNoteSheetCaption1(const std::string& value) { FNoteSheetCaption.Pattern[0] = value; }
  void SetNoteSheetCaption2(const std::string& value) { FNoteSheetCaption.Pattern[1] = value; }
  void SetNoteSheetCaption3(const std::string& value) { FNoteSheetCaption.Pattern[2] = value; }
  void SetNoteSheetCaption4(const std::string& value) { FNoteSheetCaption.Pattern[3] = value; }
  void SetNoteSheetCaptionActive1(bool value) { FNoteSheetCaption.Active[0] = value; }
  void SetNoteSheetCaptionActive2(bool value) { FNoteSheetCaption.Active[1] = value; }
  void SetNoteSheetCaptionActive3(bool value) { FNoteSheetCaption.Active[2] = value; }
  void SetNoteSheetCaptionActive4(bool value) { FNoteSheetCaption.Active[3] = value; }
  void SetNoteSheetCaptionCaseSensitive(bool value) { FNoteSheetCaption.CaseSensitive = value; }
  bool MatchNoteSheetCaption1(const TNoteItem* note) const { return MatchNoteSheet(0, note); }
  bool MatchNoteSheetCaption2(const TNoteItem* note) const { return MatchNoteSheet(1, note); }
  bool MatchNoteSheetCaption3(const TNoteItem* note) const { return MatchNoteSheet(2, note); }
  bool MatchNoteSheetCaption4(const TNoteItem* note) const { return MatchNoteSheet(3, note); }
  // Colour of the sheets a note stands on.
  void SetNoteSheetColorActive(bool value) { FNoteSheetColor.Active = value; }
  void SetNoteSheetColor(TColor value) { FNoteSheetColor.Color = value; }
  bool MatchNoteSheetColor(const TNoteItem* note) const;

  // Sheet caption.
  void SetSheetCaption1(const std::string& value) { FSheetCaption.Pattern[0] = value; }
  void SetSheetCaption2(const std::string& value) { FSheetCaption.Pattern[1] = value; }
  void SetSheetCaption3(const std::string& value) { FSheetCaption.Pattern[2] = value; }
  void SetSheetCaption4(const std::string& value) { FSheetCaption.Pattern[3] = value; }
  void SetSheetCaptionActive1(bool value) { FSheetCaption.Active[0] = value; }
  void SetSheetCaptionActive2(bool value) { FSheetCaption.Active[1] = value; }
  void SetSheetCaptionActive3(bool value) { FSheetCaption.Active[2] = value; }
  void SetSheetCaptionActive4(bool value) { FSheetCaption.Active[3] = value; }
  void SetSheetCaptionCaseSensitive(bool value) { FSheetCaption.CaseSensitive = value; }
  bool MatchSheetCaption1(std::string_view text) const { return MatchText(FSheetCaption, 0, text); }
  bool MatchSheetCaption2(std::string_view text) const { return MatchText(FSheetCaption, 1, text); }
  bool MatchSheetCaption3(std::string_view text) const { return MatchText(FSheetCaption, 2, text); }
  bool MatchSheetCaption4(std::string_view text) const { return MatchText(FSheetCaption, 3, text); }
  // Sheet colour.
  void SetSheetColorActive(bool value) { FSheetColor.Active = value; }
  void SetSheetColor(TColor value) { FSheetColor.Color = value; }
  bool MatchSheetColor(TColor color) const { return color == FSheetColor.Color; }

  // Attachment caption.
  void SetAttachmentCaption1(const std::string& value) { FAttachmentCaption.Pattern[0] = value; }
  void SetAttachmentCaption2(const std::string& value) { FAttachmentCaption.Pattern[1] = value; }
  void SetAttachmentCaption3(const std::string& value) { FAttachmentCaption.Pattern[2] = value; }
  void SetAttachmentCaption4(const std::string& value) { FAttachmentCaption.Pattern[3] = value; }
  void SetAttachmentCaptionActive1(bool value) { FAttachmentCaption.Active[0] = value; }
  void SetAttachmentCaptionActive2(bool value) { FAttachmentCaption.Active[1] = value; }
  void SetAttachmentCaptionActive3(bool value) { FAttachmentCaption.Active[2] = value; }
  void SetAttachmentCaptionActive4(bool value) { FAttachmentCaption.Active[3] = value; }
  void SetAttachmentCaptionCaseSensitive(bool value) { FAttachmentCaption.CaseSensitive = value; }
  bool MatchAttachmentCaption1(std::string_view text) const { return MatchText(FAttachmentCaption, 0, text); }
  bool MatchAttachmentCaption2(std::string_view text) const { return MatchText(FAttachmentCaption, 1, text); }
  bool MatchAttachmentCaption3(std::string_view text) const { return MatchText(FAttachmentCaption, 2, text); }
  bool MatchAttachmentCaption4(std::string_view text) const { return MatchText(FAttachmentCaption, 3, text); }

  // Attachment file name or URL.
  void SetAttachmentFileName1(const std::string& value) { FAttachmentFileName.Pattern[0] = value; }
  void SetAttachmentFileName2(const std::string& value) { FAttachmentFileName.Pattern[1] = value; }
  void SetAttachmentFileName3(const std::string& value) { FAttachmentFileName.Pattern[2] = value; }
  void SetAttachmentFileName4(const std::string& value) { FAttachmentFileName.Pattern[3] = value; }
  void SetAttachmentFileNameActive1(bool value) { FAttachmentFileName.Active[0] = value; }
  void SetAttachmentFileNameActive2(bool value) { FAttachmentFileName.Active[1] = value; }
  void SetAttachmentFileNameActive3(bool value) { FAttachmentFileName.Active[2] = value; }
  void SetAttachmentFileNameActive4(bool value) { FAttachmentFileName.Active[3] = value; }
  void SetAttachmentFileNameCaseSensitive(bool value) { FAttachmentFileName.CaseSensitive = value; }
  bool MatchAttachmentFileName1(std::string_view text) const { return MatchText(FAttachmentFileName, 0, text); }
  bool MatchAttachmentFileName2(std::string_view text) const { return MatchText(FAttachmentFileName, 1, text); }
  bool MatchAttachmentFileName3(std::string_view text) const { return MatchText(FAttachmentFileName, 2, text); }
  bool MatchAttachmentFileName4(std::string_view text) const { return MatchText(FAttachmentFileName, 3, text); }
  // True when a space-separated word of the pattern occurs in the text (both UTF-8); folds the
  // case of both unless caseSensitive. A pattern without words never matches.
  static bool Match(std::string_view pattern, std::string_view text, bool caseSensitive);

  // Narrows the views of the scope's pools ("Notes", "Sheets", "Attachments" or "Global") to
  // the hits and filters those pools. Any other scope does nothing.
  void Search(std::string_view scope);
  // Switches every criterion off and refills the views of all data pools.
  void Clear();

private:
  friend class TSearchRun;
  // Matcher k of a text group: true for an empty pattern, else Match.
  static bool MatchText(const TTextCriterion& group, int k, std::string_view text);
  // Memo matcher k: tests the plain text (Unicode) of the note's rich text.
  bool MatchMemo(int k, std::string_view text) const;
  bool MatchNoteSheet(int k, const TNoteItem* note) const;

  TTextCriterion FNoteCaption;
  TTextCriterion FNoteMemo;
  TColorCriterion FNoteColor;
  TTextCriterion FNoteSheetCaption;
  TColorCriterion FNoteSheetColor;
  TTextCriterion FSheetCaption;
  TColorCriterion FSheetColor;
  TTextCriterion FAttachmentCaption;
  TTextCriterion FAttachmentFileName;
};

} // namespace qel
