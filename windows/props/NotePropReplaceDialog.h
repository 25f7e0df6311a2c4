#pragma once
// The note window's modeless find-and-replace dialog: find text, replace text, whole-word and
// match-case options; Find asks for the next match, Replace for one or every replacement.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qel {

class TReplaceDialog : public QDialog {
  Q_OBJECT
public:
  explicit TReplaceDialog(QWidget* parent = nullptr);

  QLineEdit* FindText;
  QLineEdit* ReplaceText;
  QCheckBox* WholeWord;
  QCheckBox* MatchCase;
  QPushButton* FindNextButton;
  QPushButton* ReplaceButton;
  QPushButton* ReplaceAllButton;

signals:
  void Find();
  void Replace(bool All);
};

} // namespace qel
