// The note editor's find and replace.
#include "NotePropReplaceDialog.h"
#include "NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "platform/qt/QtConvert.h"
#include "windows/search/Search.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextDocument>

namespace qel {

void TNotePrp::bnREURLReplaceClick() {
  if (CloseIfGone()) return;
  ReplaceDialog1->move(0, 0);
  ReplaceDialog1->show();
  LastFoundPos = -1;
}

void TNotePrp::ReplaceDialog1Find() {
  if (CloseIfGone()) return;
  QTextDocument::FindFlags flags;
  if (ReplaceDialog1->WholeWord->isChecked()) flags |= QTextDocument::FindWholeWords;
  if (ReplaceDialog1->MatchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
  QString text = ReplaceDialog1->FindText->text();
  if (text.isEmpty() && frmSearch) text = frmSearch->LastSearchText;
  const QTextCursor found =
      text.isEmpty() ? QTextCursor() : RichEditURL1->document()->find(text, LastFoundPos + 1, flags);
  if (found.isNull()) {
    QTextCursor cursor = RichEditURL1->textCursor();
    cursor.clearSelection();
    RichEditURL1->setTextCursor(cursor);
    LastFoundPos = -1;
  } else {
    LastFoundPos = found.selectionStart();
    RichEditURL1->setTextCursor(found);
  }
  // The match is shown on its page; the switch is no edit of the window.
  if (PC_Note->currentWidget() != TS_Memo) {
    const QSignalBlocker blocker(PC_Note);
    PC_Note->setCurrentWidget(TS_Memo);
  }
  PC_Note->setFocus();
  RichEditURL1->setFocus();
  RichEditURL1->ensureCursorVisible();
}

void TNotePrp::ReplaceDialog1Replace(bool All) {
  if (CloseIfGone()) return;
  const QString find = ReplaceDialog1->FindText->text();
  if (find.isEmpty()) return; // nothing to replace, also not the search window's text
  const QString replacement = ReplaceDialog1->ReplaceText->text();
  if (!All) {
    QTextCursor cursor = RichEditURL1->textCursor();
    const Qt::CaseSensitivity sensitivity =
        ReplaceDialog1->MatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && cursor.selectedText().compare(find, sensitivity) == 0) cursor.insertText(replacement);
    return;
  }
  // Every match of the text, from its top; the next search starts behind the inserted text.
  QTextCursor edit(RichEditURL1->document());
  edit.beginEditBlock();
  LastFoundPos = -1;
  for (;;) {
    ReplaceDialog1Find();
    if (LastFoundPos < 0) break;
    QTextCursor cursor = RichEditURL1->textCursor();
    cursor.insertText(replacement);
    LastFoundPos = cursor.position() - 1;
  }
  edit.endEditBlock();
}

} // namespace qel
