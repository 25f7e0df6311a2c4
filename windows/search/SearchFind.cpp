// The search window's pages: running a search, a new search, the colour boxes.
#include "search/ContainerSearch.h"
#include "ExportData.h"
#include "Search.h"
#include "SearchColorPanel.h"
#include "SearchResultsTree.h"
#include "TVEngine.h"
#include "model/Container.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>

namespace qel {
namespace {

using TC = TContainerSearch;

// The setters of one text group of the search engine.
struct TTextSetters {
  std::array<void (TC::*)(const std::string&), 4> Pattern;
  std::array<void (TC::*)(bool), 4> Active;
  void (TC::*CaseSensitive)(bool);
};

const TTextSetters kNoteCaption{
    {&TC::SetNoteCaption1, &TC::SetNoteCaption2, &TC::SetNoteCaption3, &TC::SetNoteCaption4},
    {&TC::SetNoteCaptionActive1, &TC::SetNoteCaptionActive2, &TC::SetNoteCaptionActive3, &TC::SetNoteCaptionActive4},
    &TC::SetNoteCaptionCaseSensitive};
const TTextSetters kNoteMemo{
    {&TC::SetNoteMemo1, &TC::SetNoteMemo2, &TC::SetNoteMemo3, &TC::SetNoteMemo4},
    {&TC::SetNoteMemoActive1, &TC::SetNoteMemoActive2, &TC::SetNoteMemoActive3, &TC::SetNoteMemoActive4},
    &TC::SetNoteMemoCaseSensitive};
const TTextSetters kNoteSheetCaption{
    {&TC::SetNoteSheetCaption1, &TC::SetNoteSheetCaption2, &TC::SetNoteSheetCaption3, &TC::SetNoteSheetCaption4},
    {&TC::SetNoteSheetCaptionActive1, &TC::SetNoteSheetCaptionActive2, &TC::SetNoteSheetCaptionActive3,
     &TC::SetNoteSheetCaptionActive4},
    &TC::SetNoteSheetCaptionCaseSensitive};
const TTextSetters kSheetCaption{
    {&TC::SetSheetCaption1, &TC::SetSheetCaption2, &TC::SetSheetCaption3, &TC::SetSheetCaption4},
    {&TC::SetSheetCaptionActive1, &TC::SetSheetCaptionActive2, &TC::SetSheetCaptionActive3,
     &TC::SetSheetCaptionActive4},
    &TC::SetSheetCaptionCaseSensitive};
const TTextSetters kAttachmentCaption{
    {&TC::SetAttachmentCaption1, &TC::SetAttachmentCaption2, &TC::SetAttachmentCaption3, &TC::SetAttachmentCaption4},
    {&TC::SetAttachmentCaptionActive1, &TC::SetAttachmentCaptionActive2, &TC::SetAttachmentCaptionActive3,
     &TC::SetAttachmentCaptionActive4},
    &TC::SetAttachmentCaptionCaseSensitive};
const TTextSetters kAttachmentFileName{{&TC::SetAttachmentFileName1, &TC::SetAttachmentFileName2,
                                        &TC::SetAttachmentFileName3, &TC::SetAttachmentFileName4},
                                       {&TC::SetAttachmentFileNameActive1, &TC::SetAttachmentFileNameActive2,
                                        &TC::SetAttachmentFileNameActive3, &TC::SetAttachmentFileNameActive4},
                                       &TC::SetAttachmentFileNameCaseSensitive};

// Pattern k of a group from a field: on exactly when the field holds text.
void SetPattern(TC& search, const TTextSetters& group, int k, const std::string& text) {
  (search.*group.Active[k])(!text.empty());
  (search.*group.Pattern[k])(text);
}

// The first pattern of a group and its case flag, as the Notes, Sheets and Attachments pages set them.
void SetFirst(TC& search, const TTextSetters& group, const std::string& text, const QCheckBox* caseSensitive) {
  SetPattern(search, group, 0, text);
  (search.*group.CaseSensitive)(caseSensitive->isChecked());
}

// Without leading and trailing blanks and control characters.
QString Trim(QString text) {
  qsizetype first = 0, last = text.size();
  while (first < last && text[first].unicode() <= ' ')
    ++first;
  while (last > first && text[last - 1].unicode() <= ' ')
    --last;
  return text.mid(first, last - first);
}

// A pattern as the search engine takes it: Unicode, so that every script is found.
std::string Pattern(const QString& text) { return text.toStdString(); }
std::string Pattern(const QLineEdit* edit) { return Pattern(edit->text()); }

// Unchecks a box as the user would: its click handler runs when it was checked.
template <class THandler> void Uncheck(QCheckBox* box, THandler handler) {
  if (!box->isChecked()) return;
  box->setChecked(false);
  handler();
}

} // namespace

void TfrmSearch::btn_searchClick() {
  if (!Container || FBusy) return;
  trvSearchResults->show();
  TrimFields();
  const TBusy busy(this);
  ani_search->show();
  ani_search->repaint();
  bool sheets = false, notes = false, attachments = false;
  if (SetCriteria(sheets, notes, attachments)) {
    const TFilterGuard unfilter{Container};
    ContainerSearch->Search(FromQString(ActivePageName()));
    TVEngine->ShowSheets = sheets;
    TVEngine->ShowNotes = notes;
    TVEngine->ShowAttachments = attachments;
    trvSearchResults->clear();
    TVEngine->Refresh();
  }
  ani_search->hide();
}

void TfrmSearch::TrimFields() {
  for (QLineEdit* edit : {edt_notecaption, edt_notememo, edt_noteonsheetcaption, edt_sheetcaption,
                          edt_attachmentcaption, edt_attachmentfilename})
    edit->setText(Trim(edit->text()));
  for (QComboBox* box : GlobalTexts())
    box->setEditText(Trim(box->currentText()));
  for (QComboBox* box : GlobalTexts())
    box->addItem(box->currentText());
}

bool TfrmSearch::SetCriteria(bool& sheets, bool& notes, bool& attachments) {
  const QString page = ActivePageName();
  if (page == "Notes") {
    SetNoteCriteria();
    notes = true;
  } else if (page == "Sheets") {
    SetSheetCriteria();
    sheets = true;
  } else if (page == "Attachments") {
    SetAttachmentCriteria();
    attachments = true;
  } else if (page == "Global") {
    SetGlobalCriteria();
    sheets = notes = attachments = true;
  } else {
    return false;
  }
  return true;
}

void TfrmSearch::SetNoteCriteria() {
  TC& search = *ContainerSearch;
  LastSearchText = edt_notecaption->text();
  SetFirst(search, kNoteCaption, Pattern(edt_notecaption), chk_notecaptioncasesensitive);
  search.SetNoteColorActive(chk_notecolor->isChecked());
  search.SetNoteColor(pnl_notecolor->GetColor());
  SetFirst(search, kNoteMemo, Pattern(edt_notememo), chk_notememocasesensitive);
  SetFirst(search, kNoteSheetCaption, Pattern(edt_noteonsheetcaption), chk_noteonsheetcaptioncasesensitive);
  search.SetNoteSheetColorActive(chk_noteonsheetcolor->isChecked());
  search.SetNoteSheetColor(pnl_noteonsheetcolor->GetColor());
}

void TfrmSearch::SetSheetCriteria() {
  TC& search = *ContainerSearch;
  LastSearchText = edt_sheetcaption->text();
  SetFirst(search, kSheetCaption, Pattern(edt_sheetcaption), chk_sheetcaptioncasesensitive);
  search.SetSheetColorActive(chk_sheetcolor->isChecked());
  search.SetSheetColor(pnl_sheetcolor->GetColor());
}

void TfrmSearch::SetAttachmentCriteria() {
  TC& search = *ContainerSearch;
  LastSearchText = edt_attachmentcaption->text();
  SetFirst(search, kAttachmentCaption, Pattern(edt_attachmentcaption), chk_attachmentcaptioncasesensitive);
  SetFirst(search, kAttachmentFileName, Pattern(edt_attachmentfilename), chk_attachmentfilenamecasesensitive);
}

// Every text group takes the four global fields; the colour groups are off.
void TfrmSearch::SetGlobalCriteria() {
  TC& search = *ContainerSearch;
  LastSearchText = cbGlobalText1->currentText();
  const bool caseSensitive = chk_globaltextcasesensitive->isChecked();
  for (const TTextSetters* group :
       {&kNoteCaption, &kNoteMemo, &kNoteSheetCaption, &kSheetCaption, &kAttachmentCaption, &kAttachmentFileName}) {
    for (int k = 0; k < 4; ++k)
      SetPattern(search, *group, k, Pattern(GlobalTexts()[k]->currentText()));
    (search.*group->CaseSensitive)(caseSensitive);
  }
  search.SetNoteColorActive(false);
  search.SetNoteSheetColorActive(false);
  search.SetSheetColorActive(false);
}

void TfrmSearch::btn_clearClick() {
  trvSearchResults->hide();
  for (QLineEdit* edit : {edt_notecaption, edt_notememo, edt_noteonsheetcaption, edt_sheetcaption,
                          edt_attachmentcaption, edt_attachmentfilename})
    edit->clear();
  for (QCheckBox* box : {chk_notecaptioncasesensitive, chk_notememocasesensitive, chk_noteonsheetcaptioncasesensitive,
                         chk_sheetcaptioncasesensitive, chk_attachmentcaptioncasesensitive,
                         chk_attachmentfilenamecasesensitive, chk_globaltextcasesensitive})
    box->setChecked(false);
  Uncheck(chk_notecolor, [this] { chk_notecolorClick(); });
  Uncheck(chk_noteonsheetcolor, [this] { chk_noteonsheetcolorClick(); });
  Uncheck(chk_sheetcolor, [this] { chk_sheetcolorClick(); });
  for (TSearchColorPanel* panel : {pnl_notecolor, pnl_noteonsheetcolor, pnl_sheetcolor})
    panel->SetColor(clWhite);
  for (QComboBox* box : GlobalTexts())
    box->setEditText(QString());
  if (ContainerSearch) ContainerSearch->Clear();
  if (SearchKind->currentWidget() == Global) cbGlobalText1->setFocus();
}

void TfrmSearch::SearchKindChange() {
  btn_clearClick();
  setWindowTitle("Search " + ActivePageName());
}

namespace {

// A colour box: the panel takes colours while its box is ticked; the hatch covers it otherwise.
void FollowColorBox(const QCheckBox* box, TSearchColorPanel* panel) {
  panel->setEnabled(box->isChecked());
  panel->Shape->setVisible(!panel->isEnabled());
}

} // namespace

void TfrmSearch::chk_notecolorClick() { FollowColorBox(chk_notecolor, pnl_notecolor); }
void TfrmSearch::chk_noteonsheetcolorClick() { FollowColorBox(chk_noteonsheetcolor, pnl_noteonsheetcolor); }
void TfrmSearch::chk_sheetcolorClick() { FollowColorBox(chk_sheetcolor, pnl_sheetcolor); }
void TfrmSearch::pnl_notecolorDblClick() { ChooseColor(pnl_notecolor); }
void TfrmSearch::pnl_noteonsheetcolorDblClick() { ChooseColor(pnl_noteonsheetcolor); }
void TfrmSearch::pnl_sheetcolorDblClick() { ChooseColor(pnl_sheetcolor); }

void TfrmSearch::ChooseColor(TSearchColorPanel* panel) {
  TColor color = FDialogColor;
  if (!Dialogs().ColorDialog(color)) return;
  FDialogColor = color;
  panel->SetColor(color);
}

void TfrmSearch::btnExportClick() {
  if (!ExpDataFrm) return;
  ExpDataFrm->SearchWindow = this;
  ExpDataFrm->show();
  ExpDataFrm->raise();
  ExpDataFrm->activateWindow();
}

} // namespace qel
