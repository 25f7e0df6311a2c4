#include "StorableText.h"

#include "QtConvert.h"

#include <QLineEdit>
#include <QToolTip>

namespace qel {
namespace {

bool Storable(char32_t character) {
  const std::string byte = FromQString(QString::fromUcs4(&character, 1));
  if (byte.size() != 1 || static_cast<unsigned char>(byte[0]) == 0xFF) return false;
  return byte[0] != '?' || character == U'?';
}

} // namespace

QString StorableText(const QString& text, QString* left) {
  QString kept;
  for (const auto code : text.toUcs4()) {
    const char32_t character = code;
    const QString one = QString::fromUcs4(&character, 1);
    if (Storable(character))
      kept += one;
    else if (left && !left->contains(one))
      *left += one;
  }
  return kept;
}

QString LeftOutMessage(const QString& left) {
  return QStringLiteral("The project's files cannot hold \"%1\"; left out.").arg(left);
}

void GuardStorableText(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    QString left;
    const QString kept = StorableText(text, &left);
    if (left.isEmpty()) return;
    // The caret stays after what was typed before it.
    const int caret = static_cast<int>(StorableText(text.left(edit->cursorPosition())).size());
    edit->setText(kept);
    edit->setCursorPosition(caret);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), LeftOutMessage(left), edit);
  });
}

QWidget* TStorableTextDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) GuardStorableText(line);
  return editor;
}

} // namespace qel
