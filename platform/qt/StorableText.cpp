#include "StorableText.h"

#include "platform/Ansi.h"

#include <QLineEdit>
#include <QToolTip>

namespace qel {
namespace {

// The byte 0xFF separates the fields of the data files.
bool Storable(char32_t character) {
  const int byte = AnsiByteOf(character);
  return byte >= 0 && byte != 0xFF;
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
