// The note editor's own document: new, open, save, dropped files, printing, and the text as
// rich text for the note.
#include "NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"

#include <QLineEdit>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>

namespace qel {

void TNotePrp::SetFileName(const std::string& Name) {
  FileName = Name;
  setWindowTitle(ToQString(ExtractFileName(Name) + " - " + ApplicationTitle()));
}

void TNotePrp::FileNew() {
  if (CloseIfGone()) return;
  SetFileName("Untitled");
  // Emptied as one edit, so Undo brings the note's text back.
  QTextCursor all(RichEditURL1->document());
  all.select(QTextCursor::Document);
  all.removeSelectedText();
  RichEditURL1->document()->setModified(false);
  ShowModifiedMark(false);
}

bool TNotePrp::CheckFileSave() {
  if (!RichEditURL1->document()->isModified()) return true;
  const int answer = MessageDlg("Save changes to " + FileName + "?", TMsgDlgType::mtConfirmation, mbYesNoCancel);
  if (answer == mrCancel) return false;
  if (answer == mrYes) FileSave();
  return true;
}

void TNotePrp::FileOpen() {
  if (CloseIfGone()) return;
  if (!CheckFileSave()) return;
  if (Dialogs().OpenDialog(OpenDialog)) PerformFileOpen(OpenDialog.FileName);
}

void TNotePrp::PerformFileOpen(const std::string& Name) {
  if (!Reported([&] { RichEditURL1->LoadFromFile(Name); })) return;
  SetFileName(Name);
  RichEditURL1->setFocus();
  RichEditURL1->document()->setModified(false);
  ShowModifiedMark(false);
}

// A document without a name yet is saved under a name the user chooses.
void TNotePrp::FileSave() {
  if (CloseIfGone()) return;
  if (FileName.empty() || FileName == "Untitled") return FileSaveAs();
  if (!Reported([&] { RichEditURL1->SaveToFile(FileName); })) return;
  RichEditURL1->document()->setModified(false);
  ShowModifiedMark(false);
}

void TNotePrp::FileSaveAs() {
  if (CloseIfGone()) return;
  if (!Dialogs().SaveDialog(SaveDialog)) return;
  const std::string name = SaveDialog.FileName;
  if (FileExists(name) && MessageDlg("OK to overwrite " + name, TMsgDlgType::mtConfirmation, mbYesNoCancel) != mrYes)
    return;
  if (!Reported([&] { RichEditURL1->SaveToFile(name); })) return;
  SetFileName(name);
  RichEditURL1->document()->setModified(false);
  ShowModifiedMark(false);
}

void TNotePrp::FilesDropped(const QStringList& Files) {
  if (CloseIfGone()) return;
  if (Files.isEmpty() || Files.first().size() > 260) return;
  if (CheckFileSave()) PerformFileOpen(FromQString(Files.first()));
}

void TNotePrp::FilePrint() {
  if (CloseIfGone()) return;
  RichEditURL1->PlainText = true;
  if (!PrintDialog) PrintDialog = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!Dialogs().PrintDialog(*PrintDialog)) return;
  RichEditURL1->PageRect = TRichEditURL::PrintMargins(*PrintDialog);
  RichEditURL1->Print(ED_Caption->text(), *PrintDialog);
}

std::string TNotePrp::GetRichText() {
  RichEditURL1->PlainText = false;
  return RichEditURL1->GetRichText();
}

} // namespace qel
