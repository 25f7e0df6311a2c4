// The note editor's find and replace.
#include "NotePropReplaceDialog.h"
#include "NoteProp.h"
#include "RichEditURL.h"
#include "platform/qt/QtConvert.h"
#include "windows/search/Search.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextDocument>

namespace qel {

int TNotePrp::LastFoundPos = -1;

void TNotePrp::bnREURLReplaceClick() {
  ReplaceDialog1->move(0, 0);
  ReplaceDialog1->show();
  LastFoundPos = -1;
}

void TNotePrp::ReplaceDialog1Find() {
  QTextDocument::FindFlags flags;
  if (ReplaceDialog1->WholeWord->isChecked()) flags |= QTextDocument::FindWholeWords;
  if (ReplaceDialog1->MatchCase->isChecked()) flags |= QTextDocument::FindCaseSensitively;
  QString text = ReplaceDialog1->FindText->text();
  if (text.isEmpty() && frmSearch) text = ToQString(frmSearch->LastSearchText);
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
  const QString replacement = ReplaceDialog1->ReplaceText->text();
  if (!All) {
    QTextCursor cursor = RichEditURL1->textCursor();
    if (cursor.hasSelection() && cursor.selectedText() == ReplaceDialog1->FindText->text())
      cursor.insertText(replacement);
    return;
  }
  for (;;) {
    ReplaceDialog1Find();
    if (LastFoundPos < 0) break;
    QTextCursor cursor = RichEditURL1->textCursor();
    cursor.insertText(replacement);
    // The next search starts behind the inserted text.
    LastFoundPos = cursor.position() - 1;
  }
}

} // namespace qel
